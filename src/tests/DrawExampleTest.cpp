// The drawing example rendered headless with mcbrun --screenshot: chosen
// pixels of the picture follow from the drawing rules, a canvas kept from
// the first frame draws nothing in the second, and standard error holds
// the log lines and the runtime's own warnings only.
#include "ScriptMachine.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

const QRgb kBackground = 0xFF102040u;

struct Shot {
  QImage image;
  QByteArray errors;
  int status;
};

Shot render(const QStringList& extra, const QString& app = QStringLiteral(DRAW_EXAMPLE_DIR),
           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
  QTemporaryDir dir;
  const QString file = dir.path() + "/shot.png";
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(MCBRUN_PATH), QStringList{"--verify-heap", "--screenshot", file} + extra +
                                           QStringList{app});
  EXPECT_TRUE(p.waitForFinished(60000));
  return Shot{QImage(file).convertToFormat(QImage::Format_ARGB32), p.readAllStandardError(), p.exitCode()};
}

TEST(DrawExample, PixelsFollowTheDrawingRules) {
  const Shot s = render({"--frames", "2"});
  ASSERT_EQ(s.status, 0) << s.errors.constData();
  EXPECT_EQ(s.errors, "LOG: picture width 16\nLOG: corner ffffff00\nLOG: strip font ascent 5\n"
                      "Null BitmapContainer\nNull BitmapContainer\n");
  const QImage& im = s.image;
  ASSERT_EQ(im.size(), QSize(800, 480));
  auto at = [&](int x, int y) { return im.pixel(x, y); };
  EXPECT_EQ(at(799, 479), kBackground);   // not white: the kept canvas drew nothing
  EXPECT_EQ(at(20, 20), 0xFFFF0000u);
  EXPECT_EQ(at(80, 20), 0xFF7F8000u);     // green at alpha 128 over red
  EXPECT_EQ(at(120, 20), 0xFF089020u);    // ... and over the background
  EXPECT_EQ(at(100, 80), 0xFFFFFF00u);
  EXPECT_EQ(at(100, 81), kBackground);
  int lit = 0;   // the native text: "Draw" at 40 pixels
  for (int y = 100; y < 150; ++y)
    for (int x = 10; x < 120; ++x) lit += at(x, y) == 0xFFFFFFFFu;
  EXPECT_GT(lit, 200);
  // strip text from '<' onwards skipped: "MCB" starts at x 10; M's top row is "101"
  EXPECT_EQ(at(10, 160), 0xFFFFFFFFu);
  EXPECT_EQ(at(11, 160), kBackground);
  EXPECT_EQ(at(12, 160), 0xFFFFFFFFu);
  // the picture whole, half transparent, its white quarter, tiled from column 8
  EXPECT_EQ(at(300, 20), 0xFFFFFF00u);
  EXPECT_EQ(at(308, 20), 0xFF00FF00u);
  EXPECT_EQ(at(300, 28), 0xFF0000FFu);
  EXPECT_EQ(at(315, 35), 0xFFFFFFFFu);
  EXPECT_EQ(at(320, 20), 0xFF878F20u);
  EXPECT_EQ(at(340, 20), 0xFFFFFFFFu);
  EXPECT_EQ(at(347, 27), 0xFFFFFFFFu);
  EXPECT_EQ(at(348, 20), kBackground);
  EXPECT_EQ(at(400, 20), 0xFF00FF00u);
  EXPECT_EQ(at(408, 20), 0xFFFFFF00u);
  EXPECT_EQ(at(439, 59), 0xFF00FF00u);
  EXPECT_EQ(at(440, 20), kBackground);
  // a half turn scaled twice about (500, 100): the yellow corner lands bottom right
  EXPECT_EQ(at(514, 114), 0xFFFFFF00u);
  EXPECT_EQ(at(515, 115), 0xFFFFFF00u);
  EXPECT_EQ(at(513, 113), 0xFFFF0000u);
  EXPECT_EQ(at(484, 84), 0xFFFFFFFFu);
  EXPECT_EQ(at(484, 115), 0xFF00FF00u);
  EXPECT_EQ(at(515, 84), 0xFF0000FFu);
  EXPECT_EQ(at(516, 116), kBackground);
  EXPECT_EQ(at(483, 83), kBackground);
  // the bitmap written pixel by pixel and drawn into
  EXPECT_EQ(at(600, 20), 0xFF000000u);
  EXPECT_EQ(at(601, 21), 0xFFFF00FFu);
  EXPECT_EQ(at(604, 24), 0xFF00FFFFu);
  EXPECT_EQ(at(607, 27), 0xFF00FFFFu);
}

TEST(DrawExample, NoToolkitNotesWithoutADesktopSession) {
  // No runtime directory, no platform chosen: mcbrun picks the offscreen
  // one and standard error still holds only the image's lines.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("XDG_RUNTIME_DIR");
  env.remove("QT_QPA_PLATFORM");
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  const Shot s = render({}, QStringLiteral(DRAW_EXAMPLE_DIR), env);
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.errors, "LOG: picture width 16\nLOG: corner ffffff00\nLOG: strip font ascent 5\nNull BitmapContainer\n");
  EXPECT_EQ(s.image.pixel(20, 20), 0xFFFF0000u);
}

TEST(DrawExample, NoFramesLeavesTheBlackStart) {
  const Shot s = render({"--frames", "0"});
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.image.size(), QSize(800, 480));
  EXPECT_EQ(s.image.pixel(20, 20), 0xFF000000u);
}

TEST(DrawExample, PortraitGivesATallBackingPixmap) {
  QTemporaryDir dir;
  const std::vector<TUint8> image = assembleImage(
      ".globals 4\n"
      ".method main export=\"main\"\n  PUSH_IMM32 1\n  NATIVE_CALL Screen 3\n"
      "  PUSH_GLOBALS\n  NATIVE_CALL System 5\n  RETURN 0, 1\n"
      ".method draw params=2 export=\"<application>.draw to*<canvas>\"\n"
      "  LOAD_LOCAL -2\n  PUSH_IMM32 0xFFFF0000\n  NATIVE_CALL Graphics 8\n  RETURN 0, 3\n");
  ASSERT_FALSE(image.empty());
  QFile f(dir.path() + "/index.mcb");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
  f.close();
  const Shot s = render({}, dir.path());
  EXPECT_EQ(s.status, 0) << s.errors.constData();
  EXPECT_EQ(s.errors, "");
  EXPECT_EQ(s.image.size(), QSize(480, 800));
  EXPECT_EQ(s.image.pixel(479, 799), 0xFFFF0000u);
}

}  // namespace
