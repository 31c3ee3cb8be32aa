// The example game in the window host: played with injected keys and the
// pointer for several seconds, it scores, shows its playfield, pauses in
// the background, ends, keeps its best score in its directory and restarts.
#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QThread>

namespace windowtest {
namespace {

class Game : public WindowWorld {
 protected:
  void SetUp() override {
    WindowWorld::SetUp();
    if (HasFatalFailure()) return;
    // A fresh copy: the built directory may hold a best score from a game played there.
    for (const QString& name : QDir(GAME_DIR).entryList(QDir::Files))
      if (name != QLatin1String("highscore.txt"))
        ASSERT_TRUE(QFile::copy(GAME_DIR "/" + name, app + "/" + name)) << name.toStdString();
    startRuntime();
  }
  // Skips log lines up to the first that starts with prefix; fails on a
  // fatal line or when none comes within ms.
  QByteArray waitFor(const QByteArray& prefix, int ms = 30000) {
    for (;;) {
      const QByteArray line = nextLog(ms);
      EXPECT_FALSE(line.startsWith("FATAL: ")) << line.constData();
      if (line.isNull() || line.startsWith("FATAL: ")) {
        ADD_FAILURE() << "no line starting " << prefix.constData();
        return QByteArray();
      }
      if (line.startsWith(prefix)) return line.mid(prefix.size());
    }
  }
  void hold(const char* name, int ms) {
    ASSERT_TRUE(x("xdotool", {"keydown", name}));
    QThread::msleep(ms);
    ASSERT_TRUE(x("xdotool", {"keyup", name}));
  }
};

TEST_F(Game, PlaysPausesEndsKeepsTheBestScoreAndRestarts) {
  waitFor("LOG: new game");
  // The first drop falls into the basket where it starts.
  EXPECT_EQ(waitFor("LOG: score "), "10");

  // The playfield: the ground, the stars of the sky tile (a drop can hide
  // one of two), the basket's rim somewhere on its row.
  const QImage shot = screenshot();
  EXPECT_EQ(shot.pixel(5, 470), 0xFF2E4A1Eu);
  EXPECT_EQ(shot.pixel(795, 460), 0xFF2E4A1Eu);
  EXPECT_TRUE(shot.pixel(48, 208) == 0xFFFFFFDCu || shot.pixel(752, 240) == 0xFFFFFFDCu);
  int rim = 0;
  for (int i = 0; i < 800; ++i) rim += shot.pixel(i, 433) == 0xFFFFC850u;
  EXPECT_EQ(rim, 64) << "the basket's rim";

  // The display goes off: the game pauses; space resumes it.
  current("current " + window.toLatin1());
  status("status off");
  waitFor("LOG: paused");
  status("status on");
  key("space");
  waitFor("LOG: playing");

  // Play with the arrows until the three drops are lost.
  for (int i = 0; i < 4; ++i) {
    hold(i % 2 ? "Right" : "Left", 300);
    QThread::msleep(200);
  }
  const QByteArray score = waitFor("LOG: game over, score ", 60000);
  EXPECT_GE(score.toInt(), 10);
  EXPECT_EQ(waitFor("LOG: high score saved: "), score);
  QFile best(app + "/highscore.txt");
  ASSERT_TRUE(best.open(QIODevice::ReadOnly));
  EXPECT_EQ(best.readAll(), score);

  // A tap starts the next game.
  ASSERT_TRUE(x("xdotool", {"mousemove", "--window", window, "400", "300", "click", "1"}));
  waitFor("LOG: new game");
  waitFor("LOG: playing");
}

}  // namespace
}  // namespace windowtest
