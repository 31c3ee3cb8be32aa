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

typedef NFixed (*Binary)(NFixed, NFixed);

void load(native::Context& cx) {   // fref -> f
  Args a(cx, 1);
  fixedResult(a, native::loadFixed(a.word(0)));
}

template <typename T> void fromWhole(native::Context& cx) {   // byte or int -> f
  Args a(cx, 1);
  fixedResult(a, NFixed::whole(static_cast<T>(a.word(0))));
}

void parse(native::Context& cx) {
  Args a(cx, 1);
  fixedResult(a, NRaw::parse(native::stringAt(a.word(0))));
}

template <Binary F> void binary(native::Context& cx) {   // f, f -> f
  Args a(cx, 4);
  fixedResult(a, F(fixedAt(a, 0), fixedAt(a, 2)));
}

template <Binary F, bool ByOne = false> void inPlace(native::Context& cx) {   // fref, f (ByOne: fref, by 1.0)
  Args a(cx, ByOne ? 1 : 3);
  const VMAddr at = a.word(0);
  native::storeFixed(at, F(native::loadFixed(at), ByOne ? NFixed::ONE() : fixedAt(a, 1)));
  a.noResult();
}

template <typename Relation> void compare(native::Context& cx) {   // f, f -> 1|0
  Args a(cx, 4);
  a.result(native::truth(Relation()(fixedAt(a, 0), fixedAt(a, 2))));
}

template <bool WithDigits> void text(native::Context& cx) {   // fref, [digits]
  Args a(cx, WithDigits ? 2 : 1);
  const TInt32 digits = WithDigits ? a.integer(1) : -1;
  a.result(native::newStringFrom(a.heap(), NRaw::toText(native::loadFixed(a.word(0)), digits)));
}

template <TInt32 (*F)(NFixed)> void toWhole(native::Context& cx) {   // f -> int
  Args a(cx, 2);
  a.result(static_cast<TUint32>(F(fixedAt(a, 0))));
}

void clear(native::Context& cx) {   // fref as a cell reference
  Args a(cx, 1);
  native::storeFixed(native::deref(a.word(0)), NFixed());
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "load", load, "fref -> f", "none"},
    {2, "fromByte", fromWhole<TInt8>, "b -> f", "none"},
    {3, "fromInt", fromWhole<TInt32>, "int -> f", "none"},
    {4, "parse", parse, "str -> f", "4 \"Invalid number format\"; 9 \"Number too large\""},
    {5, "abs", native::fixedFunction<NRaw::abs>, "f -> f", "none"},
    {6, "negate", native::fixedFunction<NRaw::negate>, "f -> f", "none"},
    {7, "add", binary<NRaw::add>, "f, f -> f", "none"},
    {8, "subtract", binary<NRaw::subtract>, "f, f -> f", "none"},
    {9, "multiply", binary<NRaw::multiply>, "f, f -> f", "none"},
    {10, "divide", binary<NRaw::divide>, "f, f -> f", "8 \"Division by zero\""},
    {11, "pow", binary<NRaw::pow>, "f, f -> f", "8 \"Zero to a negative power\"; 8 \"Negative base to a fractional power\"; 9 \"fRet > 0.0\""},
    {12, "addTo", inPlace<NRaw::add>, "fref, f ->", "none"},
    {13, "subtractFrom", inPlace<NRaw::subtract>, "fref, f ->", "none"},
    {14, "multiplyBy", inPlace<NRaw::multiply>, "fref, f ->", "none"},
    {15, "divideBy", inPlace<NRaw::divide>, "fref, f ->", "8 \"Division by zero\""},
    {16, "increment", inPlace<NRaw::add, true>, "fref ->", "none"},
    {17, "decrement", inPlace<NRaw::subtract, true>, "fref ->", "none"},
    {18, "equals", compare<std::equal_to<NFixed>>, "f, f -> 1|0", "none"},
    {19, "differs", compare<std::not_equal_to<NFixed>>, "f, f -> 1|0", "none"},
    {20, "less", compare<std::less<NFixed>>, "f, f -> 1|0", "none"},
    {21, "lessOrEqual", compare<std::less_equal<NFixed>>, "f, f -> 1|0", "none"},
    {22, "greater", compare<std::greater<NFixed>>, "f, f -> 1|0", "none"},
    {23, "greaterOrEqual", compare<std::greater_equal<NFixed>>, "f, f -> 1|0", "none"},
    {24, "toTextWithDigits", text<true>, "fref, int -> str", "6 \"Invalid number of digits\"; 6 \"Too many digits\""},
    {25, "toText", text<false>, "fref -> str", "none"},
    {26, "round", toWhole<NRaw::round>, "f -> int", "none"},
    {27, "ceiling", toWhole<NRaw::ceiling>, "f -> int", "none"},
    {28, "floor", toWhole<NRaw::floor>, "f -> int", "none"},
    {29, "min", native::fixedConstant<NFixed::MIN>, "-> f", "none"},
    {30, "max", native::fixedConstant<NFixed::MAX>, "-> f", "none"},
    {31, "clear", clear, "fref ->", "none"},
};

}  // namespace

NATIVE_OPERATIONS(fixedOperations, kRows);
