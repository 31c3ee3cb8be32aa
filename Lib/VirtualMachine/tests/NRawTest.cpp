// Fixed-point cores: the saturation boundaries, pow's cases, rounding to
// whole numbers, and text in both directions.
#include "NRaw.h"
#include "NativeTestSupport.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

NFixed fx(double d) { return NRaw::fromDouble(d); }
NFixed parsed(const char* s) { return NRaw::parse(NString(s)); }
QString shown(NFixed v, TInt32 digits = -1) { return text(NRaw::toText(v, digits)); }

const NFixed kMin = NFixed::MIN();
const NFixed kMax = NFixed::MAX();
const NFixed kOne = NFixed::ONE();

}  // namespace

TEST(NRawTest, AddAndSubtractSaturate) {
  EXPECT_EQ(NRaw::add(kMax, kOne), kMax);
  EXPECT_EQ(NRaw::subtract(kMin, kOne), kMin);
  EXPECT_EQ(NRaw::add(kMin, kMin), kMin);
  EXPECT_EQ(NRaw::add(kMax, kMax), kMax);
  EXPECT_EQ(NRaw::subtract(NFixed(), kMin), kMax);
  EXPECT_EQ(NRaw::subtract(kMax, NFixed::whole(-1)), kMax);
  // Mixed signs never overflow.
  EXPECT_EQ(NRaw::add(kMax, kMin), NFixed(-1));
  EXPECT_EQ(NRaw::add(NFixed::whole(-2), NFixed::whole(-3)), NFixed::whole(-5));
  EXPECT_EQ(NRaw::subtract(NFixed::whole(-2), NFixed::whole(-3)), kOne);
}

TEST(NRawTest, MultiplySaturatesAndTruncatesTowardZero) {
  EXPECT_EQ(NRaw::multiply(kMax, NFixed::whole(2)), kMax);
  EXPECT_EQ(NRaw::multiply(kMax, NFixed::whole(-2)), kMin);
  EXPECT_EQ(NRaw::multiply(NFixed::whole(-46341), NFixed::whole(-46341)), kMax);
  EXPECT_EQ(NRaw::multiply(NFixed::whole(46341), NFixed::whole(-46341)), kMin);
  // MIN counts as MAX: its product with 1.0 is -MAX, not MIN.
  EXPECT_EQ(NRaw::multiply(kMin, kOne), NFixed(kMin.raw + 1));
  EXPECT_EQ(NRaw::multiply(fx(1.5), NFixed::whole(-2)), NFixed::whole(-3));
  EXPECT_EQ(NRaw::multiply(NFixed::EPSILON(), fx(0.5)), NFixed());
  EXPECT_EQ(NRaw::multiply(NFixed(-3), fx(0.5)), NFixed(-1));
  EXPECT_EQ(NRaw::multiply(NFixed::whole(46340), NFixed::whole(46340)), NFixed::whole(46340 * 46340));
}

TEST(NRawTest, DivideGoesThroughDouble) {
  EXPECT_EQ(NRaw::divide(kOne, NFixed::whole(3)), NFixed(1431655765));
  EXPECT_EQ(NRaw::divide(NFixed::whole(-1), NFixed::whole(3)), NFixed(-1431655765));
  EXPECT_EQ(NRaw::divide(NFixed::whole(1 << 30), fx(0.25)), kMax);
  EXPECT_EQ(NRaw::divide(kMin, kOne), kMin);
  EXPECT_EQ(NRaw::divide(NFixed::whole(-(1 << 30)), fx(0.5)), kMin);
  EXPECT_RAISES(ERR_MATH, NRaw::divide(kOne, NFixed()));
}

