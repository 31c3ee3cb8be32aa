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

}  // namespace native
