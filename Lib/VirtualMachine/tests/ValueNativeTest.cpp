// Value-type groups (Position, Size, Rectangle, Range, Color, Char,
// KeyEvent) on a machine state, and the shared range check's messages.
#include "KeyEvent.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "NumericTestSupport.h"
#include "RangeCheck.h"

namespace {

class ValueNativeTest : public NativeGroupTest {
 protected:
  // Storage for a value of n words in slots 0 .. n-1, arguments above it.
  VMAddr local(std::initializer_list<TUint32> words) {
    state->sp = -1;
    push(words);
    return slot(0);
  }
  TInt32 at(VMAddr value, TInt32 i) const { return static_cast<TInt32>(word(value + 4u * i)); }
  QString topString() { return text(native::stringAt(top())); }
};

QString rangeError(TInt32 base, TInt32 size, TInt32 first, TInt32 count) {
  return EXPECT_RAISES(ERR_RANGE, checkRange(base, size, first, count));
}

}  // namespace

TEST_F(ValueNativeTest, PositionAndSizeShareOneOperationSet) {
  const VMAddr p = local({0, 0});
  push({p, static_cast<TUint32>(-3), 4});
  positionNative(*state, 3);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(at(p, 0), -3);
  push(p);
  positionNative(*state, 5);
  EXPECT_EQ(sp(), 2);
  EXPECT_EQ(top(), 4u);

  const VMAddr s = local({1, 1});
  push({s, static_cast<TUint32>(-3), 4});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, sizeNative(*state, 3));
  EXPECT_EQ(at(s, 0), 1);   // nothing stored
  state->sp = 1;
  push({s, static_cast<TUint32>(-1)});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, sizeNative(*state, 7));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, sizeNative(*state, 10)), "VMException: Size: 10");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, positionNative(*state, 0)), "VMException: Position: 0");
}

TEST_F(ValueNativeTest, EqualityComparesWholeValuesBySlots) {
  state->sp = -1;
  push({1, 2, 1, 2});
  positionNative(*state, 8);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), 1u);
  state->sp = -1;
  push({1, 2, 3, 4, 1, 2, 3, 5});
  rectangleNative(*state, 21);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), 1u);
  state->sp = -1;
  push({0xFF00FF00u, 0xFF00FF00u});
  colorNative(*state, 12);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), 1u);
}

TEST_F(ValueNativeTest, RectangleEdgesAndParts) {
  const VMAddr r = local({10, 20, 0, 0});
  push({r, 10});
  rectangleNative(*state, 18);   // right == x: width 0
  EXPECT_EQ(sp(), 3);
  EXPECT_EQ(at(r, 2), 0);
  push({r, 9});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, rectangleNative(*state, 18));
  state->sp = 3;
  push({r, 25});
  rectangleNative(*state, 19);
  EXPECT_EQ(at(r, 3), 5);
  push({r, 1, 2, static_cast<TUint32>(-3), 4});
  rectangleNative(*state, 3);   // no sign check when set as a whole
  EXPECT_EQ(sp(), 3);
  EXPECT_EQ(at(r, 2), -3);
  push(r);
  rectangleNative(*state, 5);   // size: two slots
  EXPECT_EQ(sp(), 5);
  EXPECT_EQ(top(1), static_cast<TUint32>(-3));
  EXPECT_EQ(top(), 4u);
  state->sp = 3;
  push(r);
  rectangleNative(*state, 11);
  EXPECT_EQ(top(), 6u);
}

TEST_F(ValueNativeTest, RangeStoresFirstAndCount) {
  const VMAddr r = local({9, 9});
  push({r, 2, 5});
  rangeNative(*state, 3);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(at(r, 0), 2);
  EXPECT_EQ(at(r, 1), 4);
  push({r, 5, 2});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, rangeNative(*state, 3));
  state->sp = 1;
  push({r, 7});
  rangeNative(*state, 11);
  EXPECT_EQ(at(r, 0), 7);
  EXPECT_EQ(at(r, 1), -1);
  push({r, static_cast<TUint32>(-1)});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, rangeNative(*state, 12));
  state->sp = 1;
  push(r);
  rangeNative(*state, 1);
  EXPECT_EQ(at(r, 0) | at(r, 1), 0);
}

