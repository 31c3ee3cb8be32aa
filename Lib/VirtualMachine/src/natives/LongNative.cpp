// Long group (12): 64-bit integers held in 8-byte leaf blocks. Arithmetic
// wraps; the value forms allocate a new block, the assign forms write into
// the first argument's block.
#include "NativeHelpers.h"
#include "NString.h"

#include <cstring>
#include <functional>

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

TInt64 add(TInt64 a, TInt64 b) { return wrap(static_cast<TUint64>(a) + static_cast<TUint64>(b)); }
TInt64 subtract(TInt64 a, TInt64 b) { return wrap(static_cast<TUint64>(a) - static_cast<TUint64>(b)); }
TInt64 multiply(TInt64 a, TInt64 b) { return wrap(static_cast<TUint64>(a) * static_cast<TUint64>(b)); }
TInt64 divide(TInt64 a, TInt64 b) {
  checkDivisor(b);
  return b == -1 ? wrap(0 - static_cast<TUint64>(a)) : a / b;
}
TInt64 remainder(TInt64 a, TInt64 b) {
  checkDivisor(b);
  return b == -1 ? 0 : a % b;
}
TInt64 bitAnd(TInt64 a, TInt64 b) { return a & b; }
TInt64 bitOr(TInt64 a, TInt64 b) { return a | b; }
TInt64 bitXor(TInt64 a, TInt64 b) { return a ^ b; }

typedef TInt64 (*Binary)(TInt64, TInt64);

template <Binary F> void valueForm(native::Context& cx) {   // l, l -> new l
  Args a(cx, 2);
  a.result(newLong(a.heap(), F(loadLong(a.word(0)), loadLong(a.word(1)))));
}

template <Binary F, bool ByOne = false> void assignForm(native::Context& cx) {   // l, l (ByOne: l, by 1) into l
  Args a(cx, ByOne ? 1 : 2);
  const TInt64 b = ByOne ? 1 : loadLong(a.word(1));
  storeLong(a.word(0), F(loadLong(a.word(0)), b));
  a.noResult();
}

template <typename Relation> void compare(native::Context& cx) {   // l, l -> 1|0
  Args a(cx, 2);
  a.result(native::truth(Relation()(loadLong(a.word(0)), loadLong(a.word(1)))));
}

void clear(native::Context& cx) {
  Args a(cx, 1);
  storeLong(a.word(0), 0);
  a.noResult();
}

void copy(native::Context& cx) {
  Args a(cx, 2);
  storeLong(a.word(0), loadLong(a.word(1)));
  a.noResult();
}

// Results from one long: a new long, a string, the low word.
template <TUint32 (*F)(VMHeap&, TInt64)> void ofOne(native::Context& cx) {
  Args a(cx, 1);
  a.result(F(a.heap(), loadLong(a.word(0))));
}
TUint32 negated(VMHeap& heap, TInt64 v) { return newLong(heap, wrap(0 - static_cast<TUint64>(v))); }
TUint32 text(VMHeap& heap, TInt64 v) { return native::newStringFrom(heap, NString::number(v)); }
TUint32 low(VMHeap&, TInt64 v) { return static_cast<TUint32>(static_cast<TUint64>(v)); }

void fromInt(native::Context& cx) {
  Args a(cx, 1);
  a.result(newLong(a.heap(), a.integer(0)));
}

const native::Operation kRows[] = {
    {1, "clear", clear, "l ->", "none"},
    {2, "assign", copy, "l, l ->", "none"},
    {3, "set", copy, "l, l ->", "none"},
    {4, "reserved4", native::reserved, "(reserved)", "11 \"Reserved native operation\""},
    {5, "add", valueForm<add>, "l, l -> l", "none"},
    {6, "subtract", valueForm<subtract>, "l, l -> l", "none"},
    {7, "multiply", valueForm<multiply>, "l, l -> l", "none"},
    {8, "divide", valueForm<divide>, "l, l -> l", "3 \"Division by zero.\""},
    {9, "remainder", valueForm<remainder>, "l, l -> l", "3 \"Division by zero.\""},
    {10, "negate", ofOne<negated>, "l -> l", "none"},
    {11, "increment", assignForm<add, true>, "l ->", "none"},
    {12, "decrement", assignForm<subtract, true>, "l ->", "none"},
    {13, "addTo", assignForm<add>, "l, l ->", "none"},
    {14, "subtractFrom", assignForm<subtract>, "l, l ->", "none"},
    {15, "multiplyBy", assignForm<multiply>, "l, l ->", "none"},
    {16, "divideBy", assignForm<divide>, "l, l ->", "3 \"Division by zero.\""},
    {17, "remainderBy", assignForm<remainder>, "l, l ->", "3 \"Division by zero.\""},
    {18, "equals", compare<std::equal_to<TInt64>>, "l, l -> 1|0", "none"},
    {19, "less", compare<std::less<TInt64>>, "l, l -> 1|0", "none"},
    {20, "lessOrEqual", compare<std::less_equal<TInt64>>, "l, l -> 1|0", "none"},
    {21, "differs", compare<std::not_equal_to<TInt64>>, "l, l -> 1|0", "none"},
    {22, "greater", compare<std::greater<TInt64>>, "l, l -> 1|0", "none"},
    {23, "greaterOrEqual", compare<std::greater_equal<TInt64>>, "l, l -> 1|0", "none"},
    {24, "and", valueForm<bitAnd>, "l, l -> l", "none"},
    {25, "or", valueForm<bitOr>, "l, l -> l", "none"},
    {26, "xor", valueForm<bitXor>, "l, l -> l", "none"},
    {27, "shiftLeft", valueForm<shiftLeft>, "l, l -> l", "none"},
    {28, "shiftRight", valueForm<shiftRight>, "l, l -> l", "none"},
    {29, "andWith", assignForm<bitAnd>, "l, l ->", "none"},
    {30, "orWith", assignForm<bitOr>, "l, l ->", "none"},
    {31, "xorWith", assignForm<bitXor>, "l, l ->", "none"},
    {32, "shiftLeftBy", assignForm<shiftLeft>, "l, l ->", "none"},
    {33, "shiftRightBy", assignForm<shiftRight>, "l, l ->", "none"},
    {34, "toText", ofOne<text>, "l -> str", "none"},
    {35, "nothing35", native::discard<0>, "->", "none"},
    {36, "nothing36", native::discard<0>, "->", "none"},
    {37, "low", ofOne<low>, "l -> int", "none"},
    {38, "fromInt", fromInt, "int -> l", "none"},
};

}  // namespace

NATIVE_OPERATIONS(longOperations, kRows);
