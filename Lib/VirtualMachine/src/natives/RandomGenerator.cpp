#include "RandomGenerator.h"

#include <cstring>
#include <ctime>

namespace random_state {
namespace {

// The record is a plain byte block; words are copied in and out so its
// alignment does not matter.
struct Words {
  TUint32 mt[kWords];
  TUint32 index;
};

void regenerate(Words& w) {
  for (TInt32 i = 0; i < kWords; ++i) {
    const TUint32 y = (w.mt[i] & 0x80000000u) | (w.mt[(i + 1) % kWords] & 0x7FFFFFFFu);
    w.mt[i] = w.mt[(i + 397) % kWords] ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
  }
  w.index = 0;
}

}  // namespace

void seed(TUint8* state, TUint32 seed) {
  Words w;
  w.mt[0] = seed;
  for (TInt32 i = 1; i < kWords; ++i) w.mt[i] = w.mt[i - 1] * 69069u;
  w.index = 0;
  std::memcpy(state, &w, sizeof w);
}

TUint32 draw(TUint8* state) {
  TUint32 index;
  std::memcpy(&index, state + kWords * 4, 4);
  if (index >= static_cast<TUint32>(kWords)) {
    Words w;
    std::memcpy(&w, state, sizeof w);
    regenerate(w);
    std::memcpy(state, &w, sizeof w);
    index = 0;
  }
  TUint32 y;
  std::memcpy(&y, state + index * 4, 4);
  ++index;
  std::memcpy(state + kWords * 4, &index, 4);
  // Three steps, the middle one a right shift: the images' sequences depend on it.
  y ^= y >> 11;
  y ^= (y >> 7) & 0x9D2C5680u;
  y ^= y >> 18;
  return y;
}

}  // namespace random_state

void initRandomState(TUint8* state) { random_state::seed(state, static_cast<TUint32>(std::clock())); }
