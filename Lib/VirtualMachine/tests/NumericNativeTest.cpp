// Fixed, Math, Long, Float and Number groups on a real machine state: the
// slot conventions (two-slot fixed values, results in the first argument's
// slot, popping) and the group-level rules around the arithmetic cores.
#include "NRaw.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeTestSupport.h"
#include "RandomGenerator.h"

#include <cmath>
#include <cstring>
#include <set>

namespace {

TUint8 gGenerator[random_state::kBytes];
void math(VMState& s, TInt32 op) { mathNative(s, op, gGenerator); }

TUint32 bits(float f) {
  TUint32 b;
  std::memcpy(&b, &f, 4);
  return b;
}

class NumericNativeTest : public NativeGroupTest {
 protected:
  NFixed fixedResult(Group g, TInt32 op, std::initializer_list<TUint32> args) {
    call(g, op, args);
    EXPECT_EQ(sp(), 1) << "a fixed result is two slots";
    return NFixed::fromParts(top(1), top(0));
  }
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
  TInt64 longOp(TInt32 op, TInt64 a, TInt64 b) {
    const VMAddr r = call(longNative, op, {newLong(a), newLong(b)});
    EXPECT_EQ(sp(), 0);
    return longAt(r);
  }
};

// Slots of a fixed value given as a double.
#define FX(d) NRaw::fromDouble(d).low(), NRaw::fromDouble(d).high()
#define FXV(v) (v).low(), (v).high()

}  // namespace

TEST_F(NumericNativeTest, FixedArithmeticOnSlots) {
  EXPECT_EQ(fixedResult(fixedNative, 7, {FXV(NFixed::MAX()), FX(1.0)}), NFixed::MAX());
  EXPECT_EQ(fixedResult(fixedNative, 9, {FXV(NFixed::MAX()), FX(-2.0)}), NFixed::MIN());
  EXPECT_EQ(fixedResult(fixedNative, 2, {0x1FF}), NFixed::whole(-1));   // the low byte
  EXPECT_EQ(fixedResult(fixedNative, 30, {}), NFixed::MAX());
  EXPECT_RAISES(ERR_MATH, call(fixedNative, 10, {FX(1.0), FX(0.0)}));

  // A slot below the arguments is left alone; comparisons leave one slot.
  EXPECT_EQ(call(fixedNative, 20, {77, FXV(NFixed::MIN()), FXV(NFixed::MAX())}), 1u);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(state->stack[0], 77u);
  EXPECT_EQ(call(fixedNative, 26, {FX(-1.5)}), static_cast<TUint32>(-2));
  EXPECT_EQ(sp(), 0);
}

TEST_F(NumericNativeTest, FixedReferencesAndText) {
  // Slots 0 and 1 hold the variable; its address is the argument.
  call(fixedNative, 14, {FX(2.5), slot(0), FX(4.0)});
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(NFixed::fromParts(top(1), top(0)), NFixed::whole(10));
  push(slot(0));
  fixedNative(*state, 17);
  EXPECT_EQ(NFixed::fromParts(top(1), top(0)), NFixed::whole(9));
  push({slot(0), 2});
  fixedNative(*state, 24);
  EXPECT_EQ(sp(), 2);
  EXPECT_EQ(topString(), "9.00");
  state->sp = 1;
  push(slot(0));
  fixedNative(*state, 31);
  EXPECT_EQ(NFixed::fromParts(top(1), top(0)), NFixed());
  EXPECT_EQ(EXPECT_RAISES(ERR_NULL_POINTER, call(fixedNative, 31, {0})), "NullPointerException: NULL pointer");

  EXPECT_EQ(fixedResult(fixedNative, 4, {native::newStringFrom(heap(), NString("  -1.5"))}), NRaw::fromDouble(-1.5));
  EXPECT_RAISES(ERR_DATA_FORMAT, call(fixedNative, 4, {native::newStringFrom(heap(), NString("x"))}));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call(fixedNative, 0, {})), "VMException: Fixed: 0");
  // References into a native object (here a string's) are refused.
  const VMAddr sealed = native::derefCell(native::newStringFrom(heap(), NString("s")));
  EXPECT_RAISES(ERR_RUNTIME, call(fixedNative, 1, {sealed}));
  EXPECT_RAISES(ERR_RUNTIME, call(longNative, 11, {sealed}));
}

TEST_F(NumericNativeTest, GeneratorSeedsAndTempersWithThreeSteps) {
  random_state::seed(gGenerator, 0x80000000u);
  EXPECT_EQ(random_state::draw(gGenerator), 0x81102044u);
  random_state::seed(gGenerator, 12345);
  EXPECT_EQ(random_state::draw(gGenerator), 0x303Fu);
  for (int i = 1; i < 623; ++i) random_state::draw(gGenerator);
  EXPECT_EQ(random_state::draw(gGenerator), 0x48028DAEu);
  // The 625th draw comes from the regenerated state.
  EXPECT_EQ(random_state::draw(gGenerator), 0xF1BEBDE7u);
  EXPECT_EQ(random_state::draw(gGenerator), 0xE17C2E48u);
}

TEST_F(NumericNativeTest, MathRandomValuesStayInTheirRanges) {
  random_state::seed(gGenerator, 99);
  std::set<TInt32> seen;
  for (int i = 0; i < 300; ++i) seen.insert(static_cast<TInt32>(call(math, 12, {5, 1})));
  EXPECT_EQ(seen, (std::set<TInt32>{1, 2, 3, 4, 5}));
  call(math, 12, {0x7FFFFFFFu, 0x80000000u});   // a width beyond 32 bits
  EXPECT_EQ(sp(), 0);

  for (auto [lo, hi] : {std::pair<NFixed, NFixed>{NFixed::whole(3), NFixed::whole(-2)},
                        {NFixed::MIN(), NFixed::MAX()}, {NFixed::ONE(), NFixed::ONE()}}) {
    for (int i = 0; i < 50; ++i) {
      const NFixed r = fixedResult(math, 13, {FXV(lo), FXV(hi)});
      EXPECT_GE(r, std::min(lo, hi));
      EXPECT_LE(r, std::max(lo, hi));
    }
  }
}

