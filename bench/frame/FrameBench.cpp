// Frames per second of one drawing frame made from bytecode (frame.asm:
// 1000 fillRect, 100 drawBitmap, 1000 setPixel, 100 draw string on the
// 800x480 canvas, through the paint path) beside the same calls made
// directly on QPainter and QImage, in the same run. Both draw the same
// frames from the same start; the pictures must be equal, else the timing
// is not trusted. Best of several runs taken in turns; prints both rates
// and the ratio. A second argument sets the number of runs (1 for an
// instruction count under callgrind).
#include "CAppsFileReader.h"
#include "ClientVM.h"
#include "Errors.h"
#include "FramePainter.h"
#include "HostMessages.h"
#include "HostServices.h"
#include "Surface.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <functional>

namespace {

const int kFrames = 60;
const int kDefaultRuns = 15;

// The direct frame: the calls frame.asm makes, in the same order.
struct Direct {
  QPixmap sprite{32, 32};
  QImage pixels{100, 100, QImage::Format_ARGB32};
  QFont font = surface::nativeFace();
  QString text = QStringLiteral("Frame text");

  Direct() {
    sprite.fill(QColor::fromRgba(0xFF3366CCu));
    QPainter p(&sprite);
    p.fillRect(QRect(4, 4, 8, 8), QColor::fromRgba(0xFFFFCC00u));
    pixels.fill(0xFF000000u);
  }

  void frame(QPixmap& canvas) {
    QPainter p(&canvas);
    p.setFont(font);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 1000; ++i)
      p.fillRect(QRect(i * 13 % 780, i * 7 % 470, 20, 10), QColor::fromRgba(0xFF000000u | (i * 0x10305u)));
    for (int i = 0; i < 100; ++i) p.drawPixmap(i * 37 % 760, i * 23 % 440, sprite);
    for (int i = 0; i < 1000; ++i) pixels.setPixel(i % 100, i * 7 % 100, 0xFF000000u | (i * 66051u));
    p.drawImage(700, 380, pixels);
    p.setPen(QColor::fromRgba(0xFFFFFFFFu));
    for (int i = 0; i < 100; ++i) {
      const int x = i * 53 % 700, y = i * 29 % 430;
      p.drawText(QRect(QPoint(x, y), QPoint(x + 32767, y + 32767)), Qt::AlignLeft | Qt::AlignTop, text);
    }
  }
};

// CPU seconds of this thread: on a shared machine, time spent waiting for a
// core is not the frame's.
double cpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

// CPU seconds for kFrames frames on a fresh canvas; the picture goes to *last.
double run(const std::function<void(QPixmap&)>& frame, QImage* last) {
  QPixmap canvas(800, 480);
  canvas.fill(Qt::black);
  const double t0 = cpuSeconds();
  for (int f = 0; f < kFrames; ++f) frame(canvas);
  const double s = cpuSeconds() - t0;
  *last = canvas.toImage();
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  installHostMessageFilter();
  preferOffscreenPlatform();
  QGuiApplication app(argc, argv);
  const int runs = argc > 2 ? std::atoi(argv[2]) : kDefaultRuns;
  if (argc < 2 || runs < 1) {
    std::fprintf(stderr, "usage: frame_bench IMAGE.mcb [RUNS]\n");
    return 2;
  }
  try {
    HostServices host(CAppsString::fromQString(QDir::currentPath()));
    ClientVM vm(&host);
    host.start(&vm);
    CAppsFileReader reader{CAppsString::fromQString(QString::fromLocal8Bit(argv[1]))};
    if (!reader.isOpen()) {
      std::fprintf(stderr, "cannot open %s\n", argv[1]);
      return 1;
    }
    vm.load(reader, CAppsString("index.mcb"));
    vm.callGlobalInit();
    vm.callMain();

    // Same start and the same frames on both sides, pictures compared
    // first. The two sides take turns, so load on the machine falls on both.
    QImage fromBytecode, fromDirect;
    Direct direct;
    double bytecode = 1e9, plain = 1e9;
    for (int r = 0; r < runs; ++r) {
      bytecode = std::min(bytecode, run([&](QPixmap& canvas) { paintFrame(canvas, vm); }, &fromBytecode));
      plain = std::min(plain, run([&](QPixmap& canvas) { direct.frame(canvas); }, &fromDirect));
    }
    if (fromBytecode.convertToFormat(QImage::Format_RGB32) != fromDirect.convertToFormat(QImage::Format_RGB32)) {
      std::fprintf(stderr, "the two frames differ (frame-bytecode.png, frame-direct.png): timing not trusted\n");
      fromBytecode.save(QStringLiteral("frame-bytecode.png"));
      fromDirect.save(QStringLiteral("frame-direct.png"));
      return 1;
    }
    std::printf("frames equal: yes\n");
    std::printf("bytecode frame: %.1f fps (thread CPU time)\n", kFrames / bytecode);
    std::printf("direct frame:   %.1f fps (thread CPU time)\n", kFrames / plain);
    std::printf("ratio (bytecode time / direct time): %.3f\n", bytecode / plain);
  } catch (const ErrorHandlingException&) {
    std::fprintf(stderr, "FATAL: %s\n", currentErrorText().toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
