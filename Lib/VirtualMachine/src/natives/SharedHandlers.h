#pragma once
// Handlers that two groups' tables share; each is defined once, in the file
// named beside it.
#include "NativeRegistry.h"

namespace native {

// CharNative.cpp: one character in, the String and Char groups' results.
void charToLower(Context& cx);   // c -> c
void charToUpper(Context& cx);   // c -> c
void isLetter(Context& cx);      // c -> 1 or 0
void isDigit(Context& cx);
void isSpace(Context& cx);

// StringNative.cpp: the unsigned value in a radix (String and Number groups).
void radixText(Context& cx);     // value, radix -> str

}  // namespace native
