#pragma once
// StringBuffer: the shared text record behind NString.
//
// Invariants:
//  - chars holds capacity + 1 units, in the same host block right after
//    the record; chars[length] is always 0.
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

// A fresh buffer for n >= 1 characters (capacity rule), refCount 1, units
// n to capacity zeroed: the caller writes the first n. Raises code 6 on
// allocation failure.
StringBuffer* allocateStringBuffer(TInt32 n);

// Frees a buffer whose last reference went.
void freeStringBuffer(StringBuffer* buffer);

// Drops one reference; frees the buffer at zero. Null is ignored.
inline void releaseStringBuffer(StringBuffer* buffer) {
  if (buffer && --buffer->refCount == 0) freeStringBuffer(buffer);
}
