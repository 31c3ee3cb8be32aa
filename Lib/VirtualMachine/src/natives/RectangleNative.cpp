// Rectangle group (17): four words x, y, width, height.
#include "NativeGroups.h"
#include "ValueWords.h"

using native::Args;
using native::setWordAt;
using native::wordAt;

namespace {

enum Word { X = 0, Y = 1, Width = 2, Height = 3 };

TInt32 plus(TInt32 a, TInt32 b) { return static_cast<TInt32>(static_cast<TUint32>(a) + static_cast<TUint32>(b)); }
TInt32 minus(TInt32 a, TInt32 b) { return static_cast<TInt32>(static_cast<TUint32>(a) - static_cast<TUint32>(b)); }

// Sets `count` consecutive words from `word` on from the arguments after ref.
void setFromArgs(VMState& state, TInt32 word, TInt32 count) {
  Args a(state, 1 + count);
  for (TInt32 i = 0; i < count; ++i) setWordAt(a.word(0), word + i, a.integer(1 + i));
  a.noResult();
}

void getPair(VMState& state, TInt32 word) {
  Args a(state, 1);
  const VMAddr ref = a.word(0);
  a.result2(static_cast<TUint32>(wordAt(ref, word)), static_cast<TUint32>(wordAt(ref, word + 1)));
}

void setEdge(VMState& state, TInt32 origin) {   // 18, 19: the far edge sets the extent
  Args a(state, 2);
  const VMAddr ref = a.word(0);
  setWordAt(ref, origin + 2, native::nonNegative(minus(a.integer(1), wordAt(ref, origin))));
  a.noResult();
}

}  // namespace

void rectangleNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: return native::clearValue(state, 4);
    case 2: return native::copyValue(state, 4);
    case 3: return setFromArgs(state, X, 4);
    case 4: return getPair(state, X);
    case 5: return getPair(state, Width);
    case 6: return native::getWord(state, X);
    case 7: return native::getWord(state, Y);
    case 8: return native::getWord(state, Width);
    case 9: return native::getWord(state, Height);
    case 10:
    case 11: {
      Args a(state, 1);
      const TInt32 origin = op == 10 ? X : Y;
      return a.result(static_cast<TUint32>(plus(wordAt(a.word(0), origin), wordAt(a.word(0), origin + 2))));
    }
    case 12: return setFromArgs(state, X, 2);
    case 13: return setFromArgs(state, Width, 2);
    case 14: return native::setWord(state, X, false);
    case 15: return native::setWord(state, Y, false);
    case 16: return native::setWord(state, Width, true);
    case 17: return native::setWord(state, Height, true);
    case 18: return setEdge(state, X);
    case 19: return setEdge(state, Y);
    case 20: case 21: return native::compareValues(state, 4, op == 20);
    default: native::unknownOperation("Rectangle: ", op);
  }
}
