// Strip fonts read from their marker pixels, measured and drawn; the
// native font is the installed face at 40 pixels everywhere.
#include "GraphicsTestSupport.h"
#include "NativeFont.h"
#include "NerimFont.h"
#include "Surface.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <string>

namespace {

// A strip W wide and H high: glyph rows all 0xFF (blue channel), column 0
// marking `ascent` rows, markers at the given columns of the last row.
QImage strip(TInt32 w, TInt32 h, TInt32 ascent, const std::vector<TInt32>& markers) {
  QImage im(w, h, QImage::Format_ARGB32);
  im.fill(0xFF0000FFu);
  for (TInt32 y = 0; y < h - 1; ++y) im.setPixel(0, y, y < ascent ? 0xFF0000FFu : 0xFF000000u);
  for (TInt32 x = 0; x < w; ++x) im.setPixel(x, h - 1, 0xFF000000u);
  for (TInt32 m : markers) im.setPixel(m, h - 1, 0xFF0000FFu);
  return im;
}

std::unique_ptr<NerimFont> font(const QImage& im) { return std::unique_ptr<NerimFont>(new NerimFont(NerimFont::build(im))); }

NString units(std::initializer_list<TChar> cs) {
  std::vector<TChar> v(cs);
  return NString::fromUnits(v.data(), 0, static_cast<TInt32>(v.size()) - 1);
}

TEST(StripFont, GlyphExtentsComeFromTheMarkerRow) {
  auto one = font(strip(3, 4, 0, {2}));
  ASSERT_EQ(one->glyphTable().size(), 1u);
  EXPECT_EQ(one->glyphTable()[0].offset, 1);
  EXPECT_EQ(one->glyphTable()[0].width, 1);
  auto two = font(strip(12, 14, 10, {5, 9}));
  ASSERT_EQ(two->glyphTable().size(), 2u);
  EXPECT_EQ(two->glyphTable()[0].offset * 10 + two->glyphTable()[0].width, 14);
  EXPECT_EQ(two->glyphTable()[1].offset * 10 + two->glyphTable()[1].width, 54);
  EXPECT_EQ(two->ascent(), 10);   // rows 0-9 marked, row 10 not
  EXPECT_EQ(two->height(), 13);
  EXPECT_EQ(two->fontKind(), 1);
  EXPECT_EQ(font(strip(2, 4, 0, {1}))->glyphTable().size(), 0u);   // narrower than 3
  EXPECT_EQ(font(QImage())->height(), 0);
}

TEST(StripFont, MarkerAtColumnOneIsRejected) {
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, NerimFont::build(strip(12, 4, 0, {1, 5})));
}

TEST(StripFont, MeasuresByGlyphWidths) {
  auto f = font(strip(12, 14, 10, {5, 9}));   // ' ' and '!' are 4 wide
  const NString s = units({' ', '!', 'A', 31, ' '});
  EXPECT_EQ(f->textWidth(s, 0, 5), 12);   // 'A' and 31 have no glyph
  EXPECT_EQ(f->textWidth(s, 1, 1), 4);
  EXPECT_EQ(f->fitCount(s, 0, 5, 3), 0);
  EXPECT_EQ(f->fitCount(s, 0, 5, 8), 4);   // widths 0 still fit after the second
  EXPECT_EQ(f->fitCount(s, 0, 5, 12), 5);
  EXPECT_EQ(f->fitCount(s, 0, 0, 100), 0);
}

TEST(StripFont, DrawsCoverageInTheColourAndKeepsTheGlyphsPerColour) {
  QImage im = strip(12, 6, 0, {5, 9});
  im.setPixel(2, 1, 0xFF000080u);   // half coverage in glyph ' '
  auto f = font(im);
  auto dst = bitmap(20, 10, 0xFF000000u);
  auto g = painterOn(*dst);
  const NString s = units({' ', 'x', '!'});
  g->drawStripText(s, 0, 3, 1, 2, 0xFFFF0000u, *f);
  const qint64 red = f->glyphPixmapKey();
  g->drawStripText(s, 2, 1, 10, 2, 0x80FF0000u, *f);   // same RGB, half opacity: not rebuilt
  EXPECT_EQ(f->glyphPixmapKey(), red);
  g->drawStripText(s, 2, 1, 15, 2, 0xFF00FF00u, *f);   // another colour: rebuilt
  EXPECT_NE(f->glyphPixmapKey(), red);
  g->end();
  EXPECT_EQ(dst->getPixel(1, 2), 0xFFFF0000u);
  EXPECT_EQ(dst->getPixel(2, 3), 0xFF800000u);
  EXPECT_EQ(dst->getPixel(5, 2), 0xFFFF0000u);   // '!' follows; 'x' took no room
  EXPECT_EQ(dst->getPixel(9, 2), 0xFF000000u);
  EXPECT_EQ(dst->getPixel(10, 2), 0xFF7F0000u);
  EXPECT_EQ(dst->getPixel(1, 7), 0xFF000000u);   // height 5: rows 2-6
  EXPECT_EQ(dst->getPixel(15, 2), 0xFF00FF00u);
}

TEST(NativeFont, IsTheInstalledFaceAtFortyPixels) {
  EXPECT_EQ(QFontInfo(surface::nativeFace()).family(), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(QFontInfo(surface::nativeFace()).pixelSize(), 40);
  NativeFont f;
  EXPECT_EQ(f.ascent(), 38);
  EXPECT_EQ(f.height(), 48);
  const NString s("Hello");
  EXPECT_EQ(f.textWidth(s, 0, 5), 101);
  EXPECT_EQ(f.textWidth(s, 0, 0), 0);
  EXPECT_EQ(f.fitCount(s, 0, 5, f.textWidth(s, 0, 3)), 3);
  EXPECT_EQ(f.fitCount(s, 0, 5, 1000), 5);
  EXPECT_EQ(f.fitCount(s, 0, 5, 0), 0);
  EXPECT_EQ(f.fontKind(), 0);
  NativeFont::checkSize(2);
  // Every width gets the longest prefix, laid out within the text, no wider
  // than it.
  const NString mixed("Wil, im. QmjW");
  const QString laidOut = QStringLiteral("Wil, im. QmjW");
  const QFontMetrics metrics(surface::nativeFace());
  for (TInt32 width = 0; width <= f.textWidth(mixed, 0, 13) + 1; ++width) {
    TInt32 longest = 0;
    while (longest < 13 && metrics.horizontalAdvance(laidOut, longest + 1) <= width) ++longest;
    ASSERT_EQ(f.fitCount(mixed, 0, 13, width), longest) << "width " << width;
  }
  // A long string is measured a few times, not once per prefix.
  const NString longText(std::string(200000, 'i').c_str());
  const TInt32 w = f.textWidth(longText, 0, 1000);
  const TInt32 n = f.fitCount(longText, 0, 200000, w);
  EXPECT_LE(f.textWidth(longText, 0, n), w);
  EXPECT_GT(f.textWidth(longText, 0, n + 1), w);
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, NativeFont::checkSize(3)),
            "InvalidArgumentException: Unknown font size");
}

}  // namespace
