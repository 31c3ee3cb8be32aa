// Fixed, Math, Long, Float and Number groups on a real machine state: the
// slot conventions (two-slot fixed values, results in the first argument's
// slot, popping) and the group-level rules around the arithmetic cores.
#include "NRaw.h"
#include "NString.h"
#include "NativeTestSupport.h"
#include "RandomGenerator.h"

#include <cmath>
#include <cstring>
#include <set>

namespace {

TUint8 gGenerator[random_state::kBytes];

TUint32 bits(float f) {
  TUint32 b;
  std::memcpy(&b, &f, 4);
  return b;
}

class NumericNativeTest : public NativeGroupTest {
 protected:
  NFixed fixedResult(Group g, const char* op, std::initializer_list<TUint32> args) {
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
  TInt64 longOp(const char* op, TInt64 a, TInt64 b) {
    const VMAddr r = call("Long", op, {newLong(a), newLong(b)});
    EXPECT_EQ(sp(), 0);
    return longAt(r);
  }
};

// Slots of a fixed value given as a double.
#define FX(d) NRaw::fromDouble(d).low(), NRaw::fromDouble(d).high()
#define FXV(v) (v).low(), (v).high()

}  // namespace

TEST_F(NumericNativeTest, FixedArithmeticOnSlots) {
  EXPECT_EQ(fixedResult("Fixed", "add", {FXV(NFixed::MAX()), FX(1.0)}), NFixed::MAX());
  EXPECT_EQ(fixedResult("Fixed", "multiply", {FXV(NFixed::MAX()), FX(-2.0)}), NFixed::MIN());
  EXPECT_EQ(fixedResult("Fixed", "fromByte", {0x1FF}), NFixed::whole(-1));   // the low byte
  EXPECT_EQ(fixedResult("Fixed", "max", {}), NFixed::MAX());
  EXPECT_RAISES(ERR_MATH, call("Fixed", "divide", {FX(1.0), FX(0.0)}));

  // A slot below the arguments is left alone; comparisons leave one slot.
  EXPECT_EQ(call("Fixed", "less", {77, FXV(NFixed::MIN()), FXV(NFixed::MAX())}), 1u);
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(state->stack[0], 77u);
  EXPECT_EQ(call("Fixed", "round", {FX(-1.5)}), static_cast<TUint32>(-2));
  EXPECT_EQ(sp(), 0);
}

TEST_F(NumericNativeTest, FixedReferencesAndText) {
  // Slots 0 and 1 hold the variable; its address is the argument.
  call("Fixed", "multiplyBy", {FX(2.5), slot(0), FX(4.0)});
  EXPECT_EQ(sp(), 1);
  EXPECT_EQ(NFixed::fromParts(top(1), top(0)), NFixed::whole(10));
  push(slot(0));
  run("Fixed", "decrement");
  EXPECT_EQ(NFixed::fromParts(top(1), top(0)), NFixed::whole(9));
  push({slot(0), 2});
  run("Fixed", "toTextWithDigits");
  EXPECT_EQ(sp(), 2);
  EXPECT_EQ(topString(), "9.00");
  state->sp = 1;
  push(slot(0));
  run("Fixed", "clear");
  EXPECT_EQ(NFixed::fromParts(top(1), top(0)), NFixed());
  EXPECT_EQ(EXPECT_RAISES(ERR_NULL_POINTER, call("Fixed", "clear", {0})), "NullPointerException: NULL pointer");

  EXPECT_EQ(fixedResult("Fixed", "parse", {native::newStringFrom(heap(), NString("  -1.5"))}), NRaw::fromDouble(-1.5));
  EXPECT_RAISES(ERR_DATA_FORMAT, call("Fixed", "parse", {native::newStringFrom(heap(), NString("x"))}));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Fixed", 0, {})), "VMException: Fixed: 0");
  // References into a native object (here a string's) are refused.
  const VMAddr sealed = native::derefCell(native::newStringFrom(heap(), NString("s")));
  EXPECT_RAISES(ERR_RUNTIME, call("Fixed", "load", {sealed}));
  EXPECT_RAISES(ERR_RUNTIME, call("Long", "increment", {sealed}));
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
  randomState = gGenerator;
  std::set<TInt32> seen;
  for (int i = 0; i < 300; ++i) seen.insert(static_cast<TInt32>(call("Math", "randomInt", {5, 1})));
  EXPECT_EQ(seen, (std::set<TInt32>{1, 2, 3, 4, 5}));
  call("Math", "randomInt", {0x7FFFFFFFu, 0x80000000u});   // a width beyond 32 bits
  EXPECT_EQ(sp(), 0);

  for (auto [lo, hi] : {std::pair<NFixed, NFixed>{NFixed::whole(3), NFixed::whole(-2)},
                        {NFixed::MIN(), NFixed::MAX()}, {NFixed::ONE(), NFixed::ONE()}}) {
    for (int i = 0; i < 50; ++i) {
      const NFixed r = fixedResult("Math", "random", {FXV(lo), FXV(hi)});
      EXPECT_GE(r, std::min(lo, hi));
      EXPECT_LE(r, std::max(lo, hi));
    }
  }
}

TEST_F(NumericNativeTest, MathDomains) {
  EXPECT_NEAR(NRaw::toDouble(fixedResult("Math", "log", {FX(8.0), FX(2.0)})), 3.0, 1e-9);
  for (double base : {0.0, 1.0, -1.0}) EXPECT_RAISES(ERR_MATH, call("Math", "log", {FX(8.0), FX(base)}));
  EXPECT_RAISES(ERR_MATH, call("Math", "sqrt", {FX(-1.0)}));
  EXPECT_RAISES(ERR_MATH, call("Math", "ln", {FX(0.0)}));
  EXPECT_RAISES(ERR_MATH, call("Math", "asin", {FX(2.0)}));   // asin outside [-1, 1] is NaN
  EXPECT_EQ(static_cast<TInt32>(call("Math", "minByte", {0x80, 5})), -128);   // bytes sign-extend

  EXPECT_NEAR(NRaw::toDouble(fixedResult("Math", "toRadians", {FX(180.0)})), M_PI, 1e-7);
  EXPECT_RAISES(ERR_MATH, call("Math", "toRadians", {FX(360.5)}));
  const NFixed twoPi(NFixed::PI().raw * 2);
  // Noise in the low 16 bits of a full turn is taken as the full turn.
  EXPECT_NEAR(NRaw::toDouble(fixedResult("Math", "toDegrees", {FXV(NFixed(-(twoPi.raw + 0x100)))})), -360.0, 1e-4);
  EXPECT_RAISES(ERR_MATH, call("Math", "toDegrees", {FXV(NFixed(twoPi.raw + 0x10000))}));
  EXPECT_EQ(fixedResult("Math", "pi", {}), NFixed::PI());
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Math", 23, {})), "VMException: Math: 23");
}

TEST_F(NumericNativeTest, LongArithmeticWraps) {
  const TInt64 kMin = std::numeric_limits<TInt64>::min();
  EXPECT_EQ(longOp("add", std::numeric_limits<TInt64>::max(), 1), kMin);
  EXPECT_EQ(longOp("divide", kMin, -1), kMin);
  EXPECT_EQ(longOp("divide", -7, 2), -3);
  EXPECT_EQ(longOp("remainder", -7, 2), -1);
  EXPECT_EQ(longOp("remainder", kMin, -1), 0);
  EXPECT_EQ(longOp("shiftLeft", 1, 63), kMin);
  EXPECT_EQ(longOp("shiftLeft", 1, 64), 0);
  EXPECT_EQ(longOp("shiftRight", -8, 0x140), -1);   // low byte 64: the sign fills
  EXPECT_EQ(longOp("shiftRight", -8, 0x101), -4);   // low byte 1
}

TEST_F(NumericNativeTest, LongFailures) {
  EXPECT_EQ(EXPECT_RAISES(ERR_DIVISION_BY_ZERO, call("Long", "divide", {newLong(1), newLong(0)})),
            "DivisionByZeroException: Division by zero.");
  EXPECT_RAISES(ERR_DIVISION_BY_ZERO, call("Long", "remainderBy", {newLong(1), newLong(0)}));
  EXPECT_EQ(EXPECT_RAISES(ERR_RUNTIME, call("Long", "reserved4", {})), "RuntimeException: Reserved native operation");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Long", 39, {})), "VMException: Long: 39");
  EXPECT_RAISES(ERR_NULL_POINTER, call("Long", "add", {0, newLong(1)}));
}

TEST_F(NumericNativeTest, LongAssignFormsAndConversions) {
  const VMAddr a = newLong(10);
  call("Long", "divideBy", {a, newLong(3)});   // a /= 3
  EXPECT_EQ(sp(), -1);
  EXPECT_EQ(longAt(a), 3);
  call("Long", "decrement", {a});
  EXPECT_EQ(longAt(a), 2);
  call("Long", "nothing35", {});   // no arguments, nothing happens
  EXPECT_EQ(sp(), -1);

  EXPECT_EQ(longAt(call("Long", "fromInt", {static_cast<TUint32>(-5)})), -5);
  run("Long", "toText");
  EXPECT_EQ(topString(), "-5");
  EXPECT_EQ(call("Long", "low", {newLong(0x123456789ll)}), 0x23456789u);
  EXPECT_EQ(call("Long", "greater", {newLong(2), newLong(3)}), 0u);
}

TEST_F(NumericNativeTest, FloatAndNumber) {
  EXPECT_EQ(call("Float", "fromFixed", {FX(1.5)}), bits(1.5f));
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(call("Float", "divide", {bits(1.0f), bits(0.0f)}), bits(INFINITY));
  call("Float", "multiplyBy", {bits(2.0f), slot(0), bits(0.25f)});   // slot 0 *= 0.25
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(top(), bits(0.5f));
  call("Float", "toText", {bits(1.0f / 3.0f)});
  EXPECT_EQ(topString(), "0.333333");
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Float", 17, {})), "VMException: Float: 17");

  EXPECT_EQ(call("Number", "byteAbs", {0x105}), 0x105u);   // byte 5: the slot untouched
  EXPECT_EQ(call("Number", "byteAbs", {0x1FE}), 2u);
  EXPECT_EQ(call("Number", "abs", {0x80000000u}), 0x7FFFFFFFu);
  call("Number", "radixText", {0xFFFFFFFFu, 16});
  EXPECT_EQ(topString(), "ffffffff");
}
