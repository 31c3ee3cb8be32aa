#include "ExtensionTestSupport.h"

#include <fstream>
#include <sstream>

namespace {
std::string read(const char* name) {
  std::ifstream in(std::string(EXT_SCRIPTS_DIR "/") + name);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

std::string withHelpers(const std::string& source) { return read("ext.inc") + read("xml.inc") + "\n" + source; }

std::string mainWith(const std::string& body) {
  return withHelpers(".method main export=\"main\"\n" + body + "\n  RETURN 0, 1\n");
}
