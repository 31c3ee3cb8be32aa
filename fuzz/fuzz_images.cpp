// Arbitrary bytes to the picture loaders: every input is decoded as a
// bitmap and as a strip font, then measured and drawn. Decoding must refuse
// what is too large before allocating it, and nothing may crash.
#include "BitmapContainer.h"
#include "Errors.h"
#include "GraphicsContainer.h"
#include "HostMemory.h"
#include "ImageDecoder.h"
#include "NString.h"
#include "NerimFont.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

namespace {
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quiet);
  new QGuiApplication(*argc, *argv);
  hostmem::setLimit(hostmem::used() + (size_t(64) << 20));
  // The font database fills its caches on first use, not in a fuzzed run.
  BitmapContainer warm(BitmapContainer::blank(1, 1));
  GraphicsContainer(GraphicsContainer::onBitmap(warm)).end();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    hostmem::Charge decoding;
    const QImage image = imagedecoder::decode(data, size, decoding);
    if (image.isNull()) return 0;
    BitmapContainer bitmap(BitmapContainer::fromImage(image));
    BitmapContainer target(BitmapContainer::blank(32, 32));
    {
      GraphicsContainer g(GraphicsContainer::onBitmap(target));
      g.drawBitmap(&bitmap, -3, -3, 128);
      g.drawBitmapTiled(&bitmap, 0, 0, 32, 32, 5, 7);
      NerimFont font(NerimFont::build(image));
      const NString text("Hello, world! ~\x7f");
      font.textWidth(text, 0, text.length());
      font.fitCount(text, 0, text.length(), 20);
      g.drawStripText(text, 0, text.length(), 1, 1, 0x80FF0000u, font);
    }
    TInt32 w = 0, h = 0;
    bitmap.size(w, h);
    if (w > 0 && h > 0) bitmap.setPixel(w - 1, h - 1, bitmap.getPixel(0, 0));
  } catch (const ErrorHandlingException&) {
    clearError();
  }
  return 0;
}
