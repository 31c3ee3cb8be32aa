// Char group (10): case mapping and classes of one UTF-16 unit. The
// one-character handlers are the String group's too.
#include "NString.h"
#include "NativeHelpers.h"
#include "SharedHandlers.h"

#include <QChar>

namespace {

TChar charOf(const native::Args& a, TInt32 i) { return static_cast<TChar>(a.word(i)); }

// The first argument is only a place for the result.
template <uint (*Map)(uint)> void mapSecond(native::Context& cx) {
  native::Args a(cx, 2);
  a.result(Map(charOf(a, 1)) & 0xFFFFu);
}

template <bool (QChar::*Test)() const> void classOf(native::Context& cx) {
  native::Args a(cx, 1);
  a.result((QChar(charOf(a, 0)).*Test)() ? 1 : 0);
}

void toText(native::Context& cx) {
  native::Args a(cx, 1);
  a.result(native::newStringFrom(cx.heap(), NString::filled(charOf(a, 0), 1)));
}

void toCode(native::Context& cx) {
  native::Args a(cx, 1);
  a.result(a.word(0) & 0xFFFFu);
}

uint lower(uint c) { return QChar::toLower(c); }
uint upper(uint c) { return QChar::toUpper(c); }

}  // namespace

namespace native {

void charToLower(Context& cx) {
  Args a(cx, 1);
  a.result(lower(charOf(a, 0)) & 0xFFFFu);
}
void charToUpper(Context& cx) {
  Args a(cx, 1);
  a.result(upper(charOf(a, 0)) & 0xFFFFu);
}
void isLetter(Context& cx) { classOf<&QChar::isLetter>(cx); }
void isDigit(Context& cx) { classOf<&QChar::isDigit>(cx); }
void isSpace(Context& cx) { classOf<&QChar::isSpace>(cx); }

}  // namespace native

namespace {

const native::Operation kRows[] = {
    {1, "toLower", mapSecond<lower>, "word, c -> c"},
    {2, "toUpper", mapSecond<upper>, "word, c -> c"},
    {3, "charToLower", native::charToLower, "c -> c"},
    {4, "charToUpper", native::charToUpper, "c -> c"},
    {5, "isLetter", native::isLetter, "c -> 1|0"},
    {6, "isDigit", native::isDigit, "c -> 1|0"},
    {7, "isSpace", native::isSpace, "c -> 1|0"},
    {8, "toString", toText, "c -> str"},
    {9, "code", toCode, "c -> int"},
};

}  // namespace

NATIVE_OPERATIONS(charOperations, kRows);
