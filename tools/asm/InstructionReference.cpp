// The instruction reference (docs/instructions.md), generated from
// Opcodes.def: operands, stack effect and effect of every opcode.
#include "Assembler.h"
#include "Opcodes.h"

#include <cstring>
#include <sstream>

namespace mcb {

namespace {

const char* kindName(char k) {
  switch (k) {
    case 'b': return "i8";
    case 'B': return "u8";
    case 'h': return "i16";
    case 'w': return "i32";
    default: return "8 bytes";
  }
}

// The stack effects Opcodes.def leaves to an operand or a record (-1).
const char* operandEffect(int op) {
  switch (op) {
    case OP_PACK8:
    case OP_PACK32: return "n → 1 (n ≤ 0: 0 → 1 − n)";
    case OP_RESERVE8:
    case OP_RESERVE32: return "0 → n (n ≤ 0: −n → 0)";
    case OP_NATIVE_CALL: return "arguments → result, per operation (natives.md)";
    case OP_EXTENSION_CALL: return "per extension operation";
    case OP_LOAD_WORDS8:
    case OP_LOAD_WORDS32: return "1 → n";
    case OP_STORE_WORDS8:
    case OP_STORE_WORDS32: return "n + 1 → 0";
    case OP_SIGN_EXTEND_BYTES: return "n → n";
    case OP_CALL: return "parameters → (results stay below)";
    case OP_CALL_VIRTUAL: return "parameters, class id → (results stay below)";
    case OP_RETURN: return "ends the method: drops b";
    default: return "?";
  }
}

}  // namespace

std::string instructionReference() {
  std::ostringstream o;
  o << "# Instructions\n\n"
       "Generated from `Lib/VirtualMachine/src/Opcodes.def` by `mcbasm --instructions`; the\n"
       "test `tools.command_lines` fails when this file and the table differ (regenerate\n"
       "with `build/tools/mcbasm --instructions > docs/instructions.md`).\n\n"
       "Operands follow the opcode byte, little-endian: `i8` and `u8` one byte, `i16`\n"
       "two, `i32` four. *Top* is the highest slot, *next* the one below it; *new top*\n"
       "is the slot a push would fill. The stack column gives the slots taken → the\n"
       "slots left; the assembler's stack check (assembly.md) follows it. Addresses are\n"
       "checked: 0 raises \"NULL pointer\" (code 1), anything outside the heap or the\n"
       "stack \"Invalid address\" (code 11). Bytes that are no opcode (125, 127 and up)\n"
       "raise \"Internal error: invalid opcode \" and the byte.\n\n"
       "| Op | Mnemonic | Operands | Stack | Effect |\n|---|---|---|---|---|\n";
  for (int op = 0; op < 256; ++op) {
    const OpcodeInfo& i = kOpcodeInfo[op];
    if (!i.name) continue;
    std::string operands;
    std::istringstream names(i.operandNames);
    for (const char* k = i.operands; *k; ++k) {
      std::string name;
      names >> name;
      operands += std::string(operands.empty() ? "" : ", ") + kindName(*k) + " " + name;
    }
    o << "| " << op << " | `" << i.name << "` | " << (operands.empty() ? "–" : operands) << " | ";
    if (i.pops < 0 || i.pushes < 0) o << operandEffect(op);
    else o << static_cast<int>(i.pops) << " → " << static_cast<int>(i.pushes);
    std::string effect = i.effect;
    for (size_t at = 0; (at = effect.find('|', at)) != std::string::npos; at += 2) effect.replace(at, 1, "\\|");
    o << " | " << effect << " |\n";
  }
  return o.str();
}

}  // namespace mcb
