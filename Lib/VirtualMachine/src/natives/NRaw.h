#pragma once
// Arithmetic on NFixed values. Overflow saturates at MIN / MAX and never
// raises; domain errors raise code 8.
#include "NFixed.h"
#include "Types.h"

class NString;

class NRaw {
 public:
  static NFixed add(NFixed a, NFixed b);
  static NFixed subtract(NFixed a, NFixed b);
  static NFixed multiply(NFixed a, NFixed b);
  // Through double precision; a zero divisor raises code 8.
  static NFixed divide(NFixed a, NFixed b);
  static NFixed pow(NFixed base, NFixed exponent);
  static NFixed abs(NFixed a);
  static NFixed negate(NFixed a);

  static double toDouble(NFixed a);
  // NaN raises code 8; out of range clamps; otherwise truncated toward zero.
  static NFixed fromDouble(double d);

  // Whole numbers: halves away from zero, ceiling, floor.
  static TInt32 round(NFixed a);
  static TInt32 ceiling(NFixed a);
  static TInt32 floor(NFixed a) { return a.integerPart(); }

  // Text that is not a number raises code 4, one that does not fit code 9.
  static NFixed parse(const NString& text);
  // digits -1: every fraction digit the value has; digits >= 0: rounded to
  // that many; anything below -1 raises code 6.
  static NString toText(NFixed a, TInt32 digits);
};
