// Value-type groups (Position, Size, Rectangle, Range, Color, Char,
// KeyEvent) on a machine state, and the shared range check's messages.
// A value passed by reference lives in the lowest slots, its arguments
// above it, so the slot address is the reference.
#include "KeyEvent.h"
#include "NString.h"
#include "NativeTestSupport.h"
#include "NativeHelpers.h"

namespace {

class ValueNativeTest : public NativeGroupTest {
 protected:
  TInt32 at(TInt32 i) const { return static_cast<TInt32>(state->stack[i]); }
  static TUint32 neg(TInt32 v) { return static_cast<TUint32>(v); }
};

QString rangeError(TInt32 base, TInt32 size, TInt32 first, TInt32 count) {
  return EXPECT_RAISES(ERR_RANGE, native::checkRange(base, size, first, count));
}

}  // namespace

TEST_F(ValueNativeTest, PositionAndSizeShareOneOperationSet) {
  call("Position", "set", {0, 0, slot(0), neg(-3), 4});
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(at(0), -3);
  EXPECT_EQ(call("Position", "y", {7, 4, slot(0)}), 4u);
  EXPECT_EQ(sp(), 2);

  // Sizes refuse a negative part and store nothing.
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Size", "set", {1, 1, slot(0), neg(-3), 4}));
  EXPECT_EQ(at(0), 1);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Size", "setHeight", {1, 1, slot(0), neg(-1)}));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Size", 10, {})), "VMException: Size: 10");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Position", 0, {})), "VMException: Position: 0");
}

TEST_F(ValueNativeTest, EqualityComparesWholeValuesBySlots) {
  EXPECT_EQ(call("Position", "equals", {1, 2, 1, 2}), 1u);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(call("Rectangle", "differs", {1, 2, 3, 4, 1, 2, 3, 5}), 1u);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(call("Color", "equals", {0xFF00FF00u, 0xFF00FF00u}), 1u);
  EXPECT_EQ(sp(), 0);
}

TEST_F(ValueNativeTest, RectangleEdgesAndParts) {
  call("Rectangle", "setRight", {10, 20, 7, 0, slot(0), 10});   // right == x: width 0
  EXPECT_EQ(sp(), 3);
  EXPECT_EQ(at(2), 0);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Rectangle", "setRight", {10, 20, 7, 0, slot(0), 9}));
  EXPECT_EQ(at(2), 7);
  call("Rectangle", "setBottom", {10, 20, 0, 0, slot(0), 25});
  EXPECT_EQ(at(3), 5);
  call("Rectangle", "set", {0, 0, 0, 0, slot(0), 1, 2, neg(-3), 4});   // no sign check as a whole
  EXPECT_EQ(at(2), -3);
  call("Rectangle", "size", {1, 2, 3, 4, slot(0)});   // the size: two slots
  EXPECT_EQ(sp(), 5);
  EXPECT_EQ(top(1), 3u);
  EXPECT_EQ(top(), 4u);
  EXPECT_EQ(call("Rectangle", "bottom", {1, 2, 3, 4, slot(0)}), 6u);
}

TEST_F(ValueNativeTest, RangeStoresFirstAndCount) {
  call("Range", "setFirstLast", {9, 9, slot(0), 2, 5});
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(at(0), 2);
  EXPECT_EQ(at(1), 4);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Range", "setFirstLast", {9, 9, slot(0), 5, 2}));
  call("Range", "setOpen", {9, 9, slot(0), 7});
  EXPECT_EQ(at(0), 7);
  EXPECT_EQ(at(1), -1);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Range", "setOpenToo", {9, 9, slot(0), neg(-1)}));
}

TEST_F(ValueNativeTest, ColourComponents) {
  call("Color", "set", {0, slot(0), 255, 0, 0, 255});
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), 0xFFFF0000u);
  run("Color", "red");   // pushes red
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(top(), top(1));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Color", "set", {0, slot(0), 256, 0, 0, 255}));
  call("Color", "setGreen", {0xFFFF0000u, slot(0), 0x80});   // green
  EXPECT_EQ(top(), 0xFFFF8000u);
  EXPECT_EQ(call("Color", "getAlpha", {0x12345678u, slot(0)}), 0x12u);   // alpha
  EXPECT_EQ(call("Color", "orange", {}), 0xFFFF7F00u);   // orange, the last constant
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Color", 25, {})), "VMException: Color: 25");
}

TEST_F(ValueNativeTest, CharOperations) {
  EXPECT_EQ(call("Char", "toLower", {7, 'A'}), static_cast<TUint32>('a'));
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(call("Char", "code", {0xFFFFFFFFu}), 65535u);
  EXPECT_EQ(call("Char", "charToUpper", {0xE9}), 0xC9u);   // e acute
  EXPECT_EQ(call("Char", "isSpace", {' '}), 1u);
  call("Char", "toString", {'x'});
  EXPECT_EQ(topString(), "x");
}

TEST_F(ValueNativeTest, KeyEventFields) {
  const TUint32 event = Nerim::KeyEvent::newInHeap(heap(), 13, 36, 4, NString("Enter"));
  EXPECT_EQ(call("KeyEvent", "keyCode", {event}), 13u);
  EXPECT_EQ(call("KeyEvent", "modifiers", {event}), 4u);
  EXPECT_EQ(call("KeyEvent", "scanCode", {event}), 36u);
  call("KeyEvent", "text", {event});
  EXPECT_EQ(topString(), "Enter");
  native::stringAt(top()).append('!');   // a copy: the event keeps its text
  EXPECT_EQ(text(native::objectAt<Nerim::KeyEvent>(event).text()), "Enter");
  EXPECT_RAISES(ERR_NULL_POINTER, call("KeyEvent", "keyCode", {0}));
  // A cell that holds some other kind of block is refused.
  EXPECT_RAISES(ERR_RUNTIME, call("KeyEvent", "keyCode", {native::newStringFrom(heap(), NString("k"))}));
}

TEST(RangeCheckTest, ClosesOpenRanges) {
  TInt32 first = 4, count = -1;
  native::checkRange(0, 10, first, count);
  EXPECT_EQ(count, 6);
  first = 10, count = -1;
  native::checkRange(0, 10, first, count);
  EXPECT_EQ(count, 0);
  first = 3, count = 0;
  native::checkRange(5, 1, first, count);   // empty ranges only need first >= 0
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
