#pragma once
// The mixer's arithmetic, apart from any server: sound records, the level
// carried from cut-off sounds, one mixing step and the click-free stop.
// Callers hold the mixer's lock around every function here.
#include "Types.h"

#include <cstddef>

namespace mixing {

enum SoundState : TInt32 { PLAYING = 1, STOPPED = 2 };

struct SoundRecord {
  const TInt16* samples = nullptr;   // owned by the mixer
  TUint32 count = 0;
  TUint32 position = 0;              // next sample
  TUint32 volume = 256;              // 256 = unity
  TInt32 state = STOPPED;
};

// The residual level of a cut-off sound, falling by `decay` per sample.
struct Level {
  double offset = 0;
  double decay = 0;
};

// The factor that takes the offset's integer part to 0.01 within 160
// samples; 0 when that part is 0.
double decayFor(double offset);

// Fills out[0..n) from the playing sounds, in index order; a sound that runs
// out is stopped.
void mix(SoundRecord* sounds, size_t soundCount, Level& level, TInt16* out, size_t n);

// Stops a playing sound without a click: its next sample goes into the
// offset, which then decays. A sound that is not playing is just marked.
void stop(SoundRecord& sound, Level& level);

// Restarts a sound from its first sample.
inline void play(SoundRecord& sound) {
  sound.position = 0;
  sound.state = PLAYING;
}

}  // namespace mixing