TEST_F(NumericNativeTest, MathDomains) {
  EXPECT_NEAR(NRaw::toDouble(fixedResult(math, 10, {FX(8.0), FX(2.0)})), 3.0, 1e-9);
  for (double base : {0.0, 1.0, -1.0}) EXPECT_RAISES(ERR_MATH, call(math, 10, {FX(8.0), FX(base)}));
  EXPECT_RAISES(ERR_MATH, call(math, 9, {FX(-1.0)}));
  EXPECT_RAISES(ERR_MATH, call(math, 11, {FX(0.0)}));
  EXPECT_RAISES(ERR_MATH, call(math, 4, {FX(2.0)}));   // asin outside [-1, 1] is NaN
  EXPECT_EQ(static_cast<TInt32>(call(math, 14, {0x80, 5})), -128);   // bytes sign-extend

  EXPECT_NEAR(NRaw::toDouble(fixedResult(math, 8, {FX(180.0)})), M_PI, 1e-7);
  EXPECT_RAISES(ERR_MATH, call(math, 8, {FX(360.5)}));
  const NFixed twoPi(NFixed::PI().raw * 2);
  // Noise in the low 16 bits of a full turn is taken as the full turn.
  EXPECT_NEAR(NRaw::toDouble(fixedResult(math, 7, {FXV(NFixed(-(twoPi.raw + 0x100)))})), -360.0, 1e-4);
  EXPECT_RAISES(ERR_MATH, call(math, 7, {FXV(NFixed(twoPi.raw + 0x10000))}));
  EXPECT_EQ(fixedResult(math, 21, {}), NFixed::PI());
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call(math, 23, {})), "VMException: Math: 23");
}

TEST_F(NumericNativeTest, LongArithmeticWraps) {
  const TInt64 kMin = std::numeric_limits<TInt64>::min();
  EXPECT_EQ(longOp(5, std::numeric_limits<TInt64>::max(), 1), kMin);
  EXPECT_EQ(longOp(8, kMin, -1), kMin);
  EXPECT_EQ(longOp(8, -7, 2), -3);
  EXPECT_EQ(longOp(9, -7, 2), -1);
  EXPECT_EQ(longOp(9, kMin, -1), 0);
  EXPECT_EQ(longOp(27, 1, 63), kMin);
  EXPECT_EQ(longOp(27, 1, 64), 0);
  EXPECT_EQ(longOp(28, -8, 0x140), -1);   // low byte 64: the sign fills
  EXPECT_EQ(longOp(28, -8, 0x101), -4);   // low byte 1
}

TEST_F(NumericNativeTest, LongFailures) {
  EXPECT_EQ(EXPECT_RAISES(ERR_DIVISION_BY_ZERO, call(longNative, 8, {newLong(1), newLong(0)})),
            "DivisionByZeroException: Division by zero.");
  EXPECT_RAISES(ERR_DIVISION_BY_ZERO, call(longNative, 17, {newLong(1), newLong(0)}));
  EXPECT_EQ(EXPECT_RAISES(ERR_RUNTIME, call(longNative, 4, {})), "RuntimeException: Reserved native operation");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call(longNative, 39, {})), "VMException: Long: 39");
  EXPECT_RAISES(ERR_NULL_POINTER, call(longNative, 5, {0, newLong(1)}));
}

TEST_F(NumericNativeTest, LongAssignFormsAndConversions) {
  const VMAddr a = newLong(10);
  call(longNative, 16, {a, newLong(3)});   // a /= 3
  EXPECT_EQ(sp(), -1);
  EXPECT_EQ(longAt(a), 3);
  call(longNative, 12, {a});
  EXPECT_EQ(longAt(a), 2);
  call(longNative, 35, {});   // no arguments, nothing happens
  EXPECT_EQ(sp(), -1);

  EXPECT_EQ(longAt(call(longNative, 38, {static_cast<TUint32>(-5)})), -5);
  longNative(*state, 34);
  EXPECT_EQ(topString(), "-5");
  EXPECT_EQ(call(longNative, 37, {newLong(0x123456789ll)}), 0x23456789u);
  EXPECT_EQ(call(longNative, 22, {newLong(2), newLong(3)}), 0u);
}

TEST_F(NumericNativeTest, FloatAndNumber) {
  EXPECT_EQ(call(floatNative, 0, {FX(1.5)}), bits(1.5f));
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(call(floatNative, 4, {bits(1.0f), bits(0.0f)}), bits(INFINITY));
  call(floatNative, 8, {bits(2.0f), slot(0), bits(0.25f)});   // slot 0 *= 0.25
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), bits(0.5f));
  call(floatNative, 10, {bits(1.0f / 3.0f)});
  EXPECT_EQ(topString(), "0.333333");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call(floatNative, 17, {})), "VMException: Float: 17");

  EXPECT_EQ(call(numberNative, 1, {0x105}), 0x105u);   // byte 5: the slot untouched
  EXPECT_EQ(call(numberNative, 1, {0x1FE}), 2u);
  EXPECT_EQ(call(numberNative, 2, {0x80000000u}), 0x7FFFFFFFu);
  call(numberNative, 3, {0xFFFFFFFFu, 16});
  EXPECT_EQ(topString(), "ffffffff");
}
