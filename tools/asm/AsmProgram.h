#pragma once
// What the assembler's first pass collects: every directive and instruction
// with its source position, before addresses and names are resolved.
#include "Assembler.h"
#include "SourceLexer.h"

#include <map>
#include <string>
#include <vector>

namespace mcb {

struct Loc {
  std::string file;
  int line = 0;
  int column = 0;
};

// One code item: an instruction or raw bytes (.bytes inside code).
struct CodeItem {
  int opcode = -1;            // -1: raw bytes
  int shortOp = -1, longOp = -1;   // a jump family whose size is decided by layout
  std::vector<Token> operands;
  std::vector<uint8_t> raw;
  Loc loc;
  uint32_t address = 0;
  int scope = -1;             // the method's slot names (AsmProgram::scopes)
  int size() const;
};

// Names for a method's frame slots, relative to its return-address slot:
// `.arg` names the parameters in order (the last is -1), `.local` the slots
// the method pushes first (1, 2, ...). An instruction that names a slot gets
// its distance from the stack depth at that point.
struct SlotScope {
  std::string method;
  std::vector<std::pair<std::string, Loc>> args;
  std::map<std::string, int> slots;   // name -> slot, filled when the record is known
  int locals = 0;
};

struct NameRef {
  Token token;
  Loc loc;
};

struct PendingExport {
  std::string name;
  NameRef label;
  bool hasRecord = false;
  NameRef record;
};

struct PendingEntry {
  NameRef classRef, label;
  bool hasRecord = false;
  NameRef record;
};

struct PendingDirective {
  std::string name;
  std::vector<PendingEntry> entries;
};

struct PendingClass {
  std::string name;
  ClassDef def;
  bool hasSuper = false;
  NameRef super;
  std::vector<NameRef> interfaces;
  Loc loc;
};

struct AsmProgram {
  std::string topFile;   // the file assembled (includes aside)
  std::string tag;
  bool tagSet = false;
  int widths[kWidthCount] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  int32_t globals = 0;
  std::vector<PendingExport> exports;
  std::vector<PendingDirective> directives;
  std::vector<PendingClass> classes;
  std::vector<Record> records;
  std::map<std::string, int> recordByName;
  std::map<std::string, int> classByName;
  std::map<std::string, size_t> labelItem;     // label -> index of the next code item
  std::map<std::string, int> methodRecord;     // method label -> its record
  std::map<std::string, Loc> labelLoc;
  std::vector<std::string> strings;
  std::map<std::string, int> stringIndex;
  std::vector<CodeItem> code;
  std::map<std::string, Token> equs;   // .equ NAME value
  std::vector<SlotScope> scopes;
  bool raw = false;
  std::vector<uint8_t> rawBytes;

  int internString(const std::string& s);
  // The slot a name gives in an item's method, or false.
  bool slotOf(const CodeItem& c, const std::string& name, int& slot) const;
};

// Instructions whose operand is a frame distance (a slot name may stand for it).
inline bool takesSlot(int op) {
  return op == 1 || op == 2 || (op >= 3 && op <= 5) || op == 6 || op == 7;   // LOAD_LOCAL*, LOAD_DEREF*, ADDR_LOCAL*
}

}  // namespace mcb
