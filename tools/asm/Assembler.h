#pragma once
// The assembler: readable source to an ImageModel. See docs/assembly.md.
#include "DebugMap.h"
#include "ImageModel.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mcb {

class Pass1;

struct AsmError {
  std::string file;
  int line = 0;   // 0: about the file as a whole
  int column = 0;
  std::string message;
  bool warning = false;
  // "file:line:column: error: message" ("file: error: ..." without a line).
  std::string text() const;
};

class Assembler {
 public:
  explicit Assembler(std::vector<std::string> includeDirs = {}) : iIncludeDirs(std::move(includeDirs)) {}
  // Assembles a file (with its includes); false when there were errors.
  bool assembleFile(const std::string& path, ImageModel& out);
  bool assembleText(const std::string& text, const std::string& name, ImageModel& out);
  const std::vector<AsmError>& errors() const { return iErrors; }
  // Mistakes that still give an image (stack depths, falling off a method's
  // end, no main), in source order.
  const std::vector<AsmError>& warnings() const { return iWarnings; }
  // The map of the last assembled program for its image bytes.
  std::string map(const std::vector<uint8_t>& image);

 private:
  bool assemble(const std::function<void(Pass1&)>& read, ImageModel& out);

  std::vector<std::string> iIncludeDirs;
  std::vector<AsmError> iErrors;
  std::vector<AsmError> iWarnings;
  debuginfo::DebugMap iMap;
};

// Names a map gives the disassembler: labels and classes by number, and the
// source line of each instruction.
struct DisassemblyNames {
  std::map<int64_t, std::string> labels;   // code offset -> name
  std::map<int64_t, std::string> classes;  // class id -> name
  std::map<int64_t, std::string> lines;    // code offset -> "file:line"
};
// The names in the map at path when it belongs to these image bytes.
DisassemblyNames namesFromMap(const std::string& path, const std::vector<uint8_t>& image);

// docs/instructions.md: every opcode's operands and stack effect.
std::string instructionReference();

// Prints an image as source that assembles back to the same bytes.
std::string disassemble(const ImageModel& m, const DisassemblyNames& names = DisassemblyNames());

}  // namespace mcb
