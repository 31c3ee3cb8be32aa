// The player against a real sound server, driven as the host drives it:
// operations are queued, and the main thread's GLib loop delivers the
// connection and stream callbacks. The null sink resamples the player's
// 44.1 kHz to 16 kHz, so the checks look at bursts, not single samples.
#include "AudioPlayer.h"
#include "AudioPlayerExtension.h"
#include "Errors.h"
#include "PulseServer.h"
#include "VMState.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <glib.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <vector>

namespace {

// A tone of `ms` then silence of `gapMs`, at 44.1 kHz.
std::vector<TInt16> toneThenSilence(int ms, int gapMs) {
  std::vector<TInt16> s(static_cast<size_t>(44100 * (ms + gapMs) / 1000), 0);
  for (size_t i = 0; i < static_cast<size_t>(44100 * ms / 1000); ++i)
    s[i] = static_cast<TInt16>(12000 * std::sin(i * 2 * M_PI * 1000 / 44100));
  return s;
}

// Runs of loud 10 ms windows in a 16 kHz recording.
int bursts(const std::vector<TInt16>& rec) {
  int runs = 0;
  bool loud = false;
  for (size_t w = 0; w + 160 <= rec.size(); w += 160) {
    int peak = 0;
    for (size_t i = w; i < w + 160; ++i) peak = std::max(peak, std::abs(static_cast<int>(rec[i])));
    const bool now = peak > 4000;
    if (now && !loud) ++runs;
    loud = now;
  }
  return runs;
}

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.reset(new VMState(nullptr, VMHeap::kDefaultPoolSize, refs, vecs, flags));
  }
  void TearDown() override {
    state.reset();   // players go first, as when the machine ends
    extension.reset();
  }

  // A player object in the heap, as opcode 2 makes it.
  VMAddr newPlayer(const std::vector<TInt16>& samples) {
    Player* p = new Player(*extension, soundOf(samples));
    const VMAddr object = heap().allocate(sizeof(AudioPlayer), -1, GC_CODE_LEAF);
    new (vmPtr(object)) AudioPlayer(p);
    return object;
  }
  Player& player(VMAddr object) { return vmPtrAs<AudioPlayer>(object)->player(); }
  void play(VMAddr object) { extension->defer(heap(), object, player(object), &Player::play); }
  void stop(VMAddr object) { extension->defer(heap(), object, player(object), &Player::stop); }

  // Lets the main loop run until done() or the hang guard.
  bool pumpUntil(const std::function<bool()>& done, int ms = 20000) {
    for (TInt64 end = nowMillis() + ms; nowMillis() < end;) {
      if (done()) return true;
      if (!g_main_context_iteration(nullptr, FALSE)) sleepMillis(2);
    }
    return done();
  }
  void pump(int ms) {
    pumpUntil([] { return false; }, ms);
  }
  VMHeap& heap() { return state->heap; }

  PulseServer server;
  Vec<Vec<int>> refs, vecs;
  Vec<Vec<char>> flags;
  std::unique_ptr<VMState> state;
  std::unique_ptr<AudioPlayerExtension> extension;
};

class PlayerOnServer : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    std::string why;
    ASSERT_TRUE(server.start(why)) << why;
    ASSERT_TRUE(server.startRecording(why)) << why;
    extension.reset(new AudioPlayerExtension(nullptr, nullptr));
  }
};

}  // namespace

TEST_F(PlayerOnServer, RepeatsTwoPlaysTheDataThreeTimes) {
  const VMAddr once = newPlayer(toneThenSilence(100, 250));
  const VMAddr thrice = newPlayer(toneThenSilence(100, 250));
  player(thrice).setRepeats(2);
  play(once);
  EXPECT_EQ(heap().rootCount(), extension->ready() ? 0 : 1);   // held while queued
  ASSERT_TRUE(pumpUntil([&] { return player(once).playing(); }));
  EXPECT_EQ(heap().rootCount(), 0);
  ASSERT_TRUE(pumpUntil([&] { return !player(once).playing(); }));   // its underflow at the end
  const int first = bursts(server.stopRecording());
  std::string why;
  ASSERT_TRUE(server.startRecording(why)) << why;
  play(thrice);
  ASSERT_TRUE(pumpUntil([&] { return player(thrice).playing(); }));
  ASSERT_TRUE(pumpUntil([&] { return !player(thrice).playing(); }));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(bursts(server.stopRecording()), 3);
  EXPECT_EQ(player(thrice).repeats(), 0);
}

TEST_F(PlayerOnServer, PlayWhilePlayingKeepsOneStreamAndStopEndsIt) {
  const VMAddr p = newPlayer(toneThenSilence(3000, 0));
  play(p);
  play(p);
  ASSERT_TRUE(pumpUntil([&] { return player(p).playing() && server.streams() == 1; }));
  play(p);
  pump(200);
  EXPECT_EQ(server.streams(), 1);
  stop(p);
  EXPECT_FALSE(player(p).playing());
  EXPECT_TRUE(pumpUntil([&] { return server.streams() == 0; }));
  EXPECT_EQ(heap().rootCount(), 0);
}

