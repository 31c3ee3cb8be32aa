// One mixing step over the sound records. Runs on the server's thread for
// every period, so the inner loop touches nothing but the records.
#include "MixStep.h"

#include <cmath>
#include <cstdlib>

namespace mixing {

double decayFor(double offset) {
  const double m = std::fabs(std::trunc(offset));
  return m != 0 ? std::pow(0.01 / m, 0.00625) : 0.0;
}

void mix(SoundRecord* sounds, size_t soundCount, Level& level, TInt16* out, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    level.offset *= level.decay;
    // Unsigned sums wrap instead of overflowing when an image sets absurd
    // volumes on very many sounds; ordinary sums are exact either way.
    TUint64 acc = static_cast<TUint64>(static_cast<TInt64>(std::trunc(level.offset)) * 256);
    for (size_t k = 0; k < soundCount; ++k) {
      SoundRecord& s = sounds[k];
      if (s.state != PLAYING) continue;
      if (s.position < s.count) {
        acc += static_cast<TUint64>(static_cast<TInt64>(s.volume) * s.samples[s.position++]);
      } else {
        s.state = STOPPED;
        level.decay = decayFor(level.offset);
      }
    }
    const TInt64 v = static_cast<TInt64>(acc) >> 8;
    out[i] = static_cast<TInt16>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
  }
}

void stop(SoundRecord& sound, Level& level) {
  if (sound.state == PLAYING) {
    TInt32 next = 0;
    if (sound.position < sound.count) next = sound.samples[sound.position++];
    level.offset += next;
    level.decay = decayFor(level.offset);
  }
  sound.state = STOPPED;
}

}  // namespace mixing
