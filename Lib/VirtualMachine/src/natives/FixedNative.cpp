// Fixed group (11): NFixed construction, arithmetic, comparison, text and
// conversion to whole numbers. f is two slots, fref the address of eight bytes.
#include "Errors.h"
#include "FixedSlots.h"
#include "NRaw.h"
#include "NString.h"
#include "NativeGroups.h"

using native::Args;
using native::fixedAt;
using native::fixedResult;

namespace {

typedef NFixed (*Binary)(NFixed, NFixed);

Binary binaryFor(TInt32 op) {   // 7..11 and their in-place forms 12..15
  switch (op) {
    case 7: case 12: return NRaw::add;
    case 8: case 13: return NRaw::subtract;
    case 9: case 14: return NRaw::multiply;
    case 10: case 15: return NRaw::divide;
    default: return NRaw::pow;
  }
}

bool compare(TInt32 op, NFixed a, NFixed b) {
  switch (op) {
    case 18: return a == b;
    case 19: return a != b;
    case 20: return a < b;
    case 21: return a <= b;
    case 22: return a > b;
    default: return a >= b;
  }
}

void inPlace(VMState& state, TInt32 op) {   // 12..15 fref, f
  Args a(state, 3);
  const VMAddr at = a.word(0);
  native::storeFixed(at, binaryFor(op)(native::loadFixed(at), fixedAt(a, 1)));
  a.noResult();
}

void step(VMState& state, TInt32 op) {   // 16, 17 fref
  Args a(state, 1);
  const VMAddr at = a.word(0);
  const NFixed v = native::loadFixed(at);
  native::storeFixed(at, op == 16 ? NRaw::add(v, NFixed::ONE()) : NRaw::subtract(v, NFixed::ONE()));
  a.noResult();
}

void text(VMState& state, TInt32 op) {   // 24 fref, digits; 25 fref
  Args a(state, op == 24 ? 2 : 1);
  const TInt32 digits = op == 24 ? a.integer(1) : -1;
  a.result(native::newStringFrom(a.heap(), NRaw::toText(native::loadFixed(a.word(0)), digits)));
}

void toWhole(VMState& state, TInt32 op) {   // 26..28 f
  Args a(state, 2);
  const NFixed v = fixedAt(a, 0);
  a.result(static_cast<TUint32>(op == 26 ? NRaw::round(v) : op == 27 ? NRaw::ceiling(v) : NRaw::floor(v)));
}

}  // namespace

void fixedNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: {
      Args a(state, 1);
      return fixedResult(a, native::loadFixed(a.word(0)));
    }
    case 2: {
      Args a(state, 1);
      return fixedResult(a, NFixed::whole(static_cast<TInt8>(a.word(0))));
    }
    case 3: {
      Args a(state, 1);
      return fixedResult(a, NFixed::whole(a.integer(0)));
    }
    case 4: {
      Args a(state, 1);
      return fixedResult(a, NRaw::parse(native::stringAt(a.word(0))));
    }
    case 5:
    case 6: {
      Args a(state, 2);
      const NFixed v = fixedAt(a, 0);
      return fixedResult(a, op == 5 ? NRaw::abs(v) : NRaw::negate(v));
    }
    case 7: case 8: case 9: case 10: case 11: {
      Args a(state, 4);
      return fixedResult(a, binaryFor(op)(fixedAt(a, 0), fixedAt(a, 2)));
    }
    case 12: case 13: case 14: case 15: return inPlace(state, op);
    case 16: case 17: return step(state, op);
    case 18: case 19: case 20: case 21: case 22: case 23: {
      Args a(state, 4);
      return a.result(native::truth(compare(op, fixedAt(a, 0), fixedAt(a, 2))));
    }
    case 24: case 25: return text(state, op);
    case 26: case 27: case 28: return toWhole(state, op);
    case 29:
    case 30: {
      Args a(state, 0);
      return fixedResult(a, op == 29 ? NFixed::MIN() : NFixed::MAX());
    }
    case 31: {
      Args a(state, 1);
      native::storeFixed(native::deref(a.word(0)), NFixed());
      return a.noResult();
    }
    default: native::unknownOperation("Fixed: ", op);
  }
}
