#include "NRaw.h"

#include "Errors.h"
#include "NString.h"

#include <QChar>
#include <cmath>
#include <string>

namespace {

constexpr double kScale = 4294967296.0;   // 2^32
constexpr double kLimit = 2147483648.0;   // 2^31, the first whole value past MAX
constexpr TUint64 kMagnitudeMax = 0x7FFFFFFFFFFFFFFFull;

// |a| as an unsigned magnitude; MIN gives 2^63.
TUint64 magnitude(NFixed a) { return a.negative() ? 0 - static_cast<TUint64>(a.raw) : static_cast<TUint64>(a.raw); }

NFixed signedFrom(TUint64 m, bool negative) {
  return NFixed(negative ? static_cast<TInt64>(0 - m) : static_cast<TInt64>(m));
}

// Scales an ordinary double (not NaN) into range.
NFixed clamp(double d) {
  if (d <= -kLimit) return NFixed::MIN();
  if (d >= kLimit) return NFixed::MAX();
  return NFixed(static_cast<TInt64>(d * kScale));
}

[[noreturn]] void formatError() { raise(ERR_DATA_FORMAT, "Invalid number format"); }

}  // namespace

NFixed NRaw::add(NFixed a, NFixed b) {
  TInt64 r;
  if (!__builtin_add_overflow(a.raw, b.raw, &r)) return NFixed(r);
  return a.negative() ? NFixed::MIN() : NFixed::MAX();
}

NFixed NRaw::subtract(NFixed a, NFixed b) {
  TInt64 r;
  if (!__builtin_sub_overflow(a.raw, b.raw, &r)) return NFixed(r);
  return a.negative() ? NFixed::MIN() : NFixed::MAX();
}

NFixed NRaw::multiply(NFixed a, NFixed b) {
  const bool negative = a.negative() != b.negative();
  // MIN counts as MAX here, so every magnitude fits 63 bits.
  const TUint64 ma = a == NFixed::MIN() ? kMagnitudeMax : magnitude(a);
  const TUint64 mb = b == NFixed::MIN() ? kMagnitudeMax : magnitude(b);
  const unsigned __int128 product = static_cast<unsigned __int128>(ma) * mb;
  const unsigned __int128 scaled = product >> 32;
  if (scaled > kMagnitudeMax) return negative ? NFixed::MIN() : NFixed::MAX();
  return signedFrom(static_cast<TUint64>(scaled), negative);
}

NFixed NRaw::divide(NFixed a, NFixed b) {
  if (b.raw == 0) raise(ERR_MATH, "Division by zero");
  const double q = static_cast<double>(a.raw) / static_cast<double>(b.raw);
  return clamp(q);
}

NFixed NRaw::abs(NFixed a) {
  if (a == NFixed::MIN()) return NFixed::MAX();
  return a.negative() ? NFixed(-a.raw) : a;
}

NFixed NRaw::negate(NFixed a) {
  // The two limits swap; every other value is its two's complement.
  if (a == NFixed::MIN()) return NFixed::MAX();
  if (a == NFixed::MAX()) return NFixed::MIN();
  return NFixed(-a.raw);
}

double NRaw::toDouble(NFixed a) { return static_cast<double>(a.raw) / kScale; }

NFixed NRaw::fromDouble(double d) {
  if (std::isnan(d)) raise(ERR_MATH, "Result is not a number");
  return clamp(d);
}

NFixed NRaw::pow(NFixed base, NFixed exponent) {
  if (exponent.raw == 0) return NFixed::ONE();
  if (base.raw == 0) {
    if (exponent.negative()) raise(ERR_MATH, "Zero to a negative power");
    return NFixed();
  }
  bool negativeResult = false;
  if (base.negative()) {
    if (exponent.fraction() != 0) raise(ERR_MATH, "Negative base to a fractional power");
    negativeResult = (exponent.integerPart() & 1) != 0;
  }
  const double r = std::pow(std::fabs(toDouble(base)), std::fabs(toDouble(exponent)));
  if (std::isfinite(r)) {
    // An underflow to zero would stop the machine on this invariant; it is
    // reported to the bytecode instead.
    if (!(r > 0.0)) raise(ERR_ASSERTION_FAILED, "fRet > 0.0");
    const double v = exponent.negative() ? 1.0 / r : r;
    return clamp(negativeResult ? -v : v);
  }
  if (exponent.negative()) return NFixed();
  return negativeResult ? NFixed::MIN() : NFixed::MAX();
}

