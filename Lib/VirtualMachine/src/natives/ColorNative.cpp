// Color group (13): 0xAARRGGBB words, their components and the named colours.
#include "NativeHelpers.h"

using native::Args;

namespace {

// Bit positions of the components.
enum Shift : TUint32 { RED = 16, GREEN = 8, BLUE = 0, ALPHA = 24 };
const TUint32 kShift[] = {RED, GREEN, BLUE, ALPHA};

TUint32 component(TInt32 v) {
  if (static_cast<TUint32>(v) >= 256u) raise(ERR_INVALID_ARGUMENT, "Invalid colour component");
  return static_cast<TUint32>(v);
}

void white(native::Context& cx) {
  Args a(cx, 1);
  native::store(a.word(0), 0xFFFFFFFFu);
  a.noResult();
}

void set(native::Context& cx) {   // ref, red, green, blue, alpha
  Args a(cx, 5);
  TUint32 c = 0;
  for (TInt32 i = 0; i < 4; ++i) c |= component(a.integer(1 + i)) << kShift[i];
  native::store(a.word(0), c);
  a.noResult();
}

template <Shift S> void get(native::Context& cx) {
  Args a(cx, 1);
  a.result((native::load(a.word(0)) >> S) & 0xFFu);
}

template <Shift S> void put(native::Context& cx) {
  Args a(cx, 2);
  const TUint32 v = component(a.integer(1));
  const VMAddr ref = a.word(0);
  native::store(ref, (native::load(ref) & ~(0xFFu << S)) | (v << S));
  a.noResult();
}

template <TUint32 Colour> void named(native::Context& cx) { native::pushResult(cx, Colour); }

const native::Operation kRows[] = {
    {1, "init", white, "ref ->", "none"},
    {2, "copy", native::copyValue<1>, "ref, ref ->", "none"},
    {3, "set", set, "ref, int, int, int, int ->", "6 \"Invalid colour component\""},
    {4, "getRed", get<RED>, "ref -> int", "none"},
    {5, "getGreen", get<GREEN>, "ref -> int", "none"},
    {6, "getBlue", get<BLUE>, "ref -> int", "none"},
    {7, "getAlpha", get<ALPHA>, "ref -> int", "none"},
    {8, "setRed", put<RED>, "ref, int ->", "6 \"Invalid colour component\""},
    {9, "setGreen", put<GREEN>, "ref, int ->", "6 \"Invalid colour component\""},
    {10, "setBlue", put<BLUE>, "ref, int ->", "6 \"Invalid colour component\""},
    {11, "setAlpha", put<ALPHA>, "ref, int ->", "6 \"Invalid colour component\""},
    {12, "equals", native::compareValues<1, true>, "colour, colour -> 1|0", "none"},
    {13, "differs", native::compareValues<1, false>, "colour, colour -> 1|0", "none"},
    {14, "red", named<0xFFFF0000u>, "-> colour", "none"},
    {15, "green", named<0xFF00FF00u>, "-> colour", "none"},
    {16, "blue", named<0xFF0000FFu>, "-> colour", "none"},
    {17, "black", named<0xFF000000u>, "-> colour", "none"},
    {18, "white", named<0xFFFFFFFFu>, "-> colour", "none"},
    {19, "cyan", named<0xFF00FFFFu>, "-> colour", "none"},
    {20, "magenta", named<0xFFFF00FFu>, "-> colour", "none"},
    {21, "yellow", named<0xFFFFFF00u>, "-> colour", "none"},
    {22, "gray", named<0xFF808080u>, "-> colour", "none"},
    {23, "brown", named<0xFF964B00u>, "-> colour", "none"},
    {24, "orange", named<0xFFFF7F00u>, "-> colour", "none"},
};

}  // namespace

NATIVE_OPERATIONS(colorOperations, kRows);
