// Float group (36): IEEE singles in one slot. Operation 0 converts an NFixed.
#include "NativeFixed.h"
#include "NRaw.h"

#include <QString>
#include <cstring>
#include <functional>

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

void fromFixed(native::Context& cx) {   // f -> float
  Args a(cx, 2);
  a.result(bitsOf(static_cast<float>(NRaw::toDouble(native::fixedAt(a, 0)))));
}

template <typename Op> void arithmetic(native::Context& cx) {   // float, float -> float
  Args a(cx, 2);
  a.result(bitsOf(Op()(floatOf(a.word(0)), floatOf(a.word(1)))));
}

void negate(native::Context& cx) {
  Args a(cx, 1);
  a.result(bitsOf(-floatOf(a.word(0))));
}

template <typename Op> void inPlace(native::Context& cx) {   // address of a float, float
  Args a(cx, 2);
  const VMAddr at = a.word(0);
  native::store(at, bitsOf(Op()(floatOf(native::load(at)), floatOf(a.word(1)))));
  a.noResult();
}

void toText(native::Context& cx) {
  Args a(cx, 1);
  QString text;
  text.setNum(floatOf(a.word(0)), 'g', 6);
  a.result(native::newStringFrom(a.heap(), text));
}

template <typename Relation> void compare(native::Context& cx) {   // float, float -> 1|0
  Args a(cx, 2);
  a.result(native::truth(Relation()(floatOf(a.word(0)), floatOf(a.word(1)))));
}

const native::Operation kRows[] = {
    {0, "fromFixed", fromFixed, "f -> float", "none"},
    {1, "add", arithmetic<std::plus<float>>, "float, float -> float", "none"},
    {2, "subtract", arithmetic<std::minus<float>>, "float, float -> float", "none"},
    {3, "multiply", arithmetic<std::multiplies<float>>, "float, float -> float", "none"},
    {4, "divide", arithmetic<std::divides<float>>, "float, float -> float", "none"},
    {5, "negate", negate, "float -> float", "none"},
    {6, "addTo", inPlace<std::plus<float>>, "ref, float ->", "none"},
    {7, "subtractFrom", inPlace<std::minus<float>>, "ref, float ->", "none"},
    {8, "multiplyBy", inPlace<std::multiplies<float>>, "ref, float ->", "none"},
    {9, "divideBy", inPlace<std::divides<float>>, "ref, float ->", "none"},
    {10, "toText", toText, "float -> str", "none"},
    {11, "equals", compare<std::equal_to<float>>, "float, float -> 1|0", "none"},
    {12, "differs", compare<std::not_equal_to<float>>, "float, float -> 1|0", "none"},
    {13, "less", compare<std::less<float>>, "float, float -> 1|0", "none"},
    {14, "lessOrEqual", compare<std::less_equal<float>>, "float, float -> 1|0", "none"},
    {15, "greater", compare<std::greater<float>>, "float, float -> 1|0", "none"},
    {16, "greaterOrEqual", compare<std::greater_equal<float>>, "float, float -> 1|0", "none"},
};

}  // namespace

NATIVE_OPERATIONS(floatOperations, kRows);
