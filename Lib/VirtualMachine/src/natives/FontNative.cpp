// Font group (20): measuring text with a font cell's font. A null font
// word gives 0 without asking the font; range errors come first.
#include "CAppsFont.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "NativeRegistry.h"

using native::Args;
using native::Context;

namespace {

// The font in a font cell, or null.
CAppsFont* fontIn(TUint32 cell) {
  const VMAddr f = native::derefCell(cell);
  return f ? &native::objectOf<CAppsFont>(f) : nullptr;
}

void height(Context& cx) {   // font -> int
  Args a(cx.state, 1);
  CAppsFont* f = fontIn(a.word(0));
  a.result(static_cast<TUint32>(f ? f->height() : 0));
}

void ascent(Context& cx) {   // font -> int
  Args a(cx.state, 1);
  CAppsFont* f = fontIn(a.word(0));
  a.result(static_cast<TUint32>(f ? f->ascent() : 0));
}

// The text argument and the range of it an operation measures.
struct Span {
  const NString& text;
  TInt32 first;
  TInt32 count;
};
Span whole(const Args& a) {
  const NString& s = native::stringAt(a.word(1));
  return Span{s, 0, s.length()};
}
Span ranged(const Args& a) {
  const NString& s = native::stringAt(a.word(1));
  TInt32 first = a.integer(2), count = a.integer(3);
  native::checkRange(0, s.length(), first, count);
  return Span{s, first, count};
}

void measure(Args& a, const Span& s) {
  CAppsFont* f = fontIn(a.word(0));
  a.result(static_cast<TUint32>(f ? f->textWidth(s.text, s.first, s.count) : 0));
}
void fit(Args& a, const Span& s, TInt32 maxWidth) {
  CAppsFont* f = fontIn(a.word(0));
  a.result(static_cast<TUint32>(f ? f->fitCount(s.text, s.first, s.count, maxWidth) : 0));
}

void textWidth(Context& cx) {   // font, str -> int
  Args a(cx.state, 2);
  measure(a, whole(a));
}
void rangeWidth(Context& cx) {   // font, str, first, count -> int
  Args a(cx.state, 4);
  measure(a, ranged(a));
}
void fitCount(Context& cx) {   // font, str, max -> int
  Args a(cx.state, 3);
  fit(a, whole(a), a.integer(2));
}
void rangeFitCount(Context& cx) {   // font, str, first, count, max -> int
  Args a(cx.state, 5);
  fit(a, ranged(a), a.integer(4));
}

const native::Operation kRows[] = {
    {2, "height", height, "font -> int", "none"},
    {3, "ascent", ascent, "font -> int", "none"},
    {4, "textWidth", textWidth, "font, str -> int", "none"},
    {5, "rangeWidth", rangeWidth, "font, str, first, count -> int", "5 \"Invalid Range, ...\""},
    {6, "fitCount", fitCount, "font, str, max -> int", "none"},
    {7, "rangeFitCount", rangeFitCount, "font, str, first, count, max -> int", "5 \"Invalid Range, ...\""},
};

}  // namespace

NATIVE_OPERATIONS(fontOperations, kRows);
