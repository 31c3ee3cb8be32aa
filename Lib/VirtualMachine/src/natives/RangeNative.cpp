// Range group (14): (first, count) pairs; count -1 is an open range.
#include "NativeHelpers.h"

using native::Args;
using native::nonNegative;

namespace {

void set(VMAddr ref, TInt32 first, TInt32 count) {
  native::setWordAt(ref, 0, first);
  native::setWordAt(ref, 1, count);
}

void fromFirstLast(native::Context& cx) {   // ref, first, last
  Args a(cx, 3);
  const TInt32 first = nonNegative(a.integer(1)), last = nonNegative(a.integer(2));
  if (last < first) raise(ERR_INVALID_ARGUMENT, "Range ends before it starts");
  set(a.word(0), first, last + 1 - first);
  a.noResult();
}

void fromFirstCount(native::Context& cx) {   // ref, first, count
  Args a(cx, 3);
  const TInt32 first = nonNegative(a.integer(1)), count = nonNegative(a.integer(2));
  set(a.word(0), first, count);
  a.noResult();
}

void open(native::Context& cx) {   // ref, first
  Args a(cx, 2);
  set(a.word(0), nonNegative(a.integer(1)), -1);
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "clear", native::clearValue<2>, "ref ->", "none"},
    {2, "copy", native::copyValue<2>, "ref, ref ->", "none"},
    {3, "setFirstLast", fromFirstLast, "ref, int, int ->", "6 \"Negative value\"; 6 \"Range ends before it starts\""},
    {4, "set", fromFirstCount, "ref, int, int ->", "6 \"Negative value\""},
    {5, "first", native::getWord<0>, "ref -> int", "none"},
    {6, "count", native::getWord<1>, "ref -> int", "none"},
    {7, "setFirst", native::setWord<0, true>, "ref, int ->", "6 \"Negative value\""},
    {8, "setCount", native::setWord<1, true>, "ref, int ->", "6 \"Negative value\""},
    {9, "equals", native::compareValues<2, true>, "range, range -> 1|0", "none"},
    {10, "differs", native::compareValues<2, false>, "range, range -> 1|0", "none"},
    {11, "setOpen", open, "ref, int ->", "6 \"Negative value\""},
    {12, "setOpenToo", open, "ref, int ->", "6 \"Negative value\""},
};

}  // namespace

NATIVE_OPERATIONS(rangeOperations, kRows);
