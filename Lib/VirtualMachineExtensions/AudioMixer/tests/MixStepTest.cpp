// The mixing step without a server: exact output samples for the cases the
// mixer must get right, and the click-free stop's decay.
#include "MixStep.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace mixing;

namespace {

SoundRecord sound(const std::vector<TInt16>& samples, TUint32 volume = 256) {
  SoundRecord r;
  r.samples = samples.data();
  r.count = static_cast<TUint32>(samples.size());
  r.volume = volume;
  return r;
}

std::vector<TInt16> run(std::vector<SoundRecord>& sounds, Level& level, size_t n) {
  std::vector<TInt16> out(n, 12345);
  mix(sounds.data(), sounds.size(), level, out.data(), n);
  return out;
}

}  // namespace

TEST(MixStep, OneSampleSoundPlaysOnceThenStops) {
  const std::vector<TInt16> data = {1000};
  std::vector<SoundRecord> sounds = {sound(data)};
  play(sounds[0]);
  Level level;
  EXPECT_EQ(run(sounds, level, 3), (std::vector<TInt16>{1000, 0, 0}));
  EXPECT_EQ(sounds[0].state, STOPPED);
  EXPECT_EQ(level.decay, 0.0);   // nothing was cut off
}

TEST(MixStep, SumsClampAtBothEnds) {
  const std::vector<TInt16> up = {30000, 100}, down = {-30000, -100};
  std::vector<SoundRecord> sounds = {sound(up), sound(up)};
  play(sounds[0]);
  play(sounds[1]);
  Level level;
  EXPECT_EQ(run(sounds, level, 2), (std::vector<TInt16>{32767, 200}));
  sounds = {sound(down), sound(down)};
  play(sounds[0]);
  play(sounds[1]);
  EXPECT_EQ(run(sounds, level, 2), (std::vector<TInt16>{-32768, -200}));
}

TEST(MixStep, VolumeScalesAndStoppedSoundsAreSilent) {
  const std::vector<TInt16> a = {1000, -1000, 7}, b = {4000, 4000, 4000};
  std::vector<SoundRecord> sounds = {sound(a, 128), sound(b, 512), sound(b)};
  play(sounds[0]);
  play(sounds[1]);   // sounds[2] stays stopped
  Level level;
  // The sum is shifted once: (1000*128 + 4000*512) >> 8, -500 + 8000, (7*128 + 4000*512) >> 8.
  EXPECT_EQ(run(sounds, level, 3), (std::vector<TInt16>{8500, 7500, 8003}));
  // Volumes far past unity still clamp instead of wrapping.
  sounds = {sound(b, 0xFFFFFFFFu)};
  play(sounds[0]);
  EXPECT_EQ(run(sounds, level, 1)[0], 32767);
}

TEST(MixStep, StopDecaysToAHundredthWithin160Samples) {
  const std::vector<TInt16> data(1000, 8000);
  std::vector<SoundRecord> sounds = {sound(data)};
  play(sounds[0]);
  Level level;
  run(sounds, level, 10);
  stop(sounds[0], level);
  EXPECT_EQ(sounds[0].state, STOPPED);
  EXPECT_EQ(sounds[0].position, 11u);   // the sample taken into the offset
  EXPECT_EQ(level.offset, 8000.0);
  const std::vector<TInt16> out = run(sounds, level, 170);
  EXPECT_NEAR(level.offset, 0.01 * std::pow(level.decay, 10), 1e-9);
  // Monotone fall from just below 8000, no step larger than the decay allows.
  const double maxStep = 8000 * (1 - level.decay) + 1;
  EXPECT_LT(out[0], 8000);
  EXPECT_GT(out[0], 8000 - maxStep);
  for (size_t i = 1; i < out.size(); ++i) {
    EXPECT_LE(out[i], out[i - 1]);
    EXPECT_LE(out[i - 1] - out[i], maxStep);
  }
  EXPECT_EQ(out[159], 0);
  EXPECT_GT(out[100], 0);
}

TEST(MixStep, StopOnTheLastSampleAndOnAStoppedSound) {
  const std::vector<TInt16> data = {-500};
  std::vector<SoundRecord> sounds = {sound(data)};
  Level level;
  stop(sounds[0], level);   // not playing: only marked
  EXPECT_EQ(level.offset, 0.0);
  play(sounds[0]);
  run(sounds, level, 1);
  stop(sounds[0], level);   // at the end: nothing taken, position stays
  EXPECT_EQ(sounds[0].position, 1u);
  EXPECT_EQ(level.offset, 0.0);
  EXPECT_EQ(level.decay, 0.0);
  // A cut-off level carries into the next samples beside a playing sound.
  play(sounds[0]);
  stop(sounds[0], level);
  EXPECT_EQ(level.offset, -500.0);
  const std::vector<TInt16> more = {100, 100};
  sounds.push_back(sound(more));
  play(sounds[1]);
  const std::vector<TInt16> out = run(sounds, level, 2);
  EXPECT_EQ(out[0], 100 + static_cast<TInt32>(std::trunc(-500 * level.decay)));
}

TEST(MixStep, DecayRule) {
  EXPECT_EQ(decayFor(0.9), 0.0);
  EXPECT_EQ(decayFor(-0.5), 0.0);
  EXPECT_NEAR(std::pow(decayFor(8000), 160) * 8000, 0.01, 1e-9);
  EXPECT_DOUBLE_EQ(decayFor(-8000.7), decayFor(8000));
}
