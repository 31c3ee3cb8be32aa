#pragma once
// Word access for the small value types (position, size, rectangle, range,
// colour): their storage is a run of words at a raw address, and by value
// they are that many slots.
#include "Errors.h"
#include "NativeHelpers.h"

namespace native {

inline TInt32 wordAt(VMAddr ref, TInt32 i) { return static_cast<TInt32>(load(ref + 4u * i)); }
inline void setWordAt(VMAddr ref, TInt32 i, TInt32 v) { store(ref + 4u * i, static_cast<TUint32>(v)); }

inline void clearWords(VMAddr ref, TInt32 n) {
  for (TInt32 i = 0; i < n; ++i) setWordAt(ref, i, 0);
}
inline void copyWords(VMAddr to, VMAddr from, TInt32 n) {
  for (TInt32 i = 0; i < n; ++i) setWordAt(to, i, wordAt(from, i));
}

// Two values of n slots each, the first at argument 0.
inline bool slotsEqual(const Args& a, TInt32 n) {
  for (TInt32 i = 0; i < n; ++i)
    if (a.word(i) != a.word(n + i)) return false;
  return true;
}

inline TInt32 nonNegative(TInt32 v) {
  if (v < 0) raise(ERR_INVALID_ARGUMENT, "Negative value");
  return v;
}

// The operations every value group has, over a value of N words at ref,
// written once as table handlers.
template <TInt32 N, bool Equal> void compareValues(Context& cx) {   // value, value -> 1|0
  Args a(cx, 2 * N);
  a.result(slotsEqual(a, N) == Equal ? 1u : 0u);
}
template <TInt32 N> void clearValue(Context& cx) {   // ref
  Args a(cx, 1);
  clearWords(a.word(0), N);
  a.noResult();
}
template <TInt32 N> void copyValue(Context& cx) {   // ref, ref2
  Args a(cx, 2);
  copyWords(a.word(0), a.word(1), N);
  a.noResult();
}
template <TInt32 I> void getWord(Context& cx) {   // ref -> word I
  Args a(cx, 1);
  a.result(static_cast<TUint32>(wordAt(a.word(0), I)));
}
template <TInt32 I, bool RefuseNegative> void setWord(Context& cx) {   // ref, value
  Args a(cx, 2);
  const TInt32 v = a.integer(1);
  setWordAt(a.word(0), I, RefuseNegative ? nonNegative(v) : v);
  a.noResult();
}

}  // namespace native
