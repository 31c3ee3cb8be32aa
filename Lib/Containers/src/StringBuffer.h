#pragma once
// StringBuffer: the shared text record behind NString.
//
// Invariants:
//  - chars holds capacity + 1 units; chars[length] is always 0.
//  - 1 <= length <= capacity: an empty string has no buffer at all.
//  - refCount counts the NString values pointing here; it is not atomic, a
//    buffer belongs to one thread.
#include "Types.h"

struct StringBuffer {
  TChar* chars;
  TUint32 refCount;
  TInt32 capacity;
  TInt32 length;
};

// Capacity for n characters: 10 below n * 1.2 = 10, else n * 1.2 truncated.
// Raises code 6 when that does not fit a 32-bit count.
TInt32 stringCapacityFor(TInt32 n);

// A fresh buffer for n >= 1 characters (capacity rule), refCount 1, the
// units zeroed. Raises code 6 on allocation failure.
StringBuffer* allocateStringBuffer(TInt32 n);

// Drops one reference; frees units and record at zero. Null is ignored.
void releaseStringBuffer(StringBuffer* buffer);
