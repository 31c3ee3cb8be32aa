#include "NativeFont.h"

#include "Errors.h"
#include "HeldText.h"
#include "NString.h"
#include "Surface.h"

#include <QFontMetrics>
#include <QString>

namespace {
HeldQString slice(const NString& text, TInt32 first, TInt32 count) { return heldQString(text.units() + first, count); }
}  // namespace

void NativeFont::checkSize(TInt32 sizeIndex) {
  if (sizeIndex < 0 || sizeIndex > 2) raise(ERR_INVALID_ARGUMENT, "Unknown font size");
  surface::requireGui();
}

NativeFont::NativeFont() : iMetrics(new QFontMetrics(surface::nativeFace())) {}
NativeFont::~NativeFont() { delete iMetrics; }

TInt32 NativeFont::ascent() { return iMetrics->ascent(); }
TInt32 NativeFont::height() { return iMetrics->height(); }

TInt32 NativeFont::textWidth(const NString& text, TInt32 first, TInt32 count) {
  if (count < 1) return 0;
  return iMetrics->horizontalAdvance(slice(text, first, count));
}

TInt32 NativeFont::fitCount(const NString& text, TInt32 first, TInt32 count, TInt32 maxWidth) {
  if (count < 1) return 0;
  const HeldQString s = slice(text, first, count);
  if (iMetrics->horizontalAdvance(s, count) <= maxWidth) return count;
  // Prefix advances grow with the prefix: the first one too wide is found by
  // halving, so a long string costs log n layouts rather than n.
  TInt32 fits = 0, tooWide = count;
  while (tooWide - fits > 1) {
    const TInt32 mid = fits + (tooWide - fits) / 2;
    if (iMetrics->horizontalAdvance(s, mid) > maxWidth) tooWide = mid; else fits = mid;
  }
  return fits;
}
