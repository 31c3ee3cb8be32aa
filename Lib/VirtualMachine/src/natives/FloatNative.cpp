// Float group (36): IEEE singles in one slot. Operation 0 converts an NFixed.
#include "FixedSlots.h"
#include "NRaw.h"
#include "NativeGroups.h"

#include <QString>
#include <cstring>

using native::Args;

namespace {

float floatOf(TUint32 bits) {
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
TUint32 bitsOf(float f) {
  TUint32 bits;
  std::memcpy(&bits, &f, 4);
  return bits;
}

float arithmetic(TInt32 op, float a, float b) {   // 1..4 and the in-place 6..9
  switch (op) {
    case 1: case 6: return a + b;
    case 2: case 7: return a - b;
    case 3: case 8: return a * b;
    default: return a / b;
  }
}

bool compare(TInt32 op, float a, float b) {
  switch (op) {
    case 11: return a == b;
    case 12: return a != b;
    case 13: return a < b;
    case 14: return a <= b;
    case 15: return a > b;
    default: return a >= b;
  }
}

}  // namespace

void floatNative(VMState& state, TInt32 op) {
  switch (op) {
    case 0: {
      Args a(state, 2);
      return a.result(bitsOf(static_cast<float>(NRaw::toDouble(native::fixedAt(a, 0)))));
    }
    case 1: case 2: case 3: case 4: {
      Args a(state, 2);
      return a.result(bitsOf(arithmetic(op, floatOf(a.word(0)), floatOf(a.word(1)))));
    }
    case 5: {
      Args a(state, 1);
      return a.result(bitsOf(-floatOf(a.word(0))));
    }
    case 6: case 7: case 8: case 9: {
      Args a(state, 2);
      const VMAddr at = a.word(0);
      native::store(at, bitsOf(arithmetic(op, floatOf(native::load(at)), floatOf(a.word(1)))));
      return a.noResult();
    }
    case 10: {
      Args a(state, 1);
      QString text;
      text.setNum(floatOf(a.word(0)), 'g', 6);
      return a.result(native::newStringFrom(a.heap(), text));
    }
    case 11: case 12: case 13: case 14: case 15: case 16: {
      Args a(state, 2);
      return a.result(native::truth(compare(op, floatOf(a.word(0)), floatOf(a.word(1)))));
    }
    default: native::unknownOperation("Float: ", op);
  }
}
