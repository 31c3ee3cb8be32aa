#include "Opcodes.h"

#include <cstring>

namespace {
struct Table {
  OpcodeInfo info[256];
  constexpr Table() : info() {
    for (auto& i : info) i = OpcodeInfo{nullptr, "", 1, "", 0, 0, ""};
#define OPCODE(num, name, ops, names, pops, pushes, effect) \
  info[num] = OpcodeInfo{#name, ops, TUint8(1 + operandBytes(ops)), names, pops, pushes, effect};
#include "Opcodes.def"
#undef OPCODE
  }
};
constexpr Table kTable;
static_assert(kTable.info[OP_PUSH_IMM64].length == 9, "PUSH_IMM64 is 9 bytes");
static_assert(kTable.info[OP_ALLOC_STORE].length == 7, "ALLOC_STORE is 7 bytes");
static_assert(kTable.info[OP_JUMP16].length == 3, "JUMP16 is 3 bytes");
}  // namespace

const OpcodeInfo kOpcodeInfo[256] = {
#define ROW(i) kTable.info[i]
#define R8(i) ROW(i), ROW(i + 1), ROW(i + 2), ROW(i + 3), ROW(i + 4), ROW(i + 5), ROW(i + 6), ROW(i + 7)
#define R64(i) R8(i), R8(i + 8), R8(i + 16), R8(i + 24), R8(i + 32), R8(i + 40), R8(i + 48), R8(i + 56)
    R64(0), R64(64), R64(128), R64(192)
#undef R64
#undef R8
#undef ROW
};

int opcodeByName(const char* name) {
  for (int i = 0; i < 256; ++i)
    if (kOpcodeInfo[i].name && std::strcmp(kOpcodeInfo[i].name, name) == 0) return i;
  return -1;
}