TEST_F(ValueNativeTest, ColourComponents) {
  const VMAddr c = local({0});
  push({c, 255, 0, 0, 255});
  colorNative(*state, 3);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(word(c), 0xFFFF0000u);
  colorNative(*state, 14);   // pushes red
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(top(), word(c));
  state->sp = 0;
  push({c, 256, 0, 0, 255});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, colorNative(*state, 3));
  state->sp = 0;
  push({c, 0x80});
  colorNative(*state, 9);   // green
  EXPECT_EQ(word(c), 0xFFFF8000u);
  push(c);
  colorNative(*state, 7);   // alpha
  EXPECT_EQ(top(), 0xFFu);
  colorNative(*state, 24);
  EXPECT_EQ(top(), 0xFFFF7F00u);   // orange, the last constant
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, colorNative(*state, 25)), "VMException: Color: 25");
}

TEST_F(ValueNativeTest, CharOperations) {
  push({7, 'A'});
  charNative(*state, 1);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), static_cast<TUint32>('a'));
  push(0xFFFFFFFFu);
  charNative(*state, 9);
  EXPECT_EQ(top(), 65535u);
  push(0x00E9);   // e acute
  charNative(*state, 4);
  EXPECT_EQ(top(), 0x00C9u);
  charNative(*state, 5);
  EXPECT_EQ(top(), 1u);
  push(' ');
  charNative(*state, 7);
  EXPECT_EQ(top(), 1u);
  push('x');
  charNative(*state, 8);
  EXPECT_EQ(sp(), 4);
  EXPECT_EQ(topString(), "x");
}

TEST_F(ValueNativeTest, KeyEventFields) {
  const TUint32 event = Nerim::KeyEvent::newInHeap(heap(), 13, 36, 4, NString("Enter"));
  for (auto [op, expected] : {std::pair<TInt32, TUint32>{1, 13}, {2, 4}, {3, 36}}) {
    state->sp = -1;
    push(event);
    keyEventNative(*state, op);
    EXPECT_EQ(sp(), 0);
    EXPECT_EQ(top(), expected);
  }
  state->sp = -1;
  push(event);
  keyEventNative(*state, 4);
  EXPECT_EQ(topString(), "Enter");
  native::stringAt(top()).append('!');   // a copy: the event keeps its text
  EXPECT_EQ(text(native::objectAt<Nerim::KeyEvent>(event).text()), "Enter");
  push(0);
  EXPECT_RAISES(ERR_NULL_POINTER, keyEventNative(*state, 1));
  // A cell that holds some other kind of block is refused.
  push(native::newStringFrom(heap(), NString("k")));
  EXPECT_RAISES(ERR_RUNTIME, keyEventNative(*state, 1));
}

TEST(RangeCheckTest, ClosesOpenRanges) {
  TInt32 first = 4, count = -1;
  checkRange(0, 10, first, count);
  EXPECT_EQ(count, 6);
  first = 10, count = -1;
  checkRange(0, 10, first, count);
  EXPECT_EQ(count, 0);
  first = 3, count = 0;
  checkRange(5, 1, first, count);   // empty ranges only need first >= 0
  EXPECT_EQ(count, 0);
}

TEST(RangeCheckTest, MessagesAreExact) {
  EXPECT_EQ(rangeError(0, 10, -1, 0), "RangeException: Invalid Range, first should be non-negative (first=-1)");
  EXPECT_EQ(rangeError(0, 10, 11, -1), "RangeException: Invalid Range, first should not be more than 10, first = 11");
  EXPECT_EQ(rangeError(2, 10, 1, -1), "RangeException: Invalid Range, first should not be less than 2, first = 1");
  EXPECT_EQ(rangeError(2, 10, 1, 3), "RangeException: Invalid Range, first should not be less than2, first =  1");
  EXPECT_EQ(rangeError(0, 10, 8, 3), "RangeException: Invalid Range, range out of bounds: 11 > 10");
  EXPECT_EQ(rangeError(0, 10, 0x7FFFFFFF, 1), "RangeException: Invalid Range, range out of bounds: 2147483648 > 10");
}
