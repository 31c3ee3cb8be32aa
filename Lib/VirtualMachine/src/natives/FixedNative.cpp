// Fixed group (11): NFixed construction, arithmetic, comparison, text and
// conversion to whole numbers. f is two slots, fref the address of eight bytes.
#include "NativeFixed.h"
#include "NRaw.h"
#include "NString.h"

#include <functional>

using native::Args;
using native::fixedAt;
using native::fixedResult;

namespace {

typedef NFixed (*Unary)(NFixed);
typedef NFixed (*Binary)(NFixed, NFixed);

void load(native::Context& cx) {   // fref -> f
  Args a(cx, 1);
  fixedResult(a, native::loadFixed(a.word(0)));
}

void fromByte(native::Context& cx) {
  Args a(cx, 1);
  fixedResult(a, NFixed::whole(static_cast<TInt8>(a.word(0))));
}

void fromInt(native::Context& cx) {
  Args a(cx, 1);
  fixedResult(a, NFixed::whole(a.integer(0)));
}

void parse(native::Context& cx) {
  Args a(cx, 1);
  fixedResult(a, NRaw::parse(native::stringAt(a.word(0))));
}

template <Unary F> void unary(native::Context& cx) {   // f -> f
  Args a(cx, 2);
  fixedResult(a, F(fixedAt(a, 0)));
}

template <Binary F> void binary(native::Context& cx) {   // f, f -> f
  Args a(cx, 4);
  fixedResult(a, F(fixedAt(a, 0), fixedAt(a, 2)));
}

template <Binary F> void inPlace(native::Context& cx) {   // fref, f
  Args a(cx, 3);
  const VMAddr at = a.word(0);
  native::storeFixed(at, F(native::loadFixed(at), fixedAt(a, 1)));
  a.noResult();
}

template <Binary F> void step(native::Context& cx) {   // fref: += or -= 1.0
  Args a(cx, 1);
  const VMAddr at = a.word(0);
  native::storeFixed(at, F(native::loadFixed(at), NFixed::ONE()));
  a.noResult();
}

template <typename Relation> void compare(native::Context& cx) {   // f, f -> 1|0
  Args a(cx, 4);
  a.result(native::truth(Relation()(fixedAt(a, 0), fixedAt(a, 2))));
}

void text(native::Context& cx, TInt32 arguments, TInt32 digits) {
  Args a(cx, arguments);
  if (arguments == 2) digits = a.integer(1);
  a.result(native::newStringFrom(a.heap(), NRaw::toText(native::loadFixed(a.word(0)), digits)));
}
void textWithDigits(native::Context& cx) { text(cx, 2, 0); }   // fref, digits
void defaultText(native::Context& cx) { text(cx, 1, -1); }     // fref

template <TInt32 (*F)(NFixed)> void toWhole(native::Context& cx) {   // f -> int
  Args a(cx, 2);
  a.result(static_cast<TUint32>(F(fixedAt(a, 0))));
}

template <NFixed (*F)()> void constant(native::Context& cx) {
  Args a(cx, 0);
  fixedResult(a, F());
}

void clear(native::Context& cx) {   // fref as a cell reference
  Args a(cx, 1);
  native::storeFixed(native::deref(a.word(0)), NFixed());
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "load", load, "fref -> f", "none"},
    {2, "fromByte", fromByte, "b -> f", "none"},
    {3, "fromInt", fromInt, "int -> f", "none"},
    {4, "parse", parse, "str -> f", "4 \"Invalid number format\"; 9 \"Number too large\""},
    {5, "abs", unary<NRaw::abs>, "f -> f", "none"},
    {6, "negate", unary<NRaw::negate>, "f -> f", "none"},
    {7, "add", binary<NRaw::add>, "f, f -> f", "none"},
    {8, "subtract", binary<NRaw::subtract>, "f, f -> f", "none"},
    {9, "multiply", binary<NRaw::multiply>, "f, f -> f", "none"},
    {10, "divide", binary<NRaw::divide>, "f, f -> f", "8 \"Division by zero\""},
    {11, "pow", binary<NRaw::pow>, "f, f -> f", "8 \"Zero to a negative power\"; 8 \"Negative base to a fractional power\"; 9 \"fRet > 0.0\""},
    {12, "addTo", inPlace<NRaw::add>, "fref, f ->", "none"},
    {13, "subtractFrom", inPlace<NRaw::subtract>, "fref, f ->", "none"},
    {14, "multiplyBy", inPlace<NRaw::multiply>, "fref, f ->", "none"},
    {15, "divideBy", inPlace<NRaw::divide>, "fref, f ->", "8 \"Division by zero\""},
    {16, "increment", step<NRaw::add>, "fref ->", "none"},
    {17, "decrement", step<NRaw::subtract>, "fref ->", "none"},
    {18, "equals", compare<std::equal_to<NFixed>>, "f, f -> 1|0", "none"},
    {19, "differs", compare<std::not_equal_to<NFixed>>, "f, f -> 1|0", "none"},
    {20, "less", compare<std::less<NFixed>>, "f, f -> 1|0", "none"},
    {21, "lessOrEqual", compare<std::less_equal<NFixed>>, "f, f -> 1|0", "none"},
    {22, "greater", compare<std::greater<NFixed>>, "f, f -> 1|0", "none"},
    {23, "greaterOrEqual", compare<std::greater_equal<NFixed>>, "f, f -> 1|0", "none"},
    {24, "toTextWithDigits", textWithDigits, "fref, int -> str", "6 \"Invalid number of digits\"; 6 \"Too many digits\""},
    {25, "toText", defaultText, "fref -> str", "none"},
    {26, "round", toWhole<NRaw::round>, "f -> int", "none"},
    {27, "ceiling", toWhole<NRaw::ceiling>, "f -> int", "none"},
    {28, "floor", toWhole<NRaw::floor>, "f -> int", "none"},
    {29, "min", constant<NFixed::MIN>, "-> f", "none"},
    {30, "max", constant<NFixed::MAX>, "-> f", "none"},
    {31, "clear", clear, "fref ->", "none"},
};

}  // namespace

NATIVE_OPERATIONS(fixedOperations, kRows);
