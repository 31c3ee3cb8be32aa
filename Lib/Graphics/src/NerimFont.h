#pragma once
// The image-strip font: one row of glyphs in an image whose last row marks
// where each glyph starts and whose first column marks the ascent. Glyph i
// stands for character 32 + i. The glyphs are kept as 8-bit coverage and
// coloured through a colour table, rebuilt only when the colour changes.
#include "CAppsFont.h"
#include "HostMemory.h"

#include <QImage>
#include <QPixmap>
#include <memory>
#include <vector>

class QPainter;

struct CharData {
  TInt32 offset;   // first column in the strip
  TInt32 width;    // columns
};

// The host side of a strip font (outside the packed heap object: it keeps
// its natural alignment).
struct StripGlyphs {
  TInt32 ascent = 0;
  TInt32 height = 0;
  std::vector<CharData> table;
  QImage pixelData;               // 8-bit coverage
  QPixmap glyphPixmap;            // coloured, null until first drawing
  TUint32 cachedColour = 0xFFFFFFFFu;
  hostmem::Charge charge;
};

GCOBJECT_PACK_BEGIN
class NerimFont : public CAppsFont {
 public:
  typedef StripGlyphs Glyphs;

  // Reads the strip; code 6 for a marker at column 1 (and over the limits).
  // Call before allocating the font's block.
  static std::unique_ptr<Glyphs> build(const QImage& image);

  explicit NerimFont(std::unique_ptr<Glyphs> glyphs) : d(glyphs.release()) {}
  ~NerimFont() override { delete d; }
  NerimFont(const NerimFont&) = delete;
  NerimFont& operator=(const NerimFont&) = delete;

  TInt32 ascent() override { return d->ascent; }
  TInt32 height() override { return d->height; }
  TInt32 textWidth(const NString& text, TInt32 first, TInt32 count) override;
  TInt32 fitCount(const NString& text, TInt32 first, TInt32 count, TInt32 maxWidth) override;
  TInt32 fontKind() override { return STRIP; }
  int getContentSize() const override { return static_cast<int>(d->charge.bytes()); }

  const std::vector<CharData>& glyphTable() const { return d->table; }
  // Identifies the coloured glyph pixmap (changes when it is rebuilt).
  qint64 glyphPixmapKey() const { return d->glyphPixmap.cacheKey(); }
  // Draws the characters left to right from (x, y) in the colour; its alpha
  // is the opacity.
  void draw(QPainter& painter, const NString& text, TInt32 first, TInt32 count, TInt32 x, TInt32 y, TUint32 colour);

 private:
  const CharData* glyph(TUint32 code) const {
    return code >= 32 && code - 32 < d->table.size() ? &d->table[code - 32] : nullptr;
  }
  void colourise(TUint32 colour);

  Glyphs* d;
};
GCOBJECT_PACK_END
