#pragma once
// The native font: the runtime's one installed face at pixel size 40,
// measured with the toolkit's font metrics.
#include "CAppsFont.h"

class QFontMetrics;

GCOBJECT_PACK_BEGIN
class NativeFont : public CAppsFont {
 public:
  // Size indexes 0 to 2 all give 40 pixels; others raise code 6
  // "Unknown font size". Call before allocating the font's block.
  static void checkSize(TInt32 sizeIndex);

  NativeFont();
  ~NativeFont() override;
  NativeFont(const NativeFont&) = delete;
  NativeFont& operator=(const NativeFont&) = delete;

  TInt32 ascent() override;
  TInt32 height() override;
  TInt32 textWidth(const NString& text, TInt32 first, TInt32 count) override;
  TInt32 fitCount(const NString& text, TInt32 first, TInt32 count, TInt32 maxWidth) override;
  TInt32 fontKind() override { return NATIVE; }

 private:
  QFontMetrics* iMetrics;
};
GCOBJECT_PACK_END
