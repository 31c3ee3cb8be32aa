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

void get(VMState& state, TInt32 word) {
  Args a(state, 1);
  a.result(static_cast<TUint32>(wordAt(a.word(0), word)));
}

void getPair(VMState& state, TInt32 word) {
  Args a(state, 1);
  const VMAddr ref = a.word(0);
  a.result2(static_cast<TUint32>(wordAt(ref, word)), static_cast<TUint32>(wordAt(ref, word + 1)));
}

void setExtent(VMState& state, TInt32 word) {   // 16, 17
  Args a(state, 2);
  setWordAt(a.word(0), word, native::nonNegative(a.integer(1)));
  a.noResult();
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
    case 1: {
      Args a(state, 1);
      native::clearWords(a.word(0), 4);
      return a.noResult();
    }
    case 2: {
      Args a(state, 2);
      native::copyWords(a.word(0), a.word(1), 4);
      return a.noResult();
    }
    case 3: return setFromArgs(state, X, 4);
    case 4: return getPair(state, X);
    case 5: return getPair(state, Width);
    case 6: return get(state, X);
    case 7: return get(state, Y);
    case 8: return get(state, Width);
    case 9: return get(state, Height);
    case 10:
    case 11: {
      Args a(state, 1);
      const TInt32 origin = op == 10 ? X : Y;
      return a.result(static_cast<TUint32>(plus(wordAt(a.word(0), origin), wordAt(a.word(0), origin + 2))));
    }
    case 12: return setFromArgs(state, X, 2);
    case 13: return setFromArgs(state, Width, 2);
    case 14: return setFromArgs(state, X, 1);
    case 15: return setFromArgs(state, Y, 1);
    case 16: return setExtent(state, Width);
    case 17: return setExtent(state, Height);
    case 18: return setEdge(state, X);
    case 19: return setEdge(state, Y);
    case 20: case 21: return native::compareValues(state, 4, op == 20);
    default: native::unknownOperation("Rectangle: ", op);
  }
}
