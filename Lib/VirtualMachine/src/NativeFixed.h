#pragma once
// The argument toolkit's fixed-point part: NFixed values in two slots (low
// word first) and at fixed references (eight bytes at a VM address). Apart
// from NativeHelpers.h because NFixed's MIN and MAX clash with macros that
// some host headers define.
#include "NFixed.h"
#include "NativeHelpers.h"

#include <cstring>

namespace native {

inline NFixed fixedAt(const Args& a, TInt32 i) { return NFixed::fromParts(a.word(i), a.word(i + 1)); }
inline void fixedResult(Args& a, NFixed v) { a.result2(v.low(), v.high()); }

inline NFixed loadFixed(VMAddr at) {
  TInt64 raw;
  std::memcpy(&raw, vmOpenChecked(at, 8), 8);
  return NFixed(raw);
}
inline void storeFixed(VMAddr at, NFixed v) { std::memcpy(vmOpenChecked(at, 8), &v.raw, 8); }

// The Fixed and Math groups' handlers of one value, and of none.
template <NFixed (*F)(NFixed)> void fixedFunction(Context& cx) {   // f -> f
  Args a(cx, 2);
  fixedResult(a, F(fixedAt(a, 0)));
}
template <NFixed (*F)()> void fixedConstant(Context& cx) {   // -> f
  Args a(cx, 0);
  fixedResult(a, F());
}

}  // namespace native
