#pragma once
// The assembler: readable source to an ImageModel. See docs/assembly.md.
#include "ImageModel.h"

#include <string>
#include <vector>

namespace mcb {

struct AsmError {
  std::string file;
  int line = 0;
  int column = 0;
  std::string message;
  std::string text() const;
};

class Assembler {
 public:
  explicit Assembler(std::vector<std::string> includeDirs = {}) : iIncludeDirs(std::move(includeDirs)) {}
  // Assembles a file (with its includes); false when there were errors.
  bool assembleFile(const std::string& path, ImageModel& out);
  bool assembleText(const std::string& text, const std::string& name, ImageModel& out);
  const std::vector<AsmError>& errors() const { return iErrors; }

 private:
  std::vector<std::string> iIncludeDirs;
  std::vector<AsmError> iErrors;
};

// Prints an image as source that assembles back to the same bytes.
std::string disassemble(const ImageModel& m);

}  // namespace mcb
