// Bitmaps and painters: the two pixel states, the colour and opacity
// rules, and the bitmap drawing operations, checked pixel by pixel.
#include "GraphicsTestSupport.h"

#include <QPainter>
#include <QPixmap>

namespace {

const TUint32 A = 0xFFFF0000u, B = 0xFF00FF00u, C = 0xFF0000FFu, D = 0xFFFFFFFFu, E = 0xFF000000u, F = 0xFF808080u;

TEST(Bitmap, PixelWordsAndFillsKeepTheirRawValue) {
  auto b = bitmap(4, 3, 0xFF000000u);
  EXPECT_FALSE(b->imageCurrent());   // an opaque fill goes through the pixmap
  EXPECT_EQ(b->getPixel(3, 2), 0xFF000000u);
  b->setPixel(1, 1, 0x80123456u);
  EXPECT_EQ(b->getPixel(1, 1), 0x80123456u);
  EXPECT_TRUE(b->imageCurrent());
  b->fill(0x80FF0000u);   // not premultiplied: every pixel keeps the word
  for (TInt32 y = 0; y < 3; ++y)
    for (TInt32 x = 0; x < 4; ++x) ASSERT_EQ(b->getPixel(x, y), 0x80FF0000u);
  b->fill(0xFF00FF00u);
  EXPECT_FALSE(b->imageCurrent());
  EXPECT_EQ(b->getPixel(0, 0), 0xFF00FF00u);
  TInt32 w = 0, h = 0;
  b->size(w, h);
  EXPECT_EQ(w * 10 + h, 43);
}

TEST(Bitmap, StateChangesConvertOncePerChange) {
  auto b = bitmap(2, 2, 0xFF000000u);
  const qint64 before = b->pixmapOf()->cacheKey();
  for (int i = 0; i < 4; ++i) b->setPixel(i % 2, i / 2, 0xFF0000FFu);
  EXPECT_TRUE(b->imageCurrent());
  EXPECT_EQ(b->pixmapOf()->cacheKey(), b->pixmapOf()->cacheKey());   // one rebuild, then current
  EXPECT_NE(b->pixmapOf()->cacheKey(), before);
  EXPECT_EQ(b->pixmapOf()->toImage().pixel(1, 1), 0xFF0000FFu);
}

TEST(Bitmap, CopiesScalesAndSavesTheCurrentPixels) {
  auto src = bitmap(10, 10, 0xFF000000u);
  src->setPixel(9, 0, A);   // image-current source
  auto region = bitmap(2, 1, 0xFFFFFFFFu);
  region->copyRegionFrom(*src, 8, 0, 2, 1);
  EXPECT_EQ(region->getPixel(1, 0), A);
  auto tall = bitmap(10, 20, 0xFFFFFFFFu);
  tall->scaleFrom(*src, 0);
  EXPECT_EQ(tall->getPixel(9, 0), A);
  EXPECT_EQ(tall->getPixel(9, 1), A);   // the row doubled
  EXPECT_EQ(tall->getPixel(9, 2), 0xFF000000u);
  auto copy = bitmap(1, 1, 0xFFFFFFFFu);
  copy->assignFrom(*src);
  EXPECT_EQ(copy->getPixel(9, 0), A);
  QByteArray png;
  EXPECT_TRUE(copy->save(png, QStringLiteral("png")));
  EXPECT_TRUE(png.startsWith("\x89PNG"));
  QByteArray none;
  EXPECT_FALSE(copy->save(none, QString()));
  EXPECT_TRUE(none.isEmpty());
}

TEST(Bitmap, ScalingIsSmoothOnlyInModeTen) {
  std::unique_ptr<BitmapContainer> src(
      new BitmapContainer(BitmapContainer::fromImage(imageOf(2, 1, {0xFF000000u, 0xFFFFFFFFu}))));
  auto fast = bitmap(8, 1, 0xFF00FF00u);
  fast->scaleFrom(*src, 0);
  auto smooth = bitmap(8, 1, 0xFF00FF00u);
  smooth->scaleFrom(*src, 10);
  int between = 0;
  for (TInt32 x = 0; x < 8; ++x) {
    const TUint32 f = fast->getPixel(x, 0);
    EXPECT_TRUE(f == 0xFF000000u || f == 0xFFFFFFFFu) << x;
    const TUint32 s = smooth->getPixel(x, 0);
    between += s != 0xFF000000u && s != 0xFFFFFFFFu;
  }
  EXPECT_GT(between, 0);
}

TEST(Bitmap, SizesOverTheLimitsAreRefusedBeforeTheToolkit) {
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, BitmapContainer::blank(16385, 1)),
            "InvalidArgumentException: Image too large");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, BitmapContainer::blank(1, 0x7FFFFFFF));
  LimitGuard g;
  hostmem::setLimit(hostmem::used() + 1000000);
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, BitmapContainer::blank(1000, 1000)),
            "InvalidArgumentException: Host memory limit reached");
  const size_t before = hostmem::used();
  {
    auto small = bitmap(100, 100, 0xFF000000u);
    EXPECT_EQ(hostmem::used(), before + 2 * 100 * 100 * 4);
  }
  EXPECT_EQ(hostmem::used(), before);
}

