#include "ImageDecoder.h"

#include "Surface.h"
#include "Types.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstring>

namespace imagedecoder {

namespace {

bool accepted(const QByteArray& format) {
  return format == "png" || format == "jpeg" || format == "gif" || format == "bmp";
}

TUint32 be32(const unsigned char* p) { return TUint32(p[0]) << 24 | TUint32(p[1]) << 16 | TUint32(p[2]) << 8 | p[3]; }

// Every chunk whole with a good check, ending in IEND. The PNG library
// reports a broken file on standard error by itself, past the toolkit's
// message handler, so broken files do not reach it.
bool pngIntact(const unsigned char* p, size_t n) {
  size_t at = 8;
  while (n - at >= 12) {
    const size_t length = be32(p + at);
    if (length > n - at - 12) return false;
    if (crc32(p + at + 4, length + 4) != be32(p + at + 8 + length)) return false;
    if (std::memcmp(p + at + 4, "IEND", 4) == 0) return true;
    at += length + 12;
  }
  return false;
}

}  // namespace

unsigned int crc32(const unsigned char* p, size_t n) {
  static TUint32 table[256];
  if (!table[1])
    for (TUint32 i = 0; i < 256; ++i) {
      TUint32 c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
  TUint32 c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

QImage decode(const unsigned char* bytes, size_t count, hostmem::Charge& charge) {
  if (!bytes || count == 0 || count > 0x7FFFFFFFu) return QImage();
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<int>(count));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  if (!accepted(reader.format())) return QImage();
  if (reader.format() == "png" && !pngIntact(bytes, count)) return QImage();
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) return QImage();
  // The picture plus the decoder's own working buffers (a progressive JPEG
  // keeps every coefficient), counted before any of them exists.
  charge = hostmem::Charge(3 * surface::pixelBytes(size.width(), size.height()));
  QImage image;
  if (!reader.read(&image)) return QImage();
  // A reader that produced more than it declared is not trusted.
  if (image.width() > size.width() || image.height() > size.height()) return QImage();
  return image;
}

}  // namespace imagedecoder
