#include "ImageDecoder.h"

#include "PngCheck.h"
#include "Surface.h"
#include "Types.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace imagedecoder {

namespace {

bool accepted(const QByteArray& format) {
  return format == "png" || format == "jpeg" || format == "gif" || format == "bmp";
}

}  // namespace

QImage decode(const unsigned char* bytes, size_t count, hostmem::Charge& charge) {
  if (!bytes || count == 0 || count > 0x7FFFFFFFu) return QImage();
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<int>(count));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  if (!accepted(reader.format())) return QImage();
  const bool png = reader.format() == "png";
  if (png && !pngcheck::wellFormed(bytes, count)) return QImage();
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) return QImage();
  // The picture plus the decoder's own working buffers (a progressive JPEG
  // keeps every coefficient), counted before any of them exists.
  charge = hostmem::Charge(3 * surface::pixelBytes(size.width(), size.height()));
  if (png && !pngcheck::intact(bytes, count)) return QImage();
  QImage image;
  if (!reader.read(&image)) return QImage();
  // A reader that produced more than it declared is not trusted.
  if (image.width() > size.width() || image.height() > size.height()) return QImage();
  return image;
}

}  // namespace imagedecoder
