#include "ExtensionTestSupport.h"

#include <fstream>
#include <sstream>

std::string mainWith(const std::string& body) {
  std::ifstream in(EXT_SCRIPTS_DIR "/ext.inc");
  std::stringstream helpers;
  helpers << in.rdbuf();
  return helpers.str() + "\n.method main export=\"main\"\n" + body + "\n  RETURN 0, 1\n";
}
