// Painting through the X server: the frame the image draws reaches the
// screen as it is, or rotated for a portrait image on a landscape window;
// the portrait request and the blanking pause reach the stand-ins; a
// recording replays headless to the same log and the same picture.
#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

using windowtest::WindowWorld;

namespace {

const QString kScreen = QStringLiteral(WINDOW_TESTS_DIR "/screen.asm");

class Painting : public WindowWorld {
 protected:
  void start(const QStringList& extra = {}) {
    assemble(kScreen);
    if (HasFatalFailure()) return;
    startRuntime(extra);
    if (HasFatalFailure()) return;
    ASSERT_EQ(WindowWorld::nextLog(), "LOG: started");
  }
  // The next line other than a frame's: how many frames the window draws
  // depends on the toolkit (exposures, merged requests).
  QByteArray nextLog() {
    QByteArray line;
    do line = WindowWorld::nextLog();
    while (line == "LOG: draw");
    return line;
  }
  // Waits until the screen shows the colour at the point.
  QImage screenWith(int x, int y, QRgb colour) {
    QImage shot;
    for (int i = 0; i < 100; ++i) {
      shot = screenshot();
      if (shot.pixel(x, y) == colour) break;
      QThread::msleep(50);
    }
    EXPECT_EQ(shot.pixel(x, y), colour) << "at " << x << "," << y;
    return shot;
  }
  QByteArray windowHex() const { return "0x" + QByteArray::number(window.toULongLong(), 16); }
  // The lines the runtime logged, in order.
  static QList<QByteArray> logLines(const QByteArray& output) {
    QList<QByteArray> logs;
    for (const QByteArray& line : output.split('\n'))
      if (line.startsWith("LOG: ") || line.startsWith("FATAL: ")) logs.append(line);
    return logs;
  }
};

TEST_F(Painting, APortraitImageIsShownRotatedOnALandscapeWindow) {
  start();
  const QImage landscape = screenWith(5, 5, 0xFFFF0000u);
  // The window shows the pixmap as it is: the marks where they were drawn.
  EXPECT_EQ(landscape.pixel(5, 5), 0xFFFF0000u);
  EXPECT_EQ(landscape.pixel(310, 105), 0xFF00FF00u);
  EXPECT_EQ(landscape.pixel(5, 470), 0xFF0000FFu);
  EXPECT_EQ(landscape.pixel(150, 150), 0xFF808080u);

  key("o");
  EXPECT_EQ(nextLog(), "LOG: size 480 800");
  EXPECT_EQ(wm.nextStarting("portrait"), "portrait " + windowHex() + " 1 CARDINAL 32");
  const QImage portrait = screenWith(5, 475, 0xFFFF0000u);
  // Window point (wx, wy) shows pixmap point (H - 1 - wy, wx), H = 480.
  int compared = 0;
  for (int wy = 0; wy < 480; wy += 7)
    for (int wx = 0; wx < 480; wx += 5) {
      ASSERT_EQ(portrait.pixel(wx, wy), landscape.pixel(479 - wy, wx)) << "at window " << wx << "," << wy;
      ++compared;
    }
  EXPECT_GT(compared, 6000);
  EXPECT_EQ(portrait.pixel(5, 475), 0xFFFF0000u);

  // The same orientation again asks nothing of the window manager.
  key("o");
  EXPECT_EQ(nextLog(), "LOG: size 480 800");
  key("l");
  EXPECT_EQ(nextLog(), "LOG: size 800 480");
  EXPECT_EQ(wm.nextStarting("portrait"), "portrait " + windowHex() + " 0 CARDINAL 32");
  key("s");
  EXPECT_EQ(nextLog(), "LOG: size 800 480");
}

TEST_F(Painting, RepaintRequestsMapThroughTheRotation) {
  const QString recording = root.path() + "/run.rec";
  start({"--record", recording});
  key("o");
  EXPECT_EQ(nextLog(), "LOG: size 480 800");
  screenWith(5, 475, 0xFFFF0000u);
  key("r");
  key("s");  // logs after the repaint request: its frame is then due
  EXPECT_EQ(nextLog(), "LOG: size 480 800");
  key("l");
  EXPECT_EQ(nextLog(), "LOG: size 800 480");
  screenWith(5, 5, 0xFFFF0000u);
  key("r");
  key("s");
  EXPECT_EQ(nextLog(), "LOG: size 800 480");
  QThread::msleep(300);
  runtime.stop();
  QFile f(recording);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QList<QByteArray> draws;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.contains(" draw ")) draws.append(line.mid(line.indexOf(" draw ") + 1));
  // Rotated, the canvas rectangle (10, 20, 30, 40) went out as the window
  // rectangle (20, 480 - 10 - 30, 40, 30) and came back as the same clip.
  EXPECT_EQ(draws.count("draw 10 20 30 40"), 2) << draws.join('\n').constData();
}

