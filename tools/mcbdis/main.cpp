// mcbdis: prints an image as source that mcbasm accepts.
#include "Assembler.h"
#include "CommandLine.h"
#include "ImageFile.h"

#include <cstdio>
#include <string>

namespace {

const mcb::CommandLine kLine = {
    "mcbdis",
    "usage: mcbdis [-o SOURCE] IMAGE|DIR\n"
    "Prints the image IMAGE (or DIR/index.mcb) as assembly source that mcbasm\n"
    "assembles back to the same bytes. With the map IMAGE.map beside it, methods\n"
    "and labels keep their names and each instruction names its source line.\n"
    "  -o SOURCE  write the source there instead of standard output\n"
    "  --no-map   ignore the map\n"
    "  --help     this text;  --version  the version\n"
    "Status: 0 printed, 1 the image cannot be read, 2 bad command line.\n"};

}  // namespace

int main(int argc, char** argv) {
  std::string input, output;
  bool useMap = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") return kLine.help();
    if (a == "--version") return kLine.version();
    if (a == "-o") {
      if (i + 1 >= argc) return kLine.usageError("-o needs an argument");
      output = argv[++i];
    } else if (a == "--no-map") {
      useMap = false;
    } else if (a.size() > 1 && a[0] == '-') {
      return kLine.usageError("unknown option '" + a + "'");
    } else if (!input.empty()) {
      return kLine.usageError("more than one image given");
    } else {
      input = a;
    }
  }
  if (input.empty()) return kLine.usageError("no image given");
  if (mcb::isDirectory(input)) input += "/index.mcb";

  std::vector<uint8_t> bytes;
  std::string error;
  if (!mcb::readFile(input, bytes, error)) return kLine.failure(error);
  mcb::ImageModel image;
  if (!mcb::readImage(bytes, image, error)) return kLine.failure(input + ": " + error);
  mcb::DisassemblyNames names;
  if (useMap) names = mcb::namesFromMap(input + ".map", bytes);
  const std::string text = mcb::disassemble(image, names);
  if (output.empty()) return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
  if (!mcb::writeFile(output, std::vector<uint8_t>(text.begin(), text.end()), error)) return kLine.failure(error);
  return 0;
}
