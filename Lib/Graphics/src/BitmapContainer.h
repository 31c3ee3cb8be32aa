#pragma once
// A bitmap: a pixmap for drawing and, while pixels are read or written one
// by one, a 32-bit ARGB image beside it. At most one of the two is current:
// a non-null image holds the pixels; pixmapOf moves them back. Each change
// of state converts once, never per pixel.
//
// The pixels live in a host allocation counted against the host-memory
// limit (both buffers, for the whole life of the bitmap). Build the pixels
// first (that may raise), then the object in its heap block.
#include "HostMemory.h"
#include "VMBitmap.h"

#include <QImage>
#include <QPixmap>
#include <memory>

// The host side of a bitmap (declared outside the packed heap object: it
// keeps its natural alignment).
struct BitmapPixels {
  std::shared_ptr<QPixmap> pixmap;
  QImage image;              // null while the pixmap is current
  hostmem::Charge charge;
};

GCOBJECT_PACK_BEGIN
class BitmapContainer final : public VMBitmap {
 public:
  typedef BitmapPixels Pixels;

  // An uninitialised w-by-h picture; code 6 above the size or memory limits.
  static std::unique_ptr<Pixels> blank(TInt32 width, TInt32 height);
  // The picture of a decoded image (already counted by the decoder when
  // `charge` holds its bytes).
  static std::unique_ptr<Pixels> fromImage(const QImage& image);

  explicit BitmapContainer(std::unique_ptr<Pixels> pixels) : d(pixels.release()) {}
  ~BitmapContainer() override { delete d; }
  BitmapContainer(const BitmapContainer&) = delete;
  BitmapContainer& operator=(const BitmapContainer&) = delete;

  bool save(QByteArray& out, const QString& format) override;
  void scaleFrom(VMBitmap& source, TInt32 mode) override;
  void copyRegionFrom(VMBitmap& source, TInt32 x, TInt32 y, TInt32 width, TInt32 height) override;
  void fill(TUint32 colour) override;
  TUint32 getPixel(TInt32 x, TInt32 y) override;
  void setPixel(TInt32 x, TInt32 y, TUint32 colour) override;
  void size(TInt32& width, TInt32& height) override;
  int getContentSize() const override { return static_cast<int>(d->charge.bytes()); }

  // Takes the other's current pixels; pixmap-current afterwards.
  void assignFrom(BitmapContainer& other);
  // Pixmap-current; the shared picture (a painter keeps it alive).
  const std::shared_ptr<QPixmap>& pixmapOf();
  void ensureImage();
  bool imageCurrent() const { return !d->image.isNull(); }

 private:
  // The current pixels as an image (the image, or the pixmap converted).
  QImage currentImage() const;

  Pixels* d;
};
GCOBJECT_PACK_END
