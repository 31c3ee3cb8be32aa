#include "NerimFont.h"

#include "Errors.h"
#include "NString.h"
#include "Surface.h"

#include <QPainter>

namespace {

// The value of a pixel: the first byte in memory, which is blue.
inline TUint32 value(const QImage& argb, TInt32 x, TInt32 y) {
  return reinterpret_cast<const QRgb*>(argb.constScanLine(y))[x] & 0xFFu;
}

}  // namespace

std::unique_ptr<NerimFont::Glyphs> NerimFont::build(const QImage& source) {
  std::unique_ptr<Glyphs> g(new Glyphs);
  if (source.isNull()) return g;
  const TInt32 W = source.width(), H = source.height();
  // Coverage, the coloured pixmap, and the 32-bit copy read while building.
  g->charge = hostmem::Charge(surface::pixelBytes(W, H) / 4 * 9);
  const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
  g->pixelData = QImage(W, H, QImage::Format_Indexed8);
  if (argb.isNull() || g->pixelData.isNull()) hostmem::exhausted();
  g->pixelData.fill(0);
  g->height = H - 1;
  for (TInt32 y = 0; y < H - 1; ++y) {
    uchar* row = g->pixelData.scanLine(y);
    for (TInt32 x = 0; x < W; ++x) row[x] = static_cast<uchar>(value(argb, x, y));
  }
  while (g->ascent < H - 1 && value(argb, 0, g->ascent) != 0) ++g->ascent;

  if (W < 3) return g;
  const TInt32 marker = H - 1;
  size_t n = 0;
  for (TInt32 x = 2; x < W; ++x) n += value(argb, x, marker) != 0;
  if (n == 0) return g;
  // A marker at column 1 would make an empty first glyph and one boundary
  // more than the table holds.
  if (value(argb, 1, marker) != 0) raise(ERR_INVALID_ARGUMENT, "");
  g->table.reserve(n);
  TInt32 previous = 1;
  for (TInt32 x = 2; x < W; ++x) {
    if (value(argb, x, marker) == 0) continue;
    g->table.push_back(CharData{previous, x - previous});
    previous = x;
  }
  return g;
}

TInt32 NerimFont::textWidth(const NString& text, TInt32 first, TInt32 count) {
  TInt32 total = 0;
  for (TInt32 i = 0; i < count; ++i)
    if (const CharData* c = glyph(text.units()[first + i])) total += c->width;
  return total;
}

TInt32 NerimFont::fitCount(const NString& text, TInt32 first, TInt32 count, TInt32 maxWidth) {
  TInt32 total = 0;
  for (TInt32 i = 0; i < count; ++i) {
    const CharData* c = glyph(text.units()[first + i]);
    total += c ? c->width : 0;
    if (total > maxWidth) return i;
  }
  return count;
}

void NerimFont::colourise(TUint32 colour) {
  const TUint32 c = colour | 0xFF000000u;
  if (c == d->cachedColour && !d->pixelData.colorTable().isEmpty()) return;
  QVector<QRgb> table(256);
  for (TUint32 i = 0; i < 256; ++i) table[i] = (i << 24) | (c & 0x00FFFFFFu);
  d->pixelData.setColorTable(table);
  d->cachedColour = c;
  d->glyphPixmap = QPixmap::fromImage(d->pixelData);
}

void NerimFont::draw(QPainter& painter, const NString& text, TInt32 first, TInt32 count, TInt32 x, TInt32 y,
                     TUint32 colour) {
  if (count <= 0 || d->table.empty()) return;
  colourise(colour);
  painter.save();
  if ((colour >> 24) != 255) painter.setOpacity((colour >> 24) / 255.0);
  for (TInt32 i = 0; i < count; ++i) {
    const CharData* c = glyph(text.units()[first + i]);
    if (!c || c->width == 0) continue;
    painter.drawPixmap(QRect(x, y, c->width, d->height), d->glyphPixmap, QRect(c->offset, 0, c->width, d->height));
    x += c->width;
  }
  painter.restore();
}