TEST(Graphics, DrawingIntoABitmapIsSeenAfterTheContainerEnds) {
  auto b = bitmap(8, 8, 0xFF000000u);
  auto g = painterOn(*b);
  g->fillRect(2, 2, 3, 3, A);
  g->drawLine(0, 7, 7, 7, B);
  g->fillRect(6, 0, 2, 2, 0x80FFFFFFu);   // source-over at half alpha
  g->end();
  EXPECT_EQ(b->getPixel(2, 2), A);
  EXPECT_EQ(b->getPixel(4, 4), A);
  EXPECT_EQ(b->getPixel(5, 5), 0xFF000000u);
  EXPECT_EQ(b->getPixel(3, 7), B);
  EXPECT_EQ(b->getPixel(6, 0), 0xFF808080u);
  g->fillRect(0, 0, 8, 8, C);   // ended: draws nothing
  EXPECT_EQ(b->getPixel(0, 0), 0xFF000000u);
}

TEST(Graphics, EmptyBitmapGetsNoPainter) {
  std::unique_ptr<BitmapContainer> b(new BitmapContainer(BitmapContainer::blank(0, 5)));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, painterOn(*b)), "VMException: GraphicsContainer: invalid bitmap");
}

TEST(Graphics, AnEndedCanvasLeavesThePixmapFreeForTheNextPainter) {
  QPixmap backing(16, 16);
  backing.fill(Qt::black);
  GraphicsContainer kept(GraphicsContainer::onPixmap(&backing));
  kept.fillRect(0, 0, 4, 4, A);
  kept.end();
  kept.fillRect(4, 4, 4, 4, B);   // a kept canvas draws nothing afterwards
  {
    GraphicsContainer next(GraphicsContainer::onPixmap(&backing));
    EXPECT_TRUE(next.active());
    next.clear(C);
  }
  EXPECT_EQ(backing.toImage().pixel(15, 15), C);
  EXPECT_EQ(backing.toImage().pixel(5, 5), C);
}