TEST_F(PlayerOnServer, QueuedPlayerIsARootUntilItsOperationRuns) {
  const VMAddr p = newPlayer(toneThenSilence(2000, 0));
  // The connection is still being made: the operation waits.
  ASSERT_FALSE(extension->ready());
  play(p);
  EXPECT_EQ(extension->pending(), 1);
  heap().collect();
  EXPECT_TRUE(heap().isLiveBlock(p));
  ASSERT_TRUE(pumpUntil([&] { return server.streams() == 1; }));
  // Unreferenced now: collecting it ends its stream.
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(p));
  EXPECT_TRUE(pumpUntil([&] { return server.streams() == 0; }));
}

TEST_F(PlayerOnServer, DaemonKilledMidPlayFailsTheNextOperation) {
  const VMAddr p = newPlayer(toneThenSilence(5000, 0));
  play(p);
  ASSERT_TRUE(pumpUntil([&] { return player(p).playing() && server.streams() == 1; }));
  server.stopRecording();
  server.kill();
  ASSERT_TRUE(pumpUntil([&] { return !player(p).playing(); }));   // the stream failed and was let go
  EXPECT_EQ(raisedCode([&] { play(p); }), ERR_IO);
  EXPECT_NE(currentErrorText().indexOf(QStringLiteral("AudioPlayer: ")), -1);
  EXPECT_EQ(heap().rootCount(), 0);
}

// The host runs no GLib loop of its own: Qt's event loop on the main
// thread dispatches the default GLib context, and with it the queue.
TEST_F(PlayerOnServer, QtEventLoopRunsTheQueue) {
  static int argc = 1;
  static char name[] = "audio_player_server_tests";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  const VMAddr p = newPlayer(toneThenSilence(100, 0));
  play(p);
  EXPECT_EQ(extension->pending(), 1);
  EXPECT_TRUE(extension->active());   // queued: the headless runner waits for it
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (extension->pending() == 0 && !player(p).playing()) app.quit();   // played to its end
  });
  poll.start(5);
  QTimer::singleShot(20000, &app, &QCoreApplication::quit);   // hang guard only
  app.exec();
  EXPECT_EQ(extension->pending(), 0);
  EXPECT_FALSE(player(p).playing());
  EXPECT_FALSE(extension->active());
  EXPECT_EQ(bursts(server.stopRecording()), 1);
}

// The headless runner keeps its event loop while a player plays, though the
// image starts no timer: the tone main queues is heard, then the run ends.
TEST(HeadlessRunner, APlayerQueuedWithoutATimerIsHeard) {
  PulseServer server;
  std::string why;
  ASSERT_TRUE(server.start(why)) << why;
  QTemporaryDir app;
  ASSERT_TRUE(app.isValid());
  const std::vector<TInt16> tone = toneThenSilence(200, 0);
  QFile raw(app.filePath("tone.raw"));
  ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
  raw.write(reinterpret_cast<const char*>(tone.data()), static_cast<qint64>(tone.size() * 2));
  raw.close();
  QFile source(app.filePath("play.asm"));
  ASSERT_TRUE(source.open(QIODevice::WriteOnly));
  source.write(".include \"runtime.asm\"\n"
               ".class Holder super=Object refs=1\n"
               ".method main export=\"main\"\n"
               "  ALLOC CLASS_OBJECT, 2\n  DUP\n  SET_CLASS Holder\n"
               "  DUP\n  NATIVE_CALL System 5\n"   // the application object keeps the player
               "  DUP\n  PUSH_STRING_CELL \"tone.raw\"\n  PUSH_IMM32 0\n  EXTENSION_CALL 28, 1\n"
               "  EXTENSION_CALL 28, 3\n"
               "  PUSH_STRING_CELL \"queued\"\n  NATIVE_CALL Debug 1\n"
               "  RETURN 0, 1\n");
  source.close();
  QProcess assemble;
  assemble.start(MCBASM_PATH, {"-I", EXAMPLES_LIB, source.fileName(), "-o", app.filePath("index.mcb")});
  ASSERT_TRUE(assemble.waitForFinished(60000));
  ASSERT_EQ(assemble.exitCode(), 0) << assemble.readAllStandardError().constData();

  ASSERT_TRUE(server.startRecording(why)) << why;
  QProcess run;
  run.start(MCBRUN_PATH, {"--time-limit", "20000", app.path()});
  ASSERT_TRUE(run.waitForFinished(60000));
  EXPECT_EQ(run.exitCode(), 0);
  EXPECT_EQ(run.readAllStandardError(), "LOG: queued\n");
  EXPECT_EQ(bursts(server.stopRecording()), 1);
}

TEST_F(PlayerTest, WithoutServerTheFirstPlayFailsCleanly) {
  extension.reset(new AudioPlayerExtension(nullptr, nullptr));
  const VMAddr p = newPlayer(toneThenSilence(100, 0));
  const TInt64 start = nowMillis();
  EXPECT_EQ(raisedCode([&] { play(p); }), ERR_IO);
  EXPECT_LT(nowMillis() - start, 60000);   // hang guard only
  EXPECT_EQ(heap().rootCount(), 0);
  EXPECT_EQ(extension->pending(), 0);
}
