// Fixed, Math, Long, Float and Number groups on a real machine state: the
// slot conventions (two-slot fixed values, results in the first argument's
// slot, popping) and the group-level rules around the arithmetic cores.
#include "Heap.h"
#include "NRaw.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "NumericTestSupport.h"
#include "RandomGenerator.h"

#include <cmath>
#include <cstring>
#include <set>

namespace {

class NumericNativeTest : public NativeGroupTest {
 protected:
  void pushFixed(NFixed v) { push({v.low(), v.high()}); }
  void pushFixed(double d) { pushFixed(NRaw::fromDouble(d)); }
  NFixed topFixed() const { return NFixed::fromParts(top(1), top(0)); }
  double topDouble() const { return NRaw::toDouble(topFixed()); }
  TInt32 topInt() const { return static_cast<TInt32>(top()); }
  QString topString() { return text(native::stringAt(top())); }
  TUint32 stringCell(const char* s) { return native::newStringFrom(heap(), NString(s)); }

  VMAddr newLong(TInt64 v) {
    const VMAddr block = heap().allocate(8, 0, GC_CODE_LEAF);
    std::memcpy(vmPtr(block), &v, 8);
    return block;
  }
  TInt64 longAt(VMAddr block) const {
    TInt64 v;
    std::memcpy(&v, vmPtr(block), 8);
    return v;
  }
  // Long binary operation on fresh blocks; the result block's value.
  TInt64 longOp(TInt32 op, TInt64 a, TInt64 b) {
    state->sp = -1;
    push({newLong(a), newLong(b)});
    longNative(*state, op);
    EXPECT_EQ(sp(), 0);
    return longAt(top());
  }

  TUint32 bitsOf(float f) {
    TUint32 b;
    std::memcpy(&b, &f, 4);
    return b;
  }
  float topFloat() const {
    float f;
    const TUint32 b = top();
    std::memcpy(&f, &b, 4);
    return f;
  }

  void math(TInt32 op) { mathNative(*state, op, generator); }
  TUint8 generator[random_state::kBytes];
};

}  // namespace

TEST_F(NumericNativeTest, FixedBinaryTakesFourSlotsAndLeavesTwo) {
  push(77);   // a slot below the arguments stays
  pushFixed(NFixed::MAX());
  pushFixed(NFixed::ONE());
  fixedNative(*state, 7);
  EXPECT_EQ(sp(), 2);
  EXPECT_EQ(topFixed(), NFixed::MAX());
  EXPECT_EQ(state->stack[0], 77u);

  pushFixed(NFixed::MAX());
  pushFixed(-2.0);
  fixedNative(*state, 9);
  EXPECT_EQ(topFixed(), NFixed::MIN());

  pushFixed(1.0);
  pushFixed(0.0);
  EXPECT_RAISES(ERR_MATH, fixedNative(*state, 10));
}

TEST_F(NumericNativeTest, FixedInPlaceFormsWriteThroughTheReference) {
  pushFixed(2.5);   // slots 0, 1: the variable
  push(slot(0));
  pushFixed(4.0);
  fixedNative(*state, 14);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(topDouble(), 10.0);
  push(slot(0));
  fixedNative(*state, 17);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(topDouble(), 9.0);
  push(slot(0));
  pushFixed(0.0);
  EXPECT_RAISES(ERR_MATH, fixedNative(*state, 15));

  state->sp = 1;
  push(slot(0));
  fixedNative(*state, 31);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(topFixed(), NFixed());
  push(0);
  EXPECT_EQ(EXPECT_RAISES(ERR_NULL_POINTER, fixedNative(*state, 31)), "NullPointerException: NULL pointer");
}

TEST_F(NumericNativeTest, FixedConversions) {
  push(0x1FF);   // the low byte is -1
  fixedNative(*state, 2);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(topFixed(), NFixed::whole(-1));

  state->sp = -1;
  push(stringCell("  -1.5"));
  fixedNative(*state, 4);
  EXPECT_EQ(topDouble(), -1.5);
  fixedNative(*state, 26);   // round the value just parsed
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(topInt(), -2);

  state->sp = -1;
  push(stringCell("x"));
  EXPECT_RAISES(ERR_DATA_FORMAT, fixedNative(*state, 4));

  state->sp = -1;
  fixedNative(*state, 29);
  fixedNative(*state, 30);
  EXPECT_EQ(sp(), 3);
  EXPECT_EQ(topFixed(), NFixed::MAX());
  fixedNative(*state, 20);   // MIN < MAX
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), 1u);
}

