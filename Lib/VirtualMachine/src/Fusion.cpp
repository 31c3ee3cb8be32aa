#include "Fusion.h"

#include "ImageTables.h"
#include "Opcodes.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kLongest = 7;

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

struct Pattern {
  int length;
  TUint8 ops[kLongest];
  TUint8 fused;
};

#define MEMBER_OPCODE(F, i, op) OP_##op,
const TUint8 kComparisons[kFusedComparisons] = {FUSED_COMPARISONS(MEMBER_OPCODE, 0)};
const TUint8 kOperations[kFusedOperations] = {FUSED_OPERATIONS(MEMBER_OPCODE, 0)};
const TUint8 kScalings[kFusedScalings] = {FUSED_SCALINGS(MEMBER_OPCODE, 0)};
#undef MEMBER_OPCODE

// The table, longest patterns first, so a sequence gets the largest fusion
// it fits.
std::vector<Pattern> buildPatterns() {
  std::vector<Pattern> p;
  const TUint8 LL = OP_LOAD_LOCAL8, AL = OP_ADDR_LOCAL8, IMM = OP_PUSH_IMM32, JF = OP_JUMP_IF_FALSE16;
  for (int s = 0; s < kFusedScalings; ++s) {
    const TUint8 f = TUint8(s);
    p.push_back({7, {LL, LL, IMM, kScalings[s], OP_ADD, LL, OP_STORE_WORD}, TUint8(FUSED_INDEX_STORE + f)});
    p.push_back({6, {LL, LL, IMM, kScalings[s], OP_ADD, OP_DEREF}, TUint8(FUSED_INDEX_LOAD + f)});
  }
  for (int i = 0; i < kFusedOperations; ++i) {
    const TUint8 f = TUint8(i);
    p.push_back({5, {AL, LL, LL, kOperations[i], OP_STORE_WORD}, TUint8(FUSED_SET_LOCALS + f)});
    p.push_back({5, {AL, LL, IMM, kOperations[i], OP_STORE_WORD}, TUint8(FUSED_SET_LOCAL_IMM + f)});
  }
  for (int s = 0; s < kFusedScalings; ++s)
    p.push_back({5, {LL, LL, IMM, kScalings[s], OP_ADD}, TUint8(FUSED_INDEX_ADDR + s)});
  for (int c = 0; c < kFusedComparisons; ++c) {
    const TUint8 f = TUint8(c);
    p.push_back({4, {LL, IMM, kComparisons[c], JF}, TUint8(FUSED_CMP_BRANCH + f)});
    p.push_back({4, {LL, LL, kComparisons[c], JF}, TUint8(FUSED_LOCALS_CMP_BRANCH + f)});
  }
  for (int c = 0; c < kFusedComparisons; ++c) {
    const TUint8 f = TUint8(c);
    p.push_back({3, {IMM, kComparisons[c], JF}, TUint8(FUSED_TOP_CMP_BRANCH + f)});
    p.push_back({3, {LL, kComparisons[c], JF}, TUint8(FUSED_LOCAL_CMP_BRANCH + f)});
  }
  for (int i = 0; i < kFusedOperations; ++i)
    p.push_back({3, {LL, IMM, kOperations[i]}, TUint8(FUSED_LOCAL_IMM + i)});
  p.push_back({3, {AL, LL, OP_ADD_AT}, FUSED_LOCAL_ADD_LOCAL});
  p.push_back({3, {AL, LL, OP_SUB_AT}, FUSED_LOCAL_SUB_LOCAL});
  p.push_back({3, {AL, IMM, OP_ADD_AT}, FUSED_LOCAL_ADD_IMM});
  p.push_back({3, {AL, IMM, OP_SUB_AT}, FUSED_LOCAL_SUB_IMM});
  p.push_back({3, {AL, LL, OP_STORE_WORD}, FUSED_COPY_LOCAL});
  p.push_back({3, {AL, IMM, OP_STORE_WORD}, FUSED_SET_IMM});
  p.push_back({3, {LL, LL, OP_STORE_WORD}, FUSED_STORE_THROUGH});
  p.push_back({3, {LL, OP_FIELD_ADDR8, OP_DEREF}, FUSED_LOAD_FIELD});
  for (int c = 0; c < kFusedComparisons; ++c) p.push_back({2, {kComparisons[c], JF}, TUint8(FUSED_CMP_JUMP + c)});
  for (int i = 0; i < kFusedOperations; ++i)
    p.push_back({2, {kOperations[i], OP_STORE_WORD}, TUint8(FUSED_OP_STORE + i)});
  for (int i = 0; i < kFusedOperations; ++i) {
    p.push_back({2, {LL, kOperations[i]}, TUint8(FUSED_OP_LOCAL + i)});
    p.push_back({2, {IMM, kOperations[i]}, TUint8(FUSED_OP_IMM + i)});
  }
  p.push_back({2, {AL, OP_INC_AT}, FUSED_LOCAL_INC});
  p.push_back({2, {AL, OP_DEC_AT}, FUSED_LOCAL_DEC});
  p.push_back({2, {LL, OP_DEREF}, FUSED_LOAD_THROUGH});
  p.push_back({2, {LL, LL}, FUSED_LOAD_LOCAL2});
  p.push_back({2, {LL, JF}, FUSED_LOCAL_BRANCH});
  return p;
}

