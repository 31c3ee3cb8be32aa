// Math group (26): functions of NFixed values through double precision,
// angle conversion, random numbers, minimum and maximum, constants.
#include "NativeFixed.h"
#include "NRaw.h"
#include "RandomGenerator.h"

#include <algorithm>
#include <cmath>

using native::Args;
using native::fixedAt;
using native::fixedResult;

namespace {

const NFixed kTwoPi(NFixed::PI().raw * 2);
const NFixed kDegreesPerRadian(246083499207);   // 180 / pi, truncated
const NFixed kRadiansPerDegree(74961320);       // pi / 180, truncated
const NFixed kFullCircle = NFixed::whole(360);

[[noreturn]] void domainError() { raise(ERR_MATH, "Argument out of range"); }

// f -> f through double precision; Check refuses arguments outside the domain.
template <double (*F)(double), bool (*Check)(NFixed)> void real(native::Context& cx) {
  Args a(cx, 2);
  const NFixed x = fixedAt(a, 0);
  if (Check && !Check(x)) domainError();
  fixedResult(a, NRaw::fromDouble(F(NRaw::toDouble(x))));
}
bool notNegative(NFixed x) { return !x.negative(); }
bool positive(NFixed x) { return x.raw > 0; }

NFixed toDegrees(NFixed x) {
  NFixed m = NRaw::abs(x);
  if (m > kTwoPi) {
    // Rounding noise in the low bits of a full turn is accepted as the full turn.
    if ((m.raw >> 16) != (kTwoPi.raw >> 16)) domainError();
    m = kTwoPi;
  }
  return NRaw::multiply(x.negative() ? NRaw::negate(m) : m, kDegreesPerRadian);
}

NFixed toRadians(NFixed x) {
  if (NRaw::abs(x) > kFullCircle) domainError();
  return NRaw::multiply(x, kRadiansPerDegree);
}

NFixed logarithm(NFixed x, NFixed base) {
  if (base.raw == 0 || base == NFixed::ONE() || base == NFixed::whole(-1) || x.raw <= 0) domainError();
  return NRaw::fromDouble(std::log(NRaw::toDouble(x)) / std::log(NRaw::toDouble(base)));
}

TInt32 randomInteger(TUint8* generator, TInt32 a, TInt32 b) {
  const TInt64 lo = std::min(a, b);
  const TInt64 width = static_cast<TInt64>(std::max(a, b)) - lo + 1;
  return static_cast<TInt32>(lo + static_cast<TInt64>(random_state::draw(generator) % static_cast<TUint64>(width)));
}

// min + w / 2^32 * (max - min) for an interval whose width fits.
NFixed randomIn(TUint8* generator, NFixed lo, NFixed hi) {
  const NFixed r = NRaw::add(lo, NRaw::multiply(NFixed(random_state::draw(generator)), NRaw::subtract(hi, lo)));
  if (r < lo || r > hi) raise(ERR_ASSERTION_FAILED, "Random value out of range");
  return r;
}

NFixed randomFixed(TUint8* generator, NFixed a, NFixed b) {
  const NFixed lo = std::min(a, b);
  const NFixed hi = std::max(a, b);
  TInt64 width;
  if (!__builtin_sub_overflow(hi.raw, lo.raw, &width)) return randomIn(generator, lo, hi);
  // Too wide for one fixed value: one draw picks the half below or above zero.
  if (random_state::draw(generator) & 1u) return randomIn(generator, NFixed(), hi);
  return randomIn(generator, lo, NFixed());
}

void logarithmTo(native::Context& cx) {   // f, base -> f
  Args a(cx, 4);
  fixedResult(a, logarithm(fixedAt(a, 0), fixedAt(a, 2)));
}

void randomInt(native::Context& cx) {   // int, int -> int
  Args a(cx, 2);
  a.result(static_cast<TUint32>(randomInteger(cx.randomState, a.integer(0), a.integer(1))));
}

void randomFixedValue(native::Context& cx) {   // f, f -> f
  Args a(cx, 4);
  fixedResult(a, randomFixed(cx.randomState, fixedAt(a, 0), fixedAt(a, 2)));
}

// Min and max of two bytes (sign-extended), integers or fixed values.
template <typename T, const TInt32& (*F)(const TInt32&, const TInt32&)> void ofWholes(native::Context& cx) {
  Args a(cx, 2);
  a.result(static_cast<TUint32>(F(static_cast<T>(a.word(0)), static_cast<T>(a.word(1)))));
}
template <const NFixed& (*F)(const NFixed&, const NFixed&)> void ofFixed(native::Context& cx) {
  Args a(cx, 4);
  fixedResult(a, F(fixedAt(a, 0), fixedAt(a, 2)));
}

const native::Operation kRows[] = {
    {1, "sin", real<std::sin, nullptr>, "f -> f", "none"},
    {2, "cos", real<std::cos, nullptr>, "f -> f", "none"},
    {3, "tan", real<std::tan, nullptr>, "f -> f", "none"},
    {4, "asin", real<std::asin, nullptr>, "f -> f", "8 \"Result is not a number\""},
    {5, "acos", real<std::acos, nullptr>, "f -> f", "8 \"Result is not a number\""},
    {6, "atan", real<std::atan, nullptr>, "f -> f", "none"},
    {7, "toDegrees", native::fixedFunction<toDegrees>, "f -> f", "8 \"Argument out of range\""},
    {8, "toRadians", native::fixedFunction<toRadians>, "f -> f", "8 \"Argument out of range\""},
    {9, "sqrt", real<std::sqrt, notNegative>, "f -> f", "8 \"Argument out of range\""},
    {10, "log", logarithmTo, "f, f -> f", "8 \"Argument out of range\"; 8 \"Result is not a number\""},
    {11, "ln", real<std::log, positive>, "f -> f", "8 \"Argument out of range\""},
    {12, "randomInt", randomInt, "int, int -> int", "none"},
    {13, "random", randomFixedValue, "f, f -> f", "9 \"Random value out of range\""},
    {14, "minByte", ofWholes<TInt8, std::min<TInt32>>, "b, b -> int", "none"},
    {15, "minInt", ofWholes<TInt32, std::min<TInt32>>, "int, int -> int", "none"},
    {16, "min", ofFixed<std::min<NFixed>>, "f, f -> f", "none"},
    {17, "maxByte", ofWholes<TInt8, std::max<TInt32>>, "b, b -> int", "none"},
    {18, "maxInt", ofWholes<TInt32, std::max<TInt32>>, "int, int -> int", "none"},
    {19, "max", ofFixed<std::max<NFixed>>, "f, f -> f", "none"},
    {20, "e", native::fixedConstant<NFixed::E>, "-> f", "none"},
    {21, "pi", native::fixedConstant<NFixed::PI>, "-> f", "none"},
    {22, "epsilon", native::fixedConstant<NFixed::EPSILON>, "-> f", "none"},
};

}  // namespace

NATIVE_OPERATIONS(mathOperations, kRows);
