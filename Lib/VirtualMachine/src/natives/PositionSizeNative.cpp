// Position (16) and Size (15) groups: one operation set over a pair of
// words; sizes refuse negative components.
#include "NativeGroups.h"
#include "ValueWords.h"

using native::Args;

namespace {

void pairNative(VMState& state, TInt32 op, const char* prefix, bool isSize) {
  auto checked = [isSize](TInt32 v) { return isSize ? native::nonNegative(v) : v; };
  switch (op) {
    case 1: return native::clearValue(state, 2);
    case 2: return native::copyValue(state, 2);
    case 3: {
      Args a(state, 3);
      const TInt32 first = checked(a.integer(1)), second = checked(a.integer(2));
      native::setWordAt(a.word(0), 0, first);
      native::setWordAt(a.word(0), 1, second);
      return a.noResult();
    }
    case 4: case 5: return native::getWord(state, op - 4);
    case 6: case 7: return native::setWord(state, op - 6, isSize);
    case 8: case 9: return native::compareValues(state, 2, op == 8);
    default: native::unknownOperation(prefix, op);
  }
}

}  // namespace

void positionNative(VMState& state, TInt32 op) { pairNative(state, op, "Position: ", false); }
void sizeNative(VMState& state, TInt32 op) { pairNative(state, op, "Size: ", true); }
