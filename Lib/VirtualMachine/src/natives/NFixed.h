#pragma once
// The machine's fixed-point number: signed 64 bits with 32 fractional bits.
// In slots it is two words, the low word first.
#include "Types.h"

#include <limits>

struct NFixed {
  TInt64 raw = 0;

  constexpr NFixed() = default;
  constexpr explicit NFixed(TInt64 r) : raw(r) {}
  static constexpr NFixed fromParts(TUint32 low, TUint32 high) {
    return NFixed(static_cast<TInt64>((static_cast<TUint64>(high) << 32) | low));
  }
  static constexpr NFixed whole(TInt32 n) { return NFixed(static_cast<TInt64>(static_cast<TUint64>(static_cast<TInt64>(n)) << 32)); }

  constexpr TUint32 low() const { return static_cast<TUint32>(static_cast<TUint64>(raw)); }
  constexpr TUint32 high() const { return static_cast<TUint32>(static_cast<TUint64>(raw) >> 32); }
  constexpr TInt32 integerPart() const { return static_cast<TInt32>(high()); }   // the floor
  constexpr TUint32 fraction() const { return low(); }
  constexpr bool negative() const { return raw < 0; }

  constexpr bool operator==(NFixed o) const { return raw == o.raw; }
  constexpr bool operator!=(NFixed o) const { return raw != o.raw; }
  constexpr bool operator<(NFixed o) const { return raw < o.raw; }
  constexpr bool operator<=(NFixed o) const { return raw <= o.raw; }
  constexpr bool operator>(NFixed o) const { return raw > o.raw; }
  constexpr bool operator>=(NFixed o) const { return raw >= o.raw; }

  static constexpr NFixed MIN() { return NFixed(std::numeric_limits<TInt64>::min()); }
  static constexpr NFixed MAX() { return NFixed(std::numeric_limits<TInt64>::max()); }
  static constexpr NFixed ONE() { return whole(1); }
  static constexpr NFixed PI() { return fromParts(608135817u, 3); }
  static constexpr NFixed E() { return fromParts(0xB7E15163u, 2); }
  static constexpr NFixed EPSILON() { return NFixed(1); }
};
