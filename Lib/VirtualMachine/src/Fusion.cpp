#include "Fusion.h"

#include "ImageTables.h"
#include "Opcodes.h"

namespace {

// The opcodes of the instructions starting at `at`, up to n of them, within [at, end).
int opcodesAt(const TUint8* code, TInt32 at, TInt32 end, TUint8* ops, int n) {
  int k = 0;
  while (k < n && at < end) {
    const TUint8 op = code[at];
    if (!isOpcode(op) || at + instructionLength(op) > end) break;
    ops[k++] = op;
    at += instructionLength(op);
  }
  return k;
}

int fusedFor(const TUint8* ops, int n) {
  if (n >= 4 && ops[0] == OP_LOAD_LOCAL8 && ops[1] == OP_PUSH_IMM32 && ops[2] >= OP_CMP_EQ && ops[2] <= OP_CMP_GE &&
      ops[3] == OP_JUMP_IF_FALSE16)
    return FUSED_CMP_BRANCH + (ops[2] - OP_CMP_EQ);
  if (n >= 3 && ops[0] == OP_LOAD_LOCAL8 && ops[1] == OP_PUSH_IMM32) {
    if (ops[2] == OP_ADD) return FUSED_PUSH_LOCAL_ADD_IMM;
    if (ops[2] == OP_SUB) return FUSED_PUSH_LOCAL_SUB_IMM;
  }
  if (n >= 2 && ops[0] == OP_LOAD_LOCAL8 && ops[1] == OP_LOAD_LOCAL8) return FUSED_LOAD_LOCAL2;
  if (n >= 3 && ops[0] == OP_ADDR_LOCAL8 && ops[1] == OP_LOAD_LOCAL8) {
    if (ops[2] == OP_ADD_AT) return FUSED_LOCAL_ADD_LOCAL;
    if (ops[2] == OP_SUB_AT) return FUSED_LOCAL_SUB_LOCAL;
  }
  if (n >= 3 && ops[0] == OP_ADDR_LOCAL8 && ops[1] == OP_PUSH_IMM32) {
    if (ops[2] == OP_ADD_AT) return FUSED_LOCAL_ADD_IMM;
    if (ops[2] == OP_SUB_AT) return FUSED_LOCAL_SUB_IMM;
  }
  if (n >= 2 && ops[0] == OP_ADDR_LOCAL8) {
    if (ops[1] == OP_INC_AT) return FUSED_LOCAL_INC;
    if (ops[1] == OP_DEC_AT) return FUSED_LOCAL_DEC;
  }
  return -1;
}

}  // namespace

void buildExecutionCode(ImageTables& t) {
  const TUint8* code = t.code.data();
  t.exec.resize(0);
  t.exec.setCapacity(t.code.size());
  // Fused numbers are never instructions; such bytes dispatch as invalid.
  for (TInt32 i = 0; i < t.code.size(); ++i) t.exec.append(code[i] < FUSED_CMP_BRANCH ? code[i] : kCodePadByte);
  TUint8* exec = t.exec.data();
  for (TInt32 image = 0; image < t.images.size(); ++image) {
    const TInt32 end = t.images[image].codeBase + t.images[image].codeSize;
    for (TInt32 at = t.images[image].codeBase; at < end;) {
      TUint8 ops[4];
      const int n = opcodesAt(code, at, end, ops, 4);
      if (n == 0) {
        ++at;
        continue;
      }
      const int fused = t.fuse ? fusedFor(ops, n) : -1;
      if (fused >= 0) exec[at] = static_cast<TUint8>(fused);
      if (at >= t.traceFrom && at < t.traceTo) exec[at] = TRACED_INSTRUCTION;
      at += instructionLength(ops[0]);
    }
  }
}