TEST_F(NumericNativeTest, FixedTextFromAReference) {
  pushFixed(NRaw::parse(NString("0.999")));
  push({slot(0), 2});
  fixedNative(*state, 24);
  EXPECT_EQ(sp(), 2);
  EXPECT_EQ(topString(), "1.00");
  push(slot(0));
  fixedNative(*state, 25);
  EXPECT_EQ(topString().left(5), "0.998");
  push({slot(0), static_cast<TUint32>(-2)});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, fixedNative(*state, 24));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, fixedNative(*state, 0)), "VMException: Fixed: 0");
}

TEST_F(NumericNativeTest, GeneratorSeedsAndTempersWithThreeSteps) {
  random_state::seed(generator, 0x80000000u);
  EXPECT_EQ(random_state::draw(generator), 0x81102044u);
  random_state::seed(generator, 12345);
  EXPECT_EQ(random_state::draw(generator), 0x303Fu);
  for (int i = 1; i < 623; ++i) random_state::draw(generator);
  EXPECT_EQ(random_state::draw(generator), 0x48028DAEu);
  // The 625th draw comes from the regenerated state.
  EXPECT_EQ(random_state::draw(generator), 0xF1BEBDE7u);
  EXPECT_EQ(random_state::draw(generator), 0xE17C2E48u);
}

TEST_F(NumericNativeTest, MathRandomIntegersCoverTheOrderedRange) {
  random_state::seed(generator, 99);
  std::set<TInt32> seen;
  for (int i = 0; i < 300; ++i) {
    push({5, 1});
    math(12);
    ASSERT_EQ(sp(), 0);
    seen.insert(topInt());
    state->sp = -1;
  }
  EXPECT_EQ(seen, (std::set<TInt32>{1, 2, 3, 4, 5}));
  // The width of the full range does not fit 32 bits.
  push({0x7FFFFFFFu, 0x80000000u});
  math(12);
  EXPECT_EQ(sp(), 0);
}

TEST_F(NumericNativeTest, MathRandomFixedStaysInsideItsInterval) {
  random_state::seed(generator, 7);
  for (auto [lo, hi] : {std::pair<NFixed, NFixed>{NFixed::whole(3), NFixed::whole(-2)},
                        {NFixed::MIN(), NFixed::MAX()}, {NFixed::whole(1), NFixed::whole(1)}}) {
    for (int i = 0; i < 50; ++i) {
      state->sp = -1;
      pushFixed(lo);
      pushFixed(hi);
      math(13);
      ASSERT_EQ(sp(), 1);
      EXPECT_GE(topFixed(), std::min(lo, hi));
      EXPECT_LE(topFixed(), std::max(lo, hi));
    }
  }
}

TEST_F(NumericNativeTest, MathFunctionsAndTheirDomains) {
  math(21);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(topFixed(), NFixed::PI());
  math(1);   // sine of PI
  EXPECT_NEAR(topDouble(), 0.0, 1e-8);

  state->sp = -1;
  pushFixed(8.0);
  pushFixed(2.0);
  math(10);
  EXPECT_EQ(sp(), 1);
  EXPECT_NEAR(topDouble(), 3.0, 1e-9);
  for (double base : {0.0, 1.0, -1.0}) {
    state->sp = -1;
    pushFixed(8.0);
    pushFixed(base);
    EXPECT_RAISES(ERR_MATH, math(10));
  }
  state->sp = -1;
  pushFixed(-1.0);
  EXPECT_RAISES(ERR_MATH, math(9));
  state->sp = -1;
  pushFixed(0.0);
  EXPECT_RAISES(ERR_MATH, math(11));
  state->sp = -1;
  pushFixed(2.0);
  EXPECT_RAISES(ERR_MATH, math(4));   // asin outside [-1, 1] is NaN
}

TEST_F(NumericNativeTest, MathAngleConversionLimits) {
  pushFixed(180.0);
  math(8);
  EXPECT_NEAR(topDouble(), M_PI, 1e-7);
  state->sp = -1;
  pushFixed(360.5);
  EXPECT_RAISES(ERR_MATH, math(8));

  const NFixed twoPi(NFixed::PI().raw * 2);
  state->sp = -1;
  pushFixed(NFixed(-(twoPi.raw + 0x100)));   // low-bit noise on a full turn
  math(7);
  EXPECT_NEAR(topDouble(), -360.0, 1e-4);
  state->sp = -1;
  pushFixed(NFixed(twoPi.raw + 0x10000));
  EXPECT_RAISES(ERR_MATH, math(7));
}

TEST_F(NumericNativeTest, MathMinimaMaximaAndConstants) {
  push({0x80, 5});   // bytes: -128 and 5
  math(14);
  EXPECT_EQ(topInt(), -128);
  state->sp = -1;
  push({0x80, 5});
  math(17);
  EXPECT_EQ(topInt(), 5);
  state->sp = -1;
  pushFixed(-0.5);
  pushFixed(0.25);
  math(19);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(topDouble(), 0.25);
  math(22);
  EXPECT_EQ(sp(), 3);
  EXPECT_EQ(topFixed(), NFixed::EPSILON());
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, math(23)), "VMException: Math: 23");
}

