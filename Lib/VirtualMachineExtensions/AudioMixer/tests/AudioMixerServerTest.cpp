// The mixer against a real sound server: what it plays comes back from the
// null sink's monitor sample for sample; failures of the server end every
// wait with code 7 instead of a hang or a crash.
#include "AudioMixerExtension.h"
#include "Errors.h"
#include "Mixer.h"
#include "NString.h"
#include "PulseServer.h"

#include <QString>

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

std::string message() { return currentErrorText().toStdString(); }

class MixerOnServer : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(server.start(why)) << why;
    ASSERT_TRUE(server.startRecording(why)) << why;
    extension.reset(new AudioMixerExtension(nullptr, nullptr));
    mixer.reset(new Mixer(*extension));
  }
  void TearDown() override {
    mixer.reset();
    extension.reset();
  }
  // Records while the mixer plays for ms.
  std::vector<TInt16> recordFor(int ms) {
    sleepMillis(ms);
    return server.stopRecording();
  }

  PulseServer server;
  std::unique_ptr<AudioMixerExtension> extension;
  std::unique_ptr<Mixer> mixer;
};

// Where `part` starts inside `all`, or -1.
long find(const std::vector<TInt16>& all, const std::vector<TInt16>& part) {
  auto at = std::search(all.begin(), all.end(), part.begin(), part.end());
  return at == all.end() ? -1 : static_cast<long>(at - all.begin());
}

long count(const std::vector<TInt16>& all, TInt16 value) {
  return static_cast<long>(std::count(all.begin(), all.end(), value));
}

}  // namespace

TEST_F(MixerOnServer, PlayedSoundComesBackAtItsVolume) {
  std::vector<TInt16> tone(4000);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<TInt16>(2 * std::lround(6000 * std::sin(i * 0.3)) + 2);
  const TInt32 index = mixer->addSound(soundOf(tone));
  EXPECT_EQ(index, 0);
  mixer->setVolume(index, 128);
  EXPECT_EQ(mixer->volume(index), 128u);
  mixer->play(index);
  const std::vector<TInt16> got = recordFor(600);
  std::vector<TInt16> expected(tone.size());
  for (size_t i = 0; i < tone.size(); ++i) expected[i] = static_cast<TInt16>((tone[i] * 128) >> 8);
  EXPECT_GE(find(got, expected), 0) << "recorded " << got.size() << " samples";
  EXPECT_EQ(find(got, tone), -1);
}

TEST_F(MixerOnServer, TwoSoundsMix) {
  const TInt32 a = mixer->addSound(soundOf(std::vector<TInt16>(8000, 3000)));
  const TInt32 b = mixer->addSound(soundOf(std::vector<TInt16>(8000, 4000)));
  mixer->play(a);
  mixer->play(b);
  const std::vector<TInt16> got = recordFor(900);
  // Both start within one period of each other: almost all of it is the sum.
  EXPECT_GE(count(got, 7000), 8000 - 1600);
  EXPECT_EQ(count(got, 3000) + count(got, 4000) + count(got, 7000) + count(got, 0), static_cast<long>(got.size()));
}

TEST_F(MixerOnServer, StoppedSoundDecaysWithoutAClick) {
  mixer->addSound(soundOf(std::vector<TInt16>(64000, 8000)));
  mixer->play(0);
  sleepMillis(400);
  mixer->stop(0);
  const std::vector<TInt16> got = recordFor(400);
  const auto last = std::find(got.rbegin(), got.rend(), 8000);
  ASSERT_NE(last, got.rend());
  const double decay = std::pow(0.01 / 8000, 0.00625);
  const double allowed = 8000 * (1 - decay) + 1;
  TInt16 previous = 8000;
  long between = 0;
  for (auto i = last.base(); i != got.end(); ++i) {
    EXPECT_LE(previous - *i, allowed);
    EXPECT_LE(*i, previous);
    if (*i > 0 && *i < 8000) ++between;
    previous = *i;
  }
  EXPECT_EQ(previous, 0);
  EXPECT_GT(between, 100);   // the fall took most of its 160 samples
  EXPECT_LE(between, 160);
}

TEST_F(MixerOnServer, StalledWritesReportAnUnderflow) {
  server.stopRecording();
  sleepMillis(300);
  ::testing::internal::CaptureStderr();
  {
    // Callbacks run under the main-loop lock: holding it starves the
    // stream past its 100 ms of buffer.
    ServerLoop::Lock stall(extension->server());
    sleepMillis(600);
  }
  sleepMillis(300);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("AudioMixer: underflow\n"), std::string::npos) << err;
}

