// Math group (26): functions of NFixed values through double precision,
// angle conversion, random numbers, minimum and maximum, constants.
#include "Errors.h"
#include "FixedSlots.h"
#include "NRaw.h"
#include "NativeGroups.h"
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

NFixed function(TInt32 op, NFixed x) {
  const double d = NRaw::toDouble(x);
  switch (op) {
    case 1: return NRaw::fromDouble(std::sin(d));
    case 2: return NRaw::fromDouble(std::cos(d));
    case 3: return NRaw::fromDouble(std::tan(d));
    case 4: return NRaw::fromDouble(std::asin(d));
    case 5: return NRaw::fromDouble(std::acos(d));
    case 6: return NRaw::fromDouble(std::atan(d));
    case 9:
      if (x.negative()) domainError();
      return NRaw::fromDouble(std::sqrt(d));
    default:
      if (x.raw <= 0) domainError();
      return NRaw::fromDouble(std::log(d));
  }
}

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

TInt32 byteAt(const Args& a, TInt32 i) { return static_cast<TInt8>(a.word(i)); }

}  // namespace

void mathNative(VMState& state, TInt32 op, TUint8* randomState) {
  switch (op) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 9: case 11: {
      Args a(state, 2);
      return fixedResult(a, function(op, fixedAt(a, 0)));
    }
    case 7:
    case 8: {
      Args a(state, 2);
      return fixedResult(a, op == 7 ? toDegrees(fixedAt(a, 0)) : toRadians(fixedAt(a, 0)));
    }
    case 10: {
      Args a(state, 4);
      return fixedResult(a, logarithm(fixedAt(a, 0), fixedAt(a, 2)));
    }
    case 12: {
      Args a(state, 2);
      return a.result(static_cast<TUint32>(randomInteger(randomState, a.integer(0), a.integer(1))));
    }
    case 13: {
      Args a(state, 4);
      return fixedResult(a, randomFixed(randomState, fixedAt(a, 0), fixedAt(a, 2)));
    }
    case 14:
    case 17: {
      Args a(state, 2);
      const TInt32 x = byteAt(a, 0), y = byteAt(a, 1);
      return a.result(static_cast<TUint32>(op == 14 ? std::min(x, y) : std::max(x, y)));
    }
    case 15:
    case 18: {
      Args a(state, 2);
      const TInt32 x = a.integer(0), y = a.integer(1);
      return a.result(static_cast<TUint32>(op == 15 ? std::min(x, y) : std::max(x, y)));
    }
    case 16:
    case 19: {
      Args a(state, 4);
      const NFixed x = fixedAt(a, 0), y = fixedAt(a, 2);
      return fixedResult(a, op == 16 ? std::min(x, y) : std::max(x, y));
    }
    case 20: case 21: case 22: {
      Args a(state, 0);
      return fixedResult(a, op == 20 ? NFixed::E() : op == 21 ? NFixed::PI() : NFixed::EPSILON());
    }
    default: native::unknownOperation("Math: ", op);
  }
}
