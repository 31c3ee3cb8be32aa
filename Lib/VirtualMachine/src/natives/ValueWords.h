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
// Operations 'equal' and 'not equal' over two n-slot values.
inline void compareValues(VMState& state, TInt32 n, bool equal) {
  Args a(state, 2 * n);
  a.result(slotsEqual(a, n) == equal ? 1u : 0u);
}

inline TInt32 nonNegative(TInt32 v) {
  if (v < 0) raise(ERR_INVALID_ARGUMENT, "Negative value");
  return v;
}

// The operations every value group has, over a value of n words at ref.
inline void clearValue(VMState& state, TInt32 n) {   // ref
  Args a(state, 1);
  clearWords(a.word(0), n);
  a.noResult();
}
inline void copyValue(VMState& state, TInt32 n) {   // ref, ref2
  Args a(state, 2);
  copyWords(a.word(0), a.word(1), n);
  a.noResult();
}
inline void getWord(VMState& state, TInt32 i) {   // ref -> word i
  Args a(state, 1);
  a.result(static_cast<TUint32>(wordAt(a.word(0), i)));
}
inline void setWord(VMState& state, TInt32 i, bool refuseNegative) {   // ref, value
  Args a(state, 2);
  const TInt32 v = a.integer(1);
  setWordAt(a.word(0), i, refuseNegative ? nonNegative(v) : v);
  a.noResult();
}

}  // namespace native