TInt32 NRaw::round(NFixed a) {
  const TInt32 whole = a.integerPart();
  if (whole == 0x7FFFFFFF || whole == static_cast<TInt32>(0x80000000u)) return whole;
  const TUint64 half = 0x80000000u;
  const TUint64 rounded = (magnitude(a) + half) >> 32;
  return a.negative() ? -static_cast<TInt32>(rounded) : static_cast<TInt32>(rounded);
}

TInt32 NRaw::ceiling(NFixed a) {
  const TInt32 whole = a.integerPart();
  if (whole == 0x7FFFFFFF || a.fraction() == 0) return whole;
  return whole + 1;
}

NFixed NRaw::parse(const NString& text) {
  const TInt32 n = text.length();
  TInt32 i = 0;
  while (i < n && QChar(text.charAt(i)).isSpace()) ++i;
  if (i == n) formatError();
  while (i < n && text.charAt(i) == '+') ++i;
  bool negative = false;
  if (i < n && text.charAt(i) == '-') {
    negative = true;
    ++i;
  }
  if (i == n) formatError();

  // The magnitude may reach 2^31 (MIN) only when negative; stop growing past it.
  const TUint64 wholeLimit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  TUint64 whole = 0;
  bool tooLarge = false;
  for (; i < n && text.charAt(i) != '.'; ++i) {
    const TChar c = text.charAt(i);
    if (c < '0' || c > '9') formatError();
    whole = whole * 10 + (c - '0');
    if (whole > wholeLimit) {
      tooLarge = true;
      whole = wholeLimit + 1;
    }
  }
  // Fraction digits are folded in from the last one: floor((d + f) / 10) at
  // each step keeps floor(value * 2^32) exact for any number of digits.
  TUint64 fraction = 0;
  if (i < n) {
    const TInt32 point = i;
    const TInt32 last = n - 1;
    for (TInt32 k = point + 1; k <= last; ++k) {
      const TChar c = text.charAt(k);
      if (c < '0' || c > '9') formatError();
    }
    for (TInt32 k = last; k > point; --k) fraction = ((static_cast<TUint64>(text.charAt(k) - '0') << 32) + fraction) / 10;
  }
  if (tooLarge) raise(ERR_ASSERTION_FAILED, "Number too large");
  const TUint64 m = (whole << 32) | fraction;
  if (m > (negative ? kMagnitudeMax + 1 : kMagnitudeMax)) raise(ERR_ASSERTION_FAILED, "Number too large");
  return signedFrom(m, negative);
}

NString NRaw::toText(NFixed a, TInt32 digits) {
  if (digits < -1) raise(ERR_INVALID_ARGUMENT, "Invalid number of digits");
  const TUint64 m = magnitude(a);
  TUint64 whole = m >> 32;
  TUint64 fraction = m & 0xFFFFFFFFu;
  auto nextDigit = [&fraction]() {
    fraction *= 10;
    const char d = static_cast<char>('0' + (fraction >> 32));
    fraction &= 0xFFFFFFFFu;
    return d;
  };
  // A 32-bit binary fraction ends within 32 decimal digits; any digits
  // asked for beyond those are zeros and are added as such.
  constexpr TInt32 kSignificant = 32;
  std::string fractionDigits;
  TInt32 zeros = 0;
  if (digits < 0) {
    do fractionDigits += nextDigit();
    while (fraction != 0);
  } else {
    // A hostile digit count must not allocate gigabytes of zeros.
    if (digits > (1 << 24)) raise(ERR_INVALID_ARGUMENT, "Too many digits");
    const TInt32 n = digits < kSignificant ? digits : kSignificant;
    zeros = digits - n;
    for (TInt32 k = 0; k < n; ++k) fractionDigits += nextDigit();
    if (nextDigit() >= '5') {
      size_t k = fractionDigits.size();
      while (k > 0 && fractionDigits[k - 1] == '9') fractionDigits[--k] = '0';
      if (k > 0) ++fractionDigits[k - 1];
      else ++whole;
    }
  }
  std::string out = a.negative() ? "-" : "";
  out += std::to_string(whole);
  if (digits != 0) out += "." + fractionDigits;
  const NString text(out.c_str());
  return zeros > 0 ? NString::concat(text, NString::filled('0', zeros)) : text;
}
