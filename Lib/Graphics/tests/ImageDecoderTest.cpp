// Image bytes from the image: the four formats decode; anything else, a
// truncated file or a declared size past the limits gives null or code 6
// before the pixels are allocated.
#include "GraphicsTestSupport.h"
#include "ImageDecoder.h"
#include "PngCheck.h"

#include <QBuffer>

namespace {

QByteArray encoded(const QImage& im, const char* format) {
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  im.save(&buf, format);
  return bytes;
}

QImage decode(const QByteArray& b) {
  hostmem::Charge c;
  return imagedecoder::decode(reinterpret_cast<const unsigned char*>(b.constData()), static_cast<size_t>(b.size()), c);
}

// A PNG header declaring w by h with nothing after it.
QByteArray pngDeclaring(quint32 w, quint32 h) {
  QByteArray png = encoded(imageOf(1, 1, {0xFF000000u}), "png");
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<char>(w >> (24 - 8 * i));
    png[20 + i] = static_cast<char>(h >> (24 - 8 * i));
  }
  const quint32 crc = pngcheck::crc32(reinterpret_cast<const unsigned char*>(png.constData()) + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
  return png;
}

TEST(ImageDecoder, TheFourFormatsDecode) {
  const QImage im = imageOf(3, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF000000u, 0xFF808080u});
  for (const char* f : {"png", "bmp"}) {
    const QImage back = decode(encoded(im, f));
    ASSERT_FALSE(back.isNull()) << f;
    EXPECT_EQ(back.pixel(0, 0), 0xFFFF0000u) << f;
    EXPECT_EQ(back.pixel(2, 1), 0xFF808080u) << f;
  }
  EXPECT_EQ(decode(encoded(im, "jpg")).size(), QSize(3, 2));
  // The toolkit writes no GIF: one red pixel, by hand.
  const QImage gif = decode(QByteArray("GIF89a\x01\0\x01\0\x80\0\0\xff\0\0\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;", 35));
  ASSERT_FALSE(gif.isNull());
  EXPECT_EQ(gif.pixel(0, 0), 0xFFFF0000u);
}

TEST(ImageDecoder, OtherBytesGiveNull) {
  const QImage im = imageOf(2, 2, {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u});
  EXPECT_TRUE(decode(QByteArray()).isNull());
  EXPECT_TRUE(decode(QByteArray("not an image at all")).isNull());
  EXPECT_TRUE(decode(encoded(im, "ppm")).isNull());   // a format the loader does not take
  const QByteArray png = encoded(im, "png");
  for (int cut : {8, 20, 40, png.size() - 13}) EXPECT_TRUE(decode(png.left(cut)).isNull()) << cut;
  QByteArray flipped = png;
  flipped[png.size() - 20] = static_cast<char>(flipped[png.size() - 20] ^ 1);   // a chunk's check fails
  EXPECT_TRUE(decode(flipped).isNull());
}

// A 2 by 2 grey PNG whose rows are `raw` (filter byte and two pixels each).
QByteArray greyPng(const QByteArray& raw, quint8 interlace = 0) {
  auto chunk = [](const char* type, const QByteArray& data) {
    QByteArray c(4, 0);
    for (int i = 0; i < 4; ++i) c[i] = static_cast<char>(data.size() >> (24 - 8 * i));
    const QByteArray body = QByteArray(type) + data;
    const quint32 crc = pngcheck::crc32(reinterpret_cast<const unsigned char*>(body.constData()), body.size());
    QByteArray tail(4, 0);
    for (int i = 0; i < 4; ++i) tail[i] = static_cast<char>(crc >> (24 - 8 * i));
    return c + body + tail;
  };
  const QByteArray header("\0\0\0\x02\0\0\0\x02\x08\0\0\0", 12);
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header + char(interlace)) +
         chunk("IDAT", qCompress(raw).mid(4)) + chunk("IEND", QByteArray());
}

TEST(ImageDecoder, PngRowsAreCheckedBeforeTheToolkitSeesThem) {
  // The PNG library would report these on standard error itself.
  EXPECT_FALSE(decode(greyPng(QByteArray("\0\x10\x20\0\x30\x40", 6))).isNull());
  EXPECT_TRUE(decode(greyPng(QByteArray("\x07\x10\x20\0\x30\x40", 6))).isNull());   // filter 7
  EXPECT_TRUE(decode(greyPng(QByteArray("\0\x10\x20", 3))).isNull());                   // a row short
  EXPECT_TRUE(decode(greyPng(QByteArray("\0\x10\x20\0\x30\x40", 6), 2)).isNull());  // no such interlace
  // Adam7 of 2 by 2: passes 1, 6 and 7 hold a row of one, one and two pixels.
  EXPECT_FALSE(decode(greyPng(QByteArray("\0\x10\0\x20\0\x30\x40", 7), 1)).isNull());
  EXPECT_TRUE(decode(greyPng(QByteArray("\0\x10\0\x20\0\x30", 6), 1)).isNull());
}

TEST(ImageDecoder, DeclaredSizesPastTheLimitsAreRefusedFirst) {
  const size_t before = hostmem::used();
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, decode(pngDeclaring(1000000, 1000000))),
            "InvalidArgumentException: Image too large");
  LimitGuard g;
  hostmem::setLimit(before + 1000000);
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, decode(pngDeclaring(4000, 4000))),
            "InvalidArgumentException: Host memory limit reached");
  EXPECT_TRUE(decode(pngDeclaring(100, 100)).isNull());   // declared, then truncated
  EXPECT_EQ(hostmem::used(), before);
}

}  // namespace
