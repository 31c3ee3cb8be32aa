// Color group (13): 0xAARRGGBB words, their components and the named colours.
#include "NativeGroups.h"
#include "ValueWords.h"

using native::Args;

namespace {

// Pushed by operations 14..24, in this order.
const TUint32 kNamedColours[] = {
    0xFFFF0000u,   // red
    0xFF00FF00u,   // green
    0xFF0000FFu,   // blue
    0xFF000000u,   // black
    0xFFFFFFFFu,   // white
    0xFF00FFFFu,   // cyan
    0xFFFF00FFu,   // magenta
    0xFFFFFF00u,   // yellow
    0xFF808080u,   // gray
    0xFF964B00u,   // brown
    0xFFFF7F00u,   // orange
};

// Bit positions of red, green, blue and alpha.
const TUint32 kShift[] = {16, 8, 0, 24};

TUint32 component(TInt32 v) {
  if (static_cast<TUint32>(v) >= 256u) raise(ERR_INVALID_ARGUMENT, "Invalid colour component");
  return static_cast<TUint32>(v);
}

}  // namespace

void colorNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: {
      Args a(state, 1);
      native::store(a.word(0), 0xFFFFFFFFu);
      return a.noResult();
    }
    case 2: return native::copyValue(state, 1);
    case 3: {   // red, green, blue, alpha
      Args a(state, 5);
      TUint32 c = 0;
      for (TInt32 i = 0; i < 4; ++i) c |= component(a.integer(1 + i)) << kShift[i];
      native::store(a.word(0), c);
      return a.noResult();
    }
    case 4: case 5: case 6: case 7: {
      Args a(state, 1);
      return a.result((native::load(a.word(0)) >> kShift[op - 4]) & 0xFFu);
    }
    case 8: case 9: case 10: case 11: {
      Args a(state, 2);
      const TUint32 shift = kShift[op - 8];
      const TUint32 v = component(a.integer(1));
      const VMAddr ref = a.word(0);
      native::store(ref, (native::load(ref) & ~(0xFFu << shift)) | (v << shift));
      return a.noResult();
    }
    case 12: case 13: return native::compareValues(state, 1, op == 12);
    default:
      if (op >= 14 && op <= 24) return native::pushResult(state, kNamedColours[op - 14]);
      native::unknownOperation("Color: ", op);
  }
}
