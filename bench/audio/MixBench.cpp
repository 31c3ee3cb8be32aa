// The mixer's cost per 10 ms period (160 samples at 16 kHz) with 32 sounds
// playing, as the server thread's write callback spends it: take the
// mixer's lock, mix, release. Each run first checks one period's output
// against the sum it must be.
#include "MixStep.h"

#include <benchmark/benchmark.h>
#include <mutex>
#include <vector>

namespace {

constexpr size_t kSounds = 32;
constexpr size_t kPeriod = 160;       // 10 ms at 16 kHz
constexpr TUint32 kLength = 16000;    // one second each

struct Bench {
  std::vector<std::vector<TInt16>> data;
  std::vector<mixing::SoundRecord> sounds;
  mixing::Level level;
  std::mutex lock;

  Bench() : data(kSounds), sounds(kSounds) {
    for (size_t k = 0; k < kSounds; ++k) {
      data[k].assign(kLength, static_cast<TInt16>(k * 10 + 1));
      sounds[k].samples = data[k].data();
      sounds[k].count = kLength;
      sounds[k].volume = 128 + static_cast<TUint32>(k);
      mixing::play(sounds[k]);
    }
  }
  void period(TInt16* out) {
    if (sounds[0].position + kPeriod > kLength)
      for (auto& s : sounds) s.position = 0;
    std::lock_guard<std::mutex> guard(lock);
    mixing::mix(sounds.data(), sounds.size(), level, out, kPeriod);
  }
  TInt16 expected() const {
    TInt64 acc = 0;
    for (size_t k = 0; k < kSounds; ++k) acc += static_cast<TInt64>(sounds[k].volume) * data[k][0];
    return static_cast<TInt16>(acc >> 8);
  }
};

void BM_MixPeriod32Sounds(benchmark::State& state) {
  Bench b;
  TInt16 out[kPeriod];
  b.period(out);
  for (TInt16 v : out)
    if (v != b.expected()) {
      state.SkipWithError("wrong mix");
      return;
    }
  for (auto _ : state) {
    b.period(out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_MixPeriod32Sounds);

}  // namespace

BENCHMARK_MAIN();
