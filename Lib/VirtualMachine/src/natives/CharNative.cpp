// Char group (10): case mapping and classes of one UTF-16 unit. The
// one-character handlers are the String group's too.
#include "NString.h"
#include "NativeHelpers.h"
#include "SharedHandlers.h"

#include <QChar>

namespace {

uint lower(uint c) { return QChar::toLower(c); }
uint upper(uint c) { return QChar::toUpper(c); }

// The character at argument `At` mapped; arguments before it only make room.
template <uint (*Map)(uint), TInt32 At> void mapChar(native::Context& cx) {
  native::Args a(cx, At + 1);
  a.result(Map(static_cast<TChar>(a.word(At))) & 0xFFFFu);
}

template <bool (QChar::*Test)() const> void classOf(native::Context& cx) {
  native::Args a(cx, 1);
  a.result((QChar(static_cast<TChar>(a.word(0))).*Test)() ? 1 : 0);
}

void toText(native::Context& cx) {
  native::Args a(cx, 1);
  a.result(native::newStringFrom(cx.heap(), NString::filled(static_cast<TChar>(a.word(0)), 1)));
}

void toCode(native::Context& cx) {
  native::Args a(cx, 1);
  a.result(a.word(0) & 0xFFFFu);
}

}  // namespace

namespace native {
void charToLower(Context& cx) { mapChar<lower, 0>(cx); }
void charToUpper(Context& cx) { mapChar<upper, 0>(cx); }
void isLetter(Context& cx) { classOf<&QChar::isLetter>(cx); }
void isDigit(Context& cx) { classOf<&QChar::isDigit>(cx); }
void isSpace(Context& cx) { classOf<&QChar::isSpace>(cx); }
}  // namespace native

namespace {

const native::Operation kRows[] = {
    {1, "toLower", mapChar<lower, 1>, "word, c -> c", "none"},
    {2, "toUpper", mapChar<upper, 1>, "word, c -> c", "none"},
    {3, "charToLower", native::charToLower, "c -> c", "none"},
    {4, "charToUpper", native::charToUpper, "c -> c", "none"},
    {5, "isLetter", native::isLetter, "c -> 1|0", "none"},
    {6, "isDigit", native::isDigit, "c -> 1|0", "none"},
    {7, "isSpace", native::isSpace, "c -> 1|0", "none"},
    {8, "toString", toText, "c -> str", "none"},
    {9, "code", toCode, "c -> int", "none"},
};

}  // namespace

NATIVE_OPERATIONS(charOperations, kRows);
