#pragma once
// Opcode numbers, names, operand formats and instruction lengths, all
// generated from Opcodes.def.
#include "Types.h"

enum Opcode : TUint8 {
#define OPCODE(num, name, ops, ...) OP_##name = num,
#include "Opcodes.def"
#undef OPCODE
};

constexpr int kOpcodeCount = 0
#define OPCODE(num, name, ops, ...) +1
#include "Opcodes.def"
#undef OPCODE
    ;
static_assert(kOpcodeCount == 126, "opcodes 0..126 without 125");

constexpr int operandBytes(const char* ops) {
  int n = 0;
  for (; *ops; ++ops) n += (*ops == 'b' || *ops == 'B') ? 1 : *ops == 'h' ? 2 : *ops == 'w' ? 4 : 8;
  return n;
}

struct OpcodeInfo {
  const char* name;      // null for bytes that are not instructions
  const char* operands;  // operand letters, see Opcodes.def
  TUint8 length;         // whole instruction, opcode byte included
  const char* operandNames;   // space-separated, one per operand letter
  TInt8 pops, pushes;    // stack slots; -1: depends on an operand or a record
  const char* effect;    // one line for the instruction reference
};

// Indexed by the opcode byte; non-instructions have name null and length 1.
extern const OpcodeInfo kOpcodeInfo[256];

inline int instructionLength(TUint8 op) { return kOpcodeInfo[op].length; }
inline bool isOpcode(TUint8 op) { return kOpcodeInfo[op].name != nullptr; }
// The opcode with this mnemonic, or -1.
int opcodeByName(const char* name);