TEST_F(MixerOnServer, IndexesOutsideTheListRaiseCode2) {
  mixer->addSound(soundOf({1, 2, 3}));
  EXPECT_EQ(raisedCode([&] { mixer->play(1); }), ERR_INDEX_OUT_OF_BOUNDS);
  EXPECT_EQ(raisedCode([&] { mixer->stop(-1); }), ERR_INDEX_OUT_OF_BOUNDS);
  EXPECT_EQ(raisedCode([&] { mixer->setVolume(7, 1); }), ERR_INDEX_OUT_OF_BOUNDS);
  EXPECT_EQ(raisedCode([&] { mixer->volume(0x7FFFFFFF); }), ERR_INDEX_OUT_OF_BOUNDS);
  EXPECT_EQ(mixer->volume(0), 256u);
  server.stopRecording();
}

TEST_F(MixerOnServer, MixerDestroyedWhilePlayingLeavesTheRestPlaying) {
  Mixer second(*extension);
  second.addSound(soundOf(std::vector<TInt16>(16000, 1000)));
  mixer->addSound(soundOf(std::vector<TInt16>(16000, 2000)));
  second.play(0);
  mixer->play(0);
  sleepMillis(200);
  mixer.reset();   // its stream goes before its sounds
  EXPECT_EQ(server.streams(), 1);
  const std::vector<TInt16> got = recordFor(300);
  EXPECT_GT(count(got, 1000), 2000);
}

TEST_F(MixerOnServer, DaemonKilledMidPlayFailsTheNextOperation) {
  mixer->addSound(soundOf(std::vector<TInt16>(160000, 500)));
  mixer->play(0);
  sleepMillis(200);
  server.stopRecording();
  server.kill();
  // The client notices the hang-up on its own thread; from then on, play
  // raises code 7 (polled: the hang guard is the only timing here).
  TInt32 code = 0;
  for (TInt64 end = nowMillis() + 20000; code == 0 && nowMillis() < end; sleepMillis(20))
    code = raisedCode([&] { mixer->play(0); });
  EXPECT_EQ(code, ERR_IO);
  EXPECT_EQ(message().rfind("IOException", 0) == 0 || message().find("AudioMixer: ") != std::string::npos, true)
      << message();
  // The records still answer; a new mixer finds no server.
  mixer->stop(0);
  EXPECT_EQ(mixer->volume(0), 256u);
  EXPECT_EQ(raisedCode([&] { Mixer again(*extension); }), ERR_IO);
  // A server that comes back is found again.
  std::string why;
  ASSERT_TRUE(server.start(why)) << why;
  Mixer again(*extension);
  again.addSound(soundOf({1}));
  again.play(0);
}

TEST_F(MixerOnServer, ServerThatDoesNotAnswerEndsTheWaitWithCode7) {
  server.stopRecording();
  server.pause();
  const TInt64 start = nowMillis();
  EXPECT_EQ(raisedCode([&] { Mixer waiting(*extension); }), ERR_IO);
  EXPECT_NE(message().find("AudioMixer: the sound server does not answer"), std::string::npos) << message();
  EXPECT_LT(nowMillis() - start, 60000);   // hang guard only
  server.resume();
  // The stream it gave up on is ended once the server makes it.
  Mixer after(*extension);
  for (TInt64 end = nowMillis() + 20000; server.streams() != 2 && nowMillis() < end;) sleepMillis(20);
  EXPECT_EQ(server.streams(), 2);
}

TEST_F(MixerOnServer, ExtensionGoneFirstLeavesMixersInert) {
  mixer->addSound(soundOf(std::vector<TInt16>(16000, 1000)));
  mixer->play(0);
  server.stopRecording();
  extension.reset();
  EXPECT_EQ(raisedCode([&] { mixer->play(0); }), ERR_IO);
  mixer->stop(0);
  EXPECT_EQ(mixer->volume(0), 256u);
  mixer.reset();
}

TEST(MixerWithoutServer, FirstOperationFailsCleanly) {
  PulseServer none;   // a runtime directory where no daemon runs
  AudioMixerExtension extension(nullptr, nullptr);
  const TInt64 start = nowMillis();
  EXPECT_EQ(raisedCode([&] { Mixer m(extension); }), ERR_IO);
  EXPECT_NE(message().find("AudioMixer: "), std::string::npos) << message();
  EXPECT_LT(nowMillis() - start, 60000);   // hang guard only
  EXPECT_EQ(raisedCode([&] { Mixer m(extension); }), ERR_IO);
}