TEST(NRawTest, AbsAndNegateSwapTheLimits) {
  EXPECT_EQ(NRaw::abs(kMin), kMax);
  EXPECT_EQ(NRaw::negate(kMin), kMax);
  EXPECT_EQ(NRaw::negate(kMax), kMin);
  EXPECT_EQ(NRaw::negate(NFixed(kMax.raw - 1)), NFixed(kMin.raw + 2));
  EXPECT_EQ(NRaw::abs(fx(-2.5)), fx(2.5));
}

TEST(NRawTest, PowCases) {
  EXPECT_EQ(NRaw::pow(NFixed(), NFixed()), kOne);
  EXPECT_EQ(NRaw::pow(NFixed::whole(-5), NFixed()), kOne);
  EXPECT_EQ(NRaw::pow(NFixed(), NFixed::whole(3)), NFixed());
  EXPECT_RAISES(ERR_MATH, NRaw::pow(NFixed(), NFixed::whole(-1)));
  EXPECT_RAISES(ERR_MATH, NRaw::pow(NFixed::whole(-8), NRaw::divide(kOne, NFixed::whole(3))));
  EXPECT_EQ(NRaw::pow(NFixed::whole(-2), NFixed::whole(3)), NFixed::whole(-8));
  EXPECT_EQ(NRaw::pow(NFixed::whole(-2), NFixed::whole(2)), NFixed::whole(4));
  EXPECT_EQ(NRaw::pow(NFixed::whole(-2), NFixed::whole(-3)), fx(-0.125));
  EXPECT_EQ(NRaw::pow(NFixed::whole(2), NFixed::whole(-1)), fx(0.5));
  EXPECT_EQ(NRaw::pow(NFixed::whole(4), fx(0.5)), NFixed::whole(2));
  // Clamped: the magnitude passes 2^31.
  EXPECT_EQ(NRaw::pow(NFixed::whole(2), NFixed::whole(40)), kMax);
  EXPECT_EQ(NRaw::pow(NFixed::whole(-2), NFixed::whole(31)), kMin);
  EXPECT_EQ(NRaw::pow(NFixed::whole(2), NFixed::whole(-40)), NFixed());
  // Infinite in double precision.
  EXPECT_EQ(NRaw::pow(NFixed::whole(10), NFixed::whole(400)), kMax);
  EXPECT_EQ(NRaw::pow(NFixed::whole(-10), NFixed::whole(401)), kMin);
  EXPECT_EQ(NRaw::pow(NFixed::whole(10), NFixed::whole(-400)), NFixed());
  // Underflow to zero breaks the positive-result invariant.
  EXPECT_RAISES(ERR_ASSERTION_FAILED, NRaw::pow(NFixed::EPSILON(), NFixed::whole(40)));
}

TEST(NRawTest, FromDoubleClampsAndRefusesNaN) {
  EXPECT_EQ(NRaw::fromDouble(2147483648.0), kMax);
  EXPECT_EQ(NRaw::fromDouble(-2147483648.0), kMin);
  EXPECT_EQ(NRaw::fromDouble(-0.75), NFixed(-3221225472));
  EXPECT_RAISES(ERR_MATH, NRaw::fromDouble(std::nan("")));
}

TEST(NRawTest, WholeNumbers) {
  EXPECT_EQ(NRaw::round(fx(1.5)), 2);
  EXPECT_EQ(NRaw::round(fx(-1.5)), -2);
  EXPECT_EQ(NRaw::round(fx(-1.4)), -1);
  EXPECT_EQ(NRaw::round(fx(2.49)), 2);
  EXPECT_EQ(NRaw::round(kMax), 0x7FFFFFFF);
  EXPECT_EQ(NRaw::round(NFixed(kMin.raw + 0xC0000000)), static_cast<TInt32>(0x80000000u));
  EXPECT_EQ(NRaw::ceiling(fx(-1.5)), -1);
  EXPECT_EQ(NRaw::ceiling(fx(1.25)), 2);
  EXPECT_EQ(NRaw::ceiling(NFixed::whole(3)), 3);
  EXPECT_EQ(NRaw::ceiling(kMax), 0x7FFFFFFF);
  EXPECT_EQ(NRaw::floor(fx(-1.5)), -2);
  EXPECT_EQ(NRaw::floor(fx(1.99)), 1);
}