TEST_F(NumericNativeTest, LongArithmeticWraps) {
  const TInt64 kMin = std::numeric_limits<TInt64>::min();
  EXPECT_EQ(longOp(5, std::numeric_limits<TInt64>::max(), 1), kMin);
  EXPECT_EQ(longOp(7, 0x100000000ll, 0x100000000ll), 0);
  EXPECT_EQ(longOp(8, kMin, -1), kMin);
  EXPECT_EQ(longOp(8, -7, 2), -3);
  EXPECT_EQ(longOp(9, -7, 2), -1);
  EXPECT_EQ(longOp(9, kMin, -1), 0);
  EXPECT_EQ(longOp(27, 1, 63), kMin);
  EXPECT_EQ(longOp(27, 1, 64), 0);
  EXPECT_EQ(longOp(28, -8, 0x140), -1);   // low byte 64: the sign fills
  EXPECT_EQ(longOp(28, -8, 0x101), -4);   // low byte 1
  EXPECT_EQ(longOp(26, 0xF0, 0xFF), 0x0F);
}

TEST_F(NumericNativeTest, LongDivisionByZeroAndTheReservedOperation) {
  push({newLong(1), newLong(0)});
  EXPECT_EQ(EXPECT_RAISES(ERR_DIVISION_BY_ZERO, longNative(*state, 8)), "DivisionByZeroException: Division by zero.");
  push({newLong(1), newLong(0)});
  EXPECT_RAISES(ERR_DIVISION_BY_ZERO, longNative(*state, 17));
  EXPECT_EQ(EXPECT_RAISES(ERR_RUNTIME, longNative(*state, 4)), "RuntimeException: Reserved native operation");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, longNative(*state, 39)), "VMException: Long: 39");
  state->sp = -1;
  push({0, newLong(1)});
  EXPECT_RAISES(ERR_NULL_POINTER, longNative(*state, 5));
}

TEST_F(NumericNativeTest, LongAssignFormsAndConversions) {
  const VMAddr a = newLong(10);
  push({a, newLong(3)});
  longNative(*state, 16);   // a /= 3
  EXPECT_EQ(sp(), -1);
  EXPECT_EQ(longAt(a), 3);
  push(a);
  longNative(*state, 12);
  EXPECT_EQ(longAt(a), 2);
  longNative(*state, 35);   // no arguments, nothing happens
  EXPECT_EQ(sp(), -1);

  push(static_cast<TUint32>(-5));
  longNative(*state, 38);
  EXPECT_EQ(longAt(top()), -5);
  longNative(*state, 34);
  EXPECT_EQ(topString(), "-5");
  state->sp = -1;
  push(newLong(0x123456789ll));
  longNative(*state, 37);
  EXPECT_EQ(top(), 0x23456789u);
  state->sp = -1;
  push({newLong(2), newLong(3)});
  longNative(*state, 22);   // 2 > 3
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), 0u);
}

TEST_F(NumericNativeTest, FloatOperations) {
  pushFixed(1.5);
  floatNative(*state, 0);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(topFloat(), 1.5f);
  push(bitsOf(0.0f));
  floatNative(*state, 4);
  EXPECT_EQ(sp(), 0);
  EXPECT_TRUE(std::isinf(topFloat()));

  state->sp = -1;
  push(bitsOf(2.0f));   // slot 0, the variable
  push({slot(0), bitsOf(0.25f)});
  floatNative(*state, 8);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(topFloat(), 0.5f);

  push(bitsOf(1.0f / 3.0f));
  floatNative(*state, 10);
  EXPECT_EQ(topString(), "0.333333");
  state->sp = -1;
  push({bitsOf(1.0f), bitsOf(2.0f)});
  floatNative(*state, 13);
  EXPECT_EQ(top(), 1u);
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, floatNative(*state, 17)), "VMException: Float: 17");
}

TEST_F(NumericNativeTest, NumberGroup) {
  push(0x105);   // byte 5: the slot comes back untouched
  numberNative(*state, 1);
  EXPECT_EQ(top(), 0x105u);
  state->sp = -1;
  push(0x1FE);   // byte -2
  numberNative(*state, 1);
  EXPECT_EQ(top(), 2u);
  state->sp = -1;
  push(0x80000000u);
  numberNative(*state, 2);
  EXPECT_EQ(top(), 0x7FFFFFFFu);
  state->sp = -1;
  push({0xFFFFFFFFu, 16});
  numberNative(*state, 3);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(topString(), "ffffffff");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, numberNative(*state, 4)), "VMException: Number: 4");
}
