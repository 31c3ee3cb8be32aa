// mcbdis: prints an index.mcb image as source that mcbasm accepts.
#include "Assembler.h"
#include "ImageFile.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  std::string input, output;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-o") && i + 1 < argc) output = argv[++i];
    else if (argv[i][0] != '-' && input.empty()) input = argv[i];
    else {
      std::fprintf(stderr, "usage: mcbdis image.mcb [-o source.asm]\n");
      return 2;
    }
  }
  std::vector<uint8_t> bytes;
  if (input.empty() || !mcb::readFile(input, bytes)) {
    std::fprintf(stderr, "mcbdis: cannot read '%s'\n", input.c_str());
    return 1;
  }
  mcb::ImageModel image;
  std::string error;
  if (!mcb::readImage(bytes, image, error)) {
    std::fprintf(stderr, "mcbdis: %s: %s\n", input.c_str(), error.c_str());
    return 1;
  }
  const std::string text = mcb::disassemble(image);
  if (output.empty()) return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
  if (!mcb::writeFile(output, std::vector<uint8_t>(text.begin(), text.end()))) {
    std::fprintf(stderr, "mcbdis: cannot write '%s'\n", output.c_str());
    return 1;
  }
  return 0;
}
