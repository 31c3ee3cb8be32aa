// Rectangle group (17): four words x, y, width, height.
#include "NativeHelpers.h"

using native::Args;
using native::setWordAt;
using native::wordAt;

namespace {

enum Word { X = 0, Y = 1, Width = 2, Height = 3 };

TInt32 plus(TInt32 a, TInt32 b) { return static_cast<TInt32>(static_cast<TUint32>(a) + static_cast<TUint32>(b)); }
TInt32 minus(TInt32 a, TInt32 b) { return static_cast<TInt32>(static_cast<TUint32>(a) - static_cast<TUint32>(b)); }

// Sets `Count` consecutive words from `W` on from the arguments after ref.
template <Word W, TInt32 Count> void setFromArgs(native::Context& cx) {
  Args a(cx, 1 + Count);
  for (TInt32 i = 0; i < Count; ++i) setWordAt(a.word(0), W + i, a.integer(1 + i));
  a.noResult();
}

template <Word W> void getPair(native::Context& cx) {
  Args a(cx, 1);
  const VMAddr ref = a.word(0);
  a.result2(static_cast<TUint32>(wordAt(ref, W)), static_cast<TUint32>(wordAt(ref, W + 1)));
}

template <Word Origin> void farEdge(native::Context& cx) {   // x + width, y + height
  Args a(cx, 1);
  a.result(static_cast<TUint32>(plus(wordAt(a.word(0), Origin), wordAt(a.word(0), Origin + 2))));
}

template <Word Origin> void setEdge(native::Context& cx) {   // the far edge sets the extent
  Args a(cx, 2);
  const VMAddr ref = a.word(0);
  setWordAt(ref, Origin + 2, native::nonNegative(minus(a.integer(1), wordAt(ref, Origin))));
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "clear", native::clearValue<4>, "ref ->", "none"},
    {2, "copy", native::copyValue<4>, "ref, ref ->", "none"},
    {3, "set", setFromArgs<X, 4>, "ref, position, size ->", "none"},
    {4, "position", getPair<X>, "ref -> position", "none"},
    {5, "size", getPair<Width>, "ref -> size", "none"},
    {6, "x", native::getWord<X>, "ref -> int", "none"},
    {7, "y", native::getWord<Y>, "ref -> int", "none"},
    {8, "width", native::getWord<Width>, "ref -> int", "none"},
    {9, "height", native::getWord<Height>, "ref -> int", "none"},
    {10, "right", farEdge<X>, "ref -> int", "none"},
    {11, "bottom", farEdge<Y>, "ref -> int", "none"},
    {12, "setPosition", setFromArgs<X, 2>, "ref, position ->", "none"},
    {13, "setSize", setFromArgs<Width, 2>, "ref, size ->", "none"},
    {14, "setX", native::setWord<X, false>, "ref, int ->", "none"},
    {15, "setY", native::setWord<Y, false>, "ref, int ->", "none"},
    {16, "setWidth", native::setWord<Width, true>, "ref, int ->", "6 \"Negative value\""},
    {17, "setHeight", native::setWord<Height, true>, "ref, int ->", "6 \"Negative value\""},
    {18, "setRight", setEdge<X>, "ref, int ->", "6 \"Negative value\""},
    {19, "setBottom", setEdge<Y>, "ref, int ->", "6 \"Negative value\""},
    {20, "equals", native::compareValues<4, true>, "rect, rect -> 1|0", "none"},
    {21, "differs", native::compareValues<4, false>, "rect, rect -> 1|0", "none"},
};

}  // namespace

NATIVE_OPERATIONS(rectangleOperations, kRows);