TEST(NRawTest, ParseAcceptsSignsSpaceAndFractions) {
  EXPECT_EQ(parsed(" \t12.5"), fx(12.5));
  EXPECT_EQ(parsed("+++-3.25"), fx(-3.25));
  EXPECT_EQ(parsed(".5"), fx(0.5));
  EXPECT_EQ(parsed("7."), NFixed::whole(7));
  EXPECT_EQ(parsed("-2147483648"), kMin);
  EXPECT_EQ(parsed("2147483647.99999999976716935634613037109375"), kMax);
  EXPECT_EQ(parsed("0.1"), NFixed(429496729));   // truncated, not rounded
}

TEST(NRawTest, ParseRefusals) {
  for (const char* bad : {"", "   ", "-", "+", "--1", "1a", "1 ", "1.2.3", "1e5", "-+1"})
  {
    SCOPED_TRACE(bad);
    EXPECT_RAISES(ERR_DATA_FORMAT, parsed(bad));
  }
  for (const char* big : {"2147483648", "-2147483649", "-2147483648.5", "99999999999999999999999"})
  {
    SCOPED_TRACE(big);
    EXPECT_RAISES(ERR_ASSERTION_FAILED, parsed(big));
  }
}

TEST(NRawTest, TextWithEveryDigit) {
  EXPECT_EQ(shown(fx(0.5)), "0.5");
  EXPECT_EQ(shown(NFixed::whole(2)), "2.0");
  EXPECT_EQ(shown(fx(-1.25)), "-1.25");
  EXPECT_EQ(shown(kMin), "-2147483648.0");
  EXPECT_EQ(shown(NFixed::EPSILON()), "0.00000000023283064365386962890625");
}

TEST(NRawTest, TextRoundsAtTheGivenDigits) {
  EXPECT_EQ(shown(parsed("0.999"), 2), "1.00");
  EXPECT_EQ(shown(parsed("9.996"), 2), "10.00");
  EXPECT_EQ(shown(parsed("-9.996"), 2), "-10.00");
  EXPECT_EQ(shown(fx(2.5), 0), "3");
  EXPECT_EQ(shown(fx(2.25), 1), "2.3");
  EXPECT_EQ(shown(fx(2.2), 1), "2.2");
  EXPECT_EQ(shown(NFixed::PI(), 5), "3.14159");
  EXPECT_EQ(shown(NFixed::whole(4), 3), "4.000");
  // Past the 32 digits a binary fraction can have, only zeros follow.
  EXPECT_EQ(shown(NFixed::EPSILON(), 34), "0.0000000002328306436538696289062500");
  EXPECT_EQ(shown(NFixed::EPSILON(), 31), "0.0000000002328306436538696289063");
  EXPECT_EQ(shown(kOne, 100000).length(), 100002);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, NRaw::toText(kOne, -2));
}

TEST(NRawTest, TextParsesBackExactly) {
  const TInt64 samples[] = {0, 1, -1, kMin.raw, kMax.raw, NFixed::PI().raw, -NFixed::E().raw,
                            0x123456789ABCDEFll, -0x0FEDCBA987654321ll, 0x80000000ll, 3};
  for (TInt64 raw : samples) {
    const NFixed v(raw);
    EXPECT_EQ(NRaw::parse(NRaw::toText(v, -1)), v) << shown(v).toStdString();
  }
}

TEST(NRawTest, Constants) {
  EXPECT_EQ(shown(NFixed::PI(), 9), "3.141592654");
  // The stored fraction of E is a little above e: 2.7182818285655.
  EXPECT_EQ(shown(NFixed::E(), 9), "2.718281829");
  EXPECT_EQ(NFixed::EPSILON().raw, 1);
}
