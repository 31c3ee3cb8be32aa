#include "BitmapContainer.h"

#include "Errors.h"
#include "Surface.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

namespace {

// Both buffers may exist at once (the pixmap and the pixel-access image).
hostmem::Charge chargeFor(TInt32 width, TInt32 height) { return hostmem::Charge(2 * surface::pixelBytes(width, height)); }

BitmapContainer* containerOf(VMBitmap& b) { return dynamic_cast<BitmapContainer*>(&b); }

}  // namespace

std::unique_ptr<BitmapContainer::Pixels> BitmapContainer::blank(TInt32 width, TInt32 height) {
  surface::requireGui();
  std::unique_ptr<Pixels> p(new Pixels);
  p->charge = chargeFor(width, height);
  p->pixmap = std::make_shared<QPixmap>(width, height);
  if (p->pixmap->isNull() && width > 0 && height > 0) hostmem::exhausted();
  return p;
}

std::unique_ptr<BitmapContainer::Pixels> BitmapContainer::fromImage(const QImage& image) {
  surface::requireGui();
  std::unique_ptr<Pixels> p(new Pixels);
  p->charge = chargeFor(image.width(), image.height());
  p->pixmap = std::make_shared<QPixmap>(QPixmap::fromImage(image));
  return p;
}

QImage BitmapContainer::currentImage() const {
  return d->image.isNull() ? d->pixmap->toImage() : d->image;
}

const std::shared_ptr<QPixmap>& BitmapContainer::pixmapOf() {
  if (!d->image.isNull()) {
    *d->pixmap = QPixmap::fromImage(d->image);
    d->image = QImage();
  }
  return d->pixmap;
}

// The image is always Format_ARGB32, so a pixel is one QRgb word of its line.
void BitmapContainer::ensureImage() {
  if (d->image.isNull()) d->image = d->pixmap->toImage().convertToFormat(QImage::Format_ARGB32);
}

void BitmapContainer::assignFrom(BitmapContainer& other) {
  QPixmap copy = other.d->image.isNull() ? other.d->pixmap->copy() : QPixmap::fromImage(other.d->image);
  d->charge = chargeFor(copy.width(), copy.height());
  *d->pixmap = copy;
  d->image = QImage();
}

bool BitmapContainer::save(QByteArray& out, const QString& format) {
  if (d->pixmap->isNull()) return false;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QByteArray name = format.toLatin1();
  const char* fmt = name.isEmpty() ? nullptr : name.constData();
  const bool ok = d->image.isNull() ? d->pixmap->save(&buffer, fmt) : d->image.save(&buffer, fmt);
  if (!bytes.isEmpty()) out = bytes;
  return ok;
}

void BitmapContainer::scaleFrom(VMBitmap& source, TInt32 mode) {
  BitmapContainer* s = containerOf(source);
  if (!s || s->d->pixmap->isNull()) return;
  const Qt::TransformationMode how = mode == 10 ? Qt::SmoothTransformation : Qt::FastTransformation;
  const QSize to = d->pixmap->size();
  if (s->d->image.isNull())
    *d->pixmap = s->d->pixmap->scaled(to, Qt::IgnoreAspectRatio, how);
  else
    *d->pixmap = QPixmap::fromImage(s->d->image.scaled(to, Qt::IgnoreAspectRatio, how));
}

void BitmapContainer::copyRegionFrom(VMBitmap& source, TInt32 x, TInt32 y, TInt32 width, TInt32 height) {
  BitmapContainer* s = containerOf(source);
  if (!s) return;
  const QRect r(x, y, width, height);
  *d->pixmap = s->d->image.isNull() ? s->d->pixmap->copy(r) : QPixmap::fromImage(s->d->image.copy(r));
}

void BitmapContainer::fill(TUint32 colour) {
  if ((colour >> 24) == 255) {
    d->image = QImage();   // every pixel is replaced: nothing to convert back
    d->pixmap->fill(surface::colour(colour));
    return;
  }
  // Raw value, not premultiplied: a read gives back exactly this word.
  ensureImage();
  d->image.fill(colour);
}

// Straight to the line: the toolkit's per-pixel calls switch on the format
// every time. scanLine detaches a shared image before the write.
TUint32 BitmapContainer::getPixel(TInt32 x, TInt32 y) {
  ensureImage();
  if (!d->image.valid(x, y)) return 0;
  return reinterpret_cast<const QRgb*>(d->image.constScanLine(y))[x];
}

void BitmapContainer::setPixel(TInt32 x, TInt32 y, TUint32 colour) {
  ensureImage();
  if (d->image.valid(x, y)) reinterpret_cast<QRgb*>(d->image.scanLine(y))[x] = colour;
}

void BitmapContainer::size(TInt32& width, TInt32& height) {
  width = d->pixmap->width();
  height = d->pixmap->height();
  if (width < 0 || height < 0) raise(ERR_INVALID_ARGUMENT, "");
}
