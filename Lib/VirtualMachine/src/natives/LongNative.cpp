// Long group (12): 64-bit integers held in 8-byte leaf blocks. Arithmetic
// wraps; the value forms allocate a new block, the assign forms write into
// the first argument's block.
#include "Errors.h"
#include "FixedSlots.h"
#include "NString.h"
#include "NativeGroups.h"

#include <cstring>

using native::Args;

namespace {

TInt64 loadLong(TUint32 ref) {
  TInt64 v;
  std::memcpy(&v, vmOpenChecked(native::deref(ref), 8), 8);
  return v;
}
void storeLong(TUint32 ref, TInt64 v) { std::memcpy(vmOpenChecked(native::deref(ref), 8), &v, 8); }

TUint32 newLong(VMHeap& heap, TInt64 v) {
  const VMAddr block = heap.allocate(8, 0, GC_CODE_LEAF);
  storeLong(block, v);
  return block;
}

TInt64 wrap(TUint64 v) { return static_cast<TInt64>(v); }

// Like the interpreter's own integer division.
void checkDivisor(TInt64 b) {
  if (b == 0) raise(ERR_DIVISION_BY_ZERO, "Division by zero.");
}

TInt64 shiftLeft(TInt64 a, TInt64 count) {
  const TUint32 n = static_cast<TUint32>(count) & 0xFFu;
  return n >= 64 ? 0 : wrap(static_cast<TUint64>(a) << n);
}
TInt64 shiftRight(TInt64 a, TInt64 count) {
  const TUint32 n = static_cast<TUint32>(count) & 0xFFu;
  return n >= 64 ? (a < 0 ? -1 : 0) : a >> n;
}

// The binary operation of a value form (5..9, 24..28) or an assign form
// (13..17, 29..33).
TInt64 binary(TInt32 op, TInt64 a, TInt64 b) {
  switch (op) {
    case 5: case 13: return wrap(static_cast<TUint64>(a) + static_cast<TUint64>(b));
    case 6: case 14: return wrap(static_cast<TUint64>(a) - static_cast<TUint64>(b));
    case 7: case 15: return wrap(static_cast<TUint64>(a) * static_cast<TUint64>(b));
    case 8: case 16:
      checkDivisor(b);
      return b == -1 ? wrap(0 - static_cast<TUint64>(a)) : a / b;
    case 9: case 17:
      checkDivisor(b);
      return b == -1 ? 0 : a % b;
    case 24: case 29: return a & b;
    case 25: case 30: return a | b;
    case 26: case 31: return a ^ b;
    case 27: case 32: return shiftLeft(a, b);
    default: return shiftRight(a, b);
  }
}

bool compare(TInt32 op, TInt64 a, TInt64 b) {
  switch (op) {
    case 18: return a == b;
    case 19: return a < b;
    case 20: return a <= b;
    case 21: return a != b;
    case 22: return a > b;
    default: return a >= b;
  }
}

void valueForm(VMState& state, TInt32 op) {
  Args a(state, 2);
  a.result(newLong(a.heap(), binary(op, loadLong(a.word(0)), loadLong(a.word(1)))));
}

void assignForm(VMState& state, TInt32 op) {
  Args a(state, 2);
  const TInt64 b = loadLong(a.word(1));
  storeLong(a.word(0), binary(op, loadLong(a.word(0)), b));
  a.noResult();
}

void unary(VMState& state, TInt32 op) {   // 1, 11, 12
  Args a(state, 1);
  const TInt64 v = op == 1 ? 0 : loadLong(a.word(0));
  storeLong(a.word(0), op == 1 ? 0 : wrap(static_cast<TUint64>(v) + (op == 11 ? 1u : ~TUint64(0))));
  a.noResult();
}

}  // namespace

void longNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: case 11: case 12: return unary(state, op);
    case 2:
    case 3: {
      Args a(state, 2);
      storeLong(a.word(0), loadLong(a.word(1)));
      return a.noResult();
    }
    case 4: native::reservedOperation();
    case 5: case 6: case 7: case 8: case 9:
    case 24: case 25: case 26: case 27: case 28: return valueForm(state, op);
    case 10: {
      Args a(state, 1);
      return a.result(newLong(a.heap(), wrap(0 - static_cast<TUint64>(loadLong(a.word(0))))));
    }
    case 13: case 14: case 15: case 16: case 17:
    case 29: case 30: case 31: case 32: case 33: return assignForm(state, op);
    case 18: case 19: case 20: case 21: case 22: case 23: {
      Args a(state, 2);
      return a.result(native::truth(compare(op, loadLong(a.word(0)), loadLong(a.word(1)))));
    }
    case 34: {
      Args a(state, 1);
      return a.result(native::newStringFrom(a.heap(), NString::number(loadLong(a.word(0)))));
    }
    case 35: case 36: return;
    case 37: {
      Args a(state, 1);
      return a.result(static_cast<TUint32>(static_cast<TUint64>(loadLong(a.word(0)))));
    }
    case 38: {
      Args a(state, 1);
      return a.result(newLong(a.heap(), a.integer(0)));
    }
    default: native::unknownOperation("Long: ", op);
  }
}
