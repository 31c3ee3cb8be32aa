#pragma once
// The Math group's generator: 624 MT19937 state words and an index word in
// the machine's 2500-byte record.
#include "Types.h"

namespace random_state {
constexpr TInt32 kWords = 624;
constexpr TInt32 kBytes = (kWords + 1) * 4;

// Word 0 = seed, word i = word i-1 * 69069, index 0.
void seed(TUint8* state, TUint32 seed);
// The next tempered word.
TUint32 draw(TUint8* state);
}  // namespace random_state

// Seeds a machine's generator record from the clock.
void initRandomState(TUint8* state);
