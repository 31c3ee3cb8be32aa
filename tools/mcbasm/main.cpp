// mcbasm: assembles a source file into an image and its map.
#include "Assembler.h"
#include "CommandLine.h"
#include "ImageFile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const mcb::CommandLine kLine = {
    "mcbasm",
    "usage: mcbasm [-I DIR]... -o IMAGE SOURCE\n"
    "Assembles SOURCE into IMAGE (for an application: DIR/index.mcb) and writes\n"
    "the map IMAGE.map beside it (method names, labels, source lines), which\n"
    "mcbrun and mcbdis read for locations.\n"
    "  -I DIR     look for .include files in DIR too; includes are searched in\n"
    "             the including file's folder, the -I folders in order, then\n"
    "             " MCB_DEFAULT_INCLUDE "\n"
    "  -o IMAGE   the image to write (required)\n"
    "  --no-map   do not write the map\n"
    "  --instructions  print the instruction reference (docs/instructions.md)\n"
    "  --help     this text;  --version  the version\n"
    "Errors and warnings are printed as FILE:LINE:COLUMN: error|warning: text.\n"
    "Status: 0 assembled, 1 errors (nothing written), 2 bad command line.\n"};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> includes;
  std::string input, output;
  bool map = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") return kLine.help();
    if (a == "--version") return kLine.version();
    if (a == "--instructions") {
      const std::string text = mcb::instructionReference();
      return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
    }
    if (a == "-I" || a == "-o") {
      if (i + 1 >= argc) return kLine.usageError(a + " needs an argument");
      (a == "-I" ? includes.emplace_back() : output) = argv[++i];
    } else if (a.compare(0, 2, "-I") == 0) {
      includes.push_back(a.substr(2));
    } else if (a == "--no-map") {
      map = false;
    } else if (a.size() > 1 && a[0] == '-') {
      return kLine.usageError("unknown option '" + a + "'");
    } else if (!input.empty()) {
      return kLine.usageError("more than one source given");
    } else {
      input = a;
    }
  }
  if (input.empty()) return kLine.usageError("no source given");
  if (output.empty()) return kLine.usageError("no image given (-o IMAGE)");
  includes.push_back(MCB_DEFAULT_INCLUDE);

  mcb::Assembler assembler(includes);
  mcb::ImageModel image;
  const bool ok = assembler.assembleFile(input, image);
  for (const mcb::AsmError& e : assembler.warnings()) std::fprintf(stderr, "%s\n", e.text().c_str());
  for (const mcb::AsmError& e : assembler.errors()) std::fprintf(stderr, "%s\n", e.text().c_str());
  if (!ok) return 1;
  std::string error;
  const std::vector<uint8_t> bytes = mcb::writeImage(image);
  if (!mcb::writeFile(output, bytes, error)) return kLine.failure(error);
  if (map) {
    const std::string text = assembler.map(bytes);
    if (!mcb::writeFile(output + ".map", std::vector<uint8_t>(text.begin(), text.end()), error))
      return kLine.failure(error);
  }
  return 0;
}
