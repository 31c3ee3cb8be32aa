#pragma once
// The shared (first, count) range check of the value, vector, stream and
// graphics natives. An open range (count < 0) is closed to the end here.
#include "Types.h"

// base: first valid index; size: number of valid elements. On success count
// is the range length (never negative); failures raise code 5 "Invalid Range...".
void checkRange(TInt32 base, TInt32 size, TInt32& first, TInt32& count);
