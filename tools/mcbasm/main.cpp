// mcbasm: assembles a source file into an index.mcb image.
#include "Assembler.h"
#include "ImageFile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static int usage() {
  std::fprintf(stderr, "usage: mcbasm [-I dir]... source.asm [-o image.mcb]\n");
  return 2;
}

int main(int argc, char** argv) {
  std::vector<std::string> includes;
  std::string input, output = "index.mcb";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-I") && i + 1 < argc) includes.push_back(argv[++i]);
    else if (!std::strncmp(argv[i], "-I", 2) && argv[i][2]) includes.push_back(argv[i] + 2);
    else if (!std::strcmp(argv[i], "-o") && i + 1 < argc) output = argv[++i];
    else if (argv[i][0] == '-' || !input.empty()) return usage();
    else input = argv[i];
  }
  if (input.empty()) return usage();
  mcb::Assembler assembler(includes);
  mcb::ImageModel image;
  if (!assembler.assembleFile(input, image)) {
    for (const mcb::AsmError& e : assembler.errors()) std::fprintf(stderr, "%s\n", e.text().c_str());
    return 1;
  }
  if (!mcb::writeFile(output, mcb::writeImage(image))) {
    std::fprintf(stderr, "mcbasm: cannot write '%s'\n", output.c_str());
    return 1;
  }
  return 0;
}