TEST(Graphics, BitmapDrawingHonoursOpacityRegionAndSelf) {
  auto src = bitmap(2, 2, 0xFFFFFFFFu);
  src->setPixel(1, 1, A);
  auto dst = bitmap(6, 6, 0xFF000000u);
  auto g = painterOn(*dst);
  g->drawBitmap(src.get(), 0, 0, 255);
  g->drawBitmap(src.get(), 3, 0, 128);
  g->drawBitmapRegion(src.get(), 0, 4, 1, 1, 1, 1, 255);
  g->drawBitmap(dst.get(), 3, 3, 255);   // its own target: drawn from a copy
  g->end();
  EXPECT_EQ(dst->getPixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(dst->getPixel(1, 1), A);
  EXPECT_EQ(dst->getPixel(3, 0), 0xFF7F7F7Fu);   // white at opacity 128/255 on black
  EXPECT_EQ(dst->getPixel(0, 4), A);
  EXPECT_EQ(dst->getPixel(1, 4), 0xFF000000u);
  EXPECT_EQ(dst->getPixel(4, 4), A);   // (1, 1) drawn again at (3, 3)
  EXPECT_EQ(dst->getPixel(5, 5), 0xFF000000u);
}

TEST(Graphics, NullBitmapOnlyWarns) {
  auto dst = bitmap(2, 2, 0xFF000000u);
  auto g = painterOn(*dst);
  g->drawBitmap(nullptr, 0, 0, 255);
  g->drawBitmapTiled(nullptr, 0, 0, 2, 2, 0, 0);
  g->end();
  EXPECT_EQ(dst->getPixel(0, 0), 0xFF000000u);
}

// 3.141 as the images write it: 64-bit fixed point, 32 fractional bits.
const TInt64 kPiFixed = static_cast<TInt64>(3.141 * 4294967296.0);
const TInt64 kOne = TInt64(1) << 32;

TEST(Graphics, TransformedBy3141IsExactlyAHalfTurn) {
  // 3 by 2, every pixel different.
  std::unique_ptr<BitmapContainer> src(
      new BitmapContainer(BitmapContainer::fromImage(imageOf(3, 2, {A, B, C, D, E, F}))));
  auto dst = bitmap(10, 10, 0xFF202020u);
  auto g = painterOn(*dst);
  // Centre (5, 5), half size truncated to (1, 1): pixel (x, y) lands on (5 + 1 - 1 - x, 5 + 1 - 1 - y).
  g->drawBitmapTransformed(src.get(), 5, 5, kPiFixed, kOne, kOne, 255);
  g->end();
  EXPECT_EQ(dst->getPixel(5, 5), A);
  EXPECT_EQ(dst->getPixel(4, 5), B);
  EXPECT_EQ(dst->getPixel(3, 5), C);
  EXPECT_EQ(dst->getPixel(5, 4), D);
  EXPECT_EQ(dst->getPixel(3, 4), F);
  EXPECT_EQ(dst->getPixel(6, 5), 0xFF202020u);
  EXPECT_EQ(dst->getPixel(2, 4), 0xFF202020u);
}

TEST(Graphics, TransformedScalesAboutTheCentre) {
  std::unique_ptr<BitmapContainer> src(new BitmapContainer(BitmapContainer::fromImage(imageOf(2, 2, {A, B, C, D}))));
  auto dst = bitmap(10, 10, 0xFF202020u);
  auto g = painterOn(*dst);
  g->drawBitmapTransformed(src.get(), 5, 5, 0, 2 * kOne, 2 * kOne, 255);
  g->end();
  EXPECT_EQ(dst->getPixel(3, 3), A);
  EXPECT_EQ(dst->getPixel(4, 4), A);
  EXPECT_EQ(dst->getPixel(5, 3), B);
  EXPECT_EQ(dst->getPixel(6, 6), D);
  EXPECT_EQ(dst->getPixel(7, 7), 0xFF202020u);
}

TEST(Graphics, TilingStartsAtTheOffset) {
  std::unique_ptr<BitmapContainer> tile(new BitmapContainer(BitmapContainer::fromImage(imageOf(2, 2, {A, B, C, D}))));
  auto dst = bitmap(8, 8, 0xFF000000u);
  auto g = painterOn(*dst);
  g->drawBitmapTiled(tile.get(), 1, 1, 5, 5, 1, 0);   // tile column 1 first
  g->end();
  EXPECT_EQ(dst->getPixel(1, 1), B);
  EXPECT_EQ(dst->getPixel(2, 1), A);
  EXPECT_EQ(dst->getPixel(3, 1), B);
  EXPECT_EQ(dst->getPixel(1, 2), D);
  EXPECT_EQ(dst->getPixel(2, 3), A);
  EXPECT_EQ(dst->getPixel(6, 1), 0xFF000000u);
  EXPECT_EQ(dst->getPixel(0, 0), 0xFF000000u);
}

}  // namespace
