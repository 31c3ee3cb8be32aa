#include "Errors.h"
#include "Interpreter.h"
#include "VMArena.h"
#include "VMState.h"

#include <cstring>

namespace {

// [a, a + 4n) must be valid arena memory; n is positive and bounded.
TUint8* words(VMAddr a, TInt32 n) { return vmOpenChecked(a, 4u * static_cast<TUint32>(n)); }

// Word by word, lowest first, so overlapping ranges behave as a sequence of
// single-word moves.
void copyForward(TUint8* to, const TUint8* from, TInt32 n) {
  for (TInt32 i = 0; i < n; ++i) std::memmove(to + 4 * i, from + 4 * i, 4);
}
}  // namespace

VMAddr Interpreter::allocChecked(VMHeap& heap, TUint32 gcCode, TInt32 n) {
  if (!gc_code::imageMayAllocate(gcCode)) raise(ERR_RUNTIME, "Invalid mem alloc gc code");
  if (n < 0 || n > VMHeap::kMaxImageWords) raise(ERR_INVALID_ARGUMENT, "Invalid allocation size ", n);
  return heap.allocateWords(n, static_cast<GcCode>(gcCode));
}

TUint32 Interpreter::box(VMHeap& heap, TUint32 v, TInt32 level) {
  if (level < -3 || level > 3) return 0;
  for (TInt32 i = 0; i < level; ++i) {
    const VMAddr cell = heap.allocateWords(1, GC_CODE_REF_HOLDER);
    std::memcpy(vmPtr(cell), &v, 4);
    v = cell;
  }
  for (TInt32 i = 0; i < -level; ++i) std::memcpy(&v, vmOpenChecked(v, 4), 4);
  return v;
}

void Interpreter::freeObject(VMHeap& heap, VMAddr object) {
  if (heap.isRoot(object)) vmInvalidAddress(object);
  heap.freeObject(object);
}

TInt32 Interpreter::pack(VMHeap& heap, TUint32* stk, TInt32 sp, TInt32 n) {
  if (n > 0) {
    if (n > sp + 1) raiseStackUnderflow();
    const VMAddr block = heap.allocateWords(n, GC_CODE_LEAF);
    std::memcpy(vmPtr(block), stk + sp - n + 1, 4u * static_cast<TUint32>(n));
    sp -= n;
    stk[++sp] = block;
    return sp;
  }
  const TInt64 nsp = static_cast<TInt64>(sp) - n + 1;
  if (nsp >= kStackSlots) raiseStackOverflow();
  const VMAddr block = heap.allocateWords(0, GC_CODE_LEAF);
  stk[nsp] = block;
  return static_cast<TInt32>(nsp);
}

TInt32 Interpreter::loadWords(TUint32* stk, TInt32 sp, TInt32 n) {
  const VMAddr a = stk[sp];
  if (n <= 0) return sp - 1;
  if (static_cast<TInt64>(sp) - 1 + n >= kStackSlots) raiseStackOverflow();
  copyForward(reinterpret_cast<TUint8*>(stk + sp), words(a, n), n);
  return sp - 1 + n;
}

TInt32 Interpreter::storeWords(TUint32* stk, TInt32 sp, TInt32 n) {
  if (n < 0 || n > sp) raiseStackUnderflow();
  const VMAddr a = stk[sp - n];
  if (n > 0) copyForward(words(a, n), reinterpret_cast<const TUint8*>(stk + sp - n + 1), n);
  return sp - n - 1;
}

void Interpreter::copyWords(VMAddr destination, VMAddr source, TInt32 n) {
  if (n <= 0) return;
  if (n > (1 << 28)) vmInvalidAddress(source);
  const TUint8* from = words(source, n);
  copyForward(words(destination, n), from, n);
}
