#pragma once
// Surfaces built outside the heap for tests.
#include "BitmapContainer.h"
#include "GraphicsContainer.h"
#include "TestSupport.h"

#include <QImage>

inline std::unique_ptr<BitmapContainer> bitmap(TInt32 w, TInt32 h, TUint32 colour) {
  std::unique_ptr<BitmapContainer> b(new BitmapContainer(BitmapContainer::blank(w, h)));
  b->fill(colour);
  return b;
}

inline std::unique_ptr<GraphicsContainer> painterOn(BitmapContainer& b) {
  return std::unique_ptr<GraphicsContainer>(new GraphicsContainer(GraphicsContainer::onBitmap(b)));
}

// An image from rows of 0xAARRGGBB words.
inline QImage imageOf(TInt32 w, TInt32 h, const std::vector<TUint32>& pixels) {
  QImage im(w, h, QImage::Format_ARGB32);
  for (TInt32 y = 0; y < h; ++y)
    for (TInt32 x = 0; x < w; ++x) im.setPixel(x, y, pixels[static_cast<size_t>(y * w + x)]);
  return im;
}

struct LimitGuard {
  size_t saved = hostmem::limit();
  ~LimitGuard() { hostmem::setLimit(saved); }
};
