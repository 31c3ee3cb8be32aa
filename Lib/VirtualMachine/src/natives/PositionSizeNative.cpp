// Position (16) and Size (15) groups: one operation set over a pair of
// words; sizes refuse negative components.
#include "NativeHelpers.h"

using native::Args;

namespace {

template <bool IsSize> TInt32 checked(TInt32 v) { return IsSize ? native::nonNegative(v) : v; }

template <bool IsSize> void set(native::Context& cx) {   // ref, a, b
  Args a(cx, 3);
  const TInt32 first = checked<IsSize>(a.integer(1)), second = checked<IsSize>(a.integer(2));
  native::setWordAt(a.word(0), 0, first);
  native::setWordAt(a.word(0), 1, second);
  a.noResult();
}

#define PAIR_ROWS(IsSize, a, b, setA, setB, errors)                             \
  {1, "clear", native::clearValue<2>, "ref ->", "none"},                         \
  {2, "copy", native::copyValue<2>, "ref, ref ->", "none"},                      \
  {3, "set", set<IsSize>, "ref, int, int ->", errors},                           \
  {4, a, native::getWord<0>, "ref -> int", "none"},                              \
  {5, b, native::getWord<1>, "ref -> int", "none"},                              \
  {6, setA, native::setWord<0, IsSize>, "ref, int ->", errors},                  \
  {7, setB, native::setWord<1, IsSize>, "ref, int ->", errors},                  \
  {8, "equals", native::compareValues<2, true>, "pair, pair -> 1|0", "none"},    \
  {9, "differs", native::compareValues<2, false>, "pair, pair -> 1|0", "none"}

const native::Operation kPositionRows[] = {PAIR_ROWS(false, "x", "y", "setX", "setY", "none")};
const native::Operation kSizeRows[] = {PAIR_ROWS(true, "width", "height", "setWidth", "setHeight", "6 \"Negative value\"")};

}  // namespace

NATIVE_OPERATIONS(positionOperations, kPositionRows);
NATIVE_OPERATIONS(sizeOperations, kSizeRows);