TEST_F(Painting, BlankingPauseRequestsReachTheModeControlService) {
  start();
  key("b");
  EXPECT_EQ(nextLog(), "LOG: paused");
  key("b");
  EXPECT_EQ(nextLog(), "LOG: paused");
  EXPECT_TRUE(mce.next().startsWith("req_display_blanking_pause "));
  key("n");
  EXPECT_EQ(nextLog(), "LOG: resumed");
  EXPECT_TRUE(mce.next(500).isNull()) << "a second request while paused";
  key("b");
  EXPECT_EQ(nextLog(), "LOG: paused");
  EXPECT_TRUE(mce.next().startsWith("req_display_blanking_pause "));
}

TEST_F(Painting, AWindowedRunTurnsItsWindow) {
  start({"--windowed"});
  QByteArray out;
  ASSERT_TRUE(x("xdotool", {"getwindowgeometry", window}, &out));
  EXPECT_TRUE(out.contains("Geometry: 800x480")) << out.constData();
  key("o");
  EXPECT_EQ(nextLog(), "LOG: size 480 800");
  ASSERT_TRUE(x("xdotool", {"getwindowgeometry", window}, &out));
  EXPECT_TRUE(out.contains("Geometry: 480x800")) << out.constData();
}

TEST_F(Painting, ARecordingReplaysHeadlessToTheSameLogAndPicture) {
  const QString recording = root.path() + "/run.rec";
  start({"--record", recording});
  wm.send("current all");
  EXPECT_EQ(wm.nextStarting("set"), "set");
  for (const char* k : {"a", "b", "c", "n", "d"}) key(k);
  ASSERT_TRUE(x("xdotool", {"mousemove", "--window", window, "10", "20", "click", "1"}));
  key("e");
  // a, c, d and e count (b and n pause and resume blanking): the square
  // shows the fourth count's colour.
  const QImage shown = screenWith(210, 210, 0xFF000000u | (4u * 0x102030u));
  runtime.stop();

  const QString shot = root.path() + "/replayed.png";
  QProcess replay;
  QProcessEnvironment headless = env;
  headless.remove("DISPLAY");
  replay.setProcessEnvironment(headless);
  replay.start(MCBRUN_PATH, {"--replay", recording, "--screenshot", shot, app});
  ASSERT_TRUE(replay.waitForFinished(30000));
  EXPECT_EQ(replay.exitCode(), 0) << replay.readAllStandardError().constData();
  EXPECT_EQ(logLines(replay.readAllStandardError()), logLines(runtime.all()));
  QImage replayed(shot);
  ASSERT_FALSE(replayed.isNull());
  ASSERT_EQ(replayed.size(), QSize(800, 480));
  int differing = 0;
  for (int y = 0; y < 480; ++y)
    for (int xx = 0; xx < 800; ++xx)
      if ((replayed.pixel(xx, y) | 0xFF000000u) != shown.pixel(xx, y)) ++differing;
  EXPECT_EQ(differing, 0);
  EXPECT_NE(shown.pixel(210, 210), 0xFF000000u);  // the count's square is not black
}

}  // namespace
