// Range group (14): (first, count) pairs; count -1 is an open range.
#include "NativeGroups.h"
#include "ValueWords.h"

using native::Args;
using native::nonNegative;

namespace {

void set(VMAddr ref, TInt32 first, TInt32 count) {
  native::setWordAt(ref, 0, first);
  native::setWordAt(ref, 1, count);
}

}  // namespace

void rangeNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: return native::clearValue(state, 2);
    case 2: return native::copyValue(state, 2);
    case 3: {   // first, last
      Args a(state, 3);
      const TInt32 first = nonNegative(a.integer(1)), last = nonNegative(a.integer(2));
      if (last < first) raise(ERR_INVALID_ARGUMENT, "Range ends before it starts");
      set(a.word(0), first, last + 1 - first);
      return a.noResult();
    }
    case 4: {   // first, count
      Args a(state, 3);
      const TInt32 first = nonNegative(a.integer(1)), count = nonNegative(a.integer(2));
      set(a.word(0), first, count);
      return a.noResult();
    }
    case 5: case 6: return native::getWord(state, op - 5);
    case 7: case 8: return native::setWord(state, op - 7, true);
    case 9: case 10: return native::compareValues(state, 2, op == 9);
    case 11:
    case 12: {
      Args a(state, 2);
      set(a.word(0), nonNegative(a.integer(1)), -1);
      return a.noResult();
    }
    default: native::unknownOperation("Range: ", op);
  }
}