// The pattern the instructions ops[0..n) start with, or null.
const Pattern* patternFor(const TUint8* ops, int n) {
  static const std::vector<Pattern> patterns = buildPatterns();
  for (const Pattern& p : patterns) {
    if (p.length > n) continue;
    int k = 0;
    while (k < p.length && ops[k] == p.ops[k]) ++k;
    if (k == p.length) return &p;
  }
  return nullptr;
}

// The twin of a branching family's member (Fusion.h), or the member itself.
TUint8 twinOf(TUint8 fused) {
  const int families[][2] = {{FUSED_CMP_BRANCH, FUSED_CMP_BRANCH_TWIN},
                             {FUSED_LOCALS_CMP_BRANCH, FUSED_LOCALS_CMP_BRANCH_TWIN},
                             {FUSED_TOP_CMP_BRANCH, FUSED_TOP_CMP_BRANCH_TWIN},
                             {FUSED_LOCAL_CMP_BRANCH, FUSED_LOCAL_CMP_BRANCH_TWIN},
                             {FUSED_CMP_JUMP, FUSED_CMP_JUMP_TWIN}};
  for (const auto& f : families)
    if (fused >= f[0] && fused < f[0] + kFusedComparisons) return TUint8(f[1] + (fused - f[0]));
  return fused;
}

// A pattern ending in a JUMP_IF_FALSE16 is fused only where its target lies
// inside the code, so its handler need not check it (the code only grows).
bool jumpInside(const ImageTables& t, const Pattern& p, TInt32 at) {
  if (p.ops[p.length - 1] != OP_JUMP_IF_FALSE16) return true;
  for (int k = 0; k + 1 < p.length; ++k) at += instructionLength(p.ops[k]);
  TInt16 offset;
  std::memcpy(&offset, t.code.data() + at + 1, 2);
  const TInt64 target = static_cast<TInt64>(at) + 2 + offset;
  return target >= 0 && target < t.codeSize;
}

TInt32 bytesOf(const Pattern& p) {
  TInt32 n = 0;
  for (int k = 0; k < p.length; ++k) n += instructionLength(p.ops[k]);
  return n;
}

}  // namespace

void buildExecutionCode(ImageTables& t) {
  const TUint8* code = t.code.data();
  t.exec.resize(0);
  t.exec.setCapacity(t.code.size());
  // Fused numbers are never instructions; such bytes dispatch as invalid.
  for (TInt32 i = 0; i < t.code.size(); ++i) t.exec.append(code[i] < FUSED_FIRST ? code[i] : kCodePadByte);
  TUint8* exec = t.exec.data();
  for (TInt32 image = 0; image < t.images.size(); ++image) {
    const TInt32 end = t.images[image].codeBase + t.images[image].codeSize;
    bool twin[256] = {};   // the next site of this opcode gets its twin
    for (TInt32 at = t.images[image].codeBase; at < end;) {
      TUint8 ops[kLongest];
      const int n = opcodesAt(code, at, end, ops, kLongest);
      if (n == 0) {
        ++at;
        continue;
      }
      const Pattern* p = t.fuse ? patternFor(ops, n) : nullptr;
      if (p && !jumpInside(t, *p, at)) p = nullptr;
      // A sequence reaching into the trace range runs plain, so the observer sees each instruction.
      if (p && !(at < t.traceTo && at + bytesOf(*p) > t.traceFrom)) {
        exec[at] = twin[p->fused] ? twinOf(p->fused) : p->fused;
        twin[p->fused] = !twin[p->fused];
      }
      if (at >= t.traceFrom && at < t.traceTo) exec[at] = TRACED_INSTRUCTION;
      at += instructionLength(ops[0]);
    }
  }
}
