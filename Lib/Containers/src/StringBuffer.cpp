#include "StringBuffer.h"

#include "Errors.h"
#include "HostMemory.h"

#include <new>

TInt32 stringCapacityFor(TInt32 n) {
  const double scaled = static_cast<double>(n) * 1.2;
  if (scaled < 10.0) return 10;
  // One unit is kept for the terminator, so the count itself must stay below 2^31 - 1.
  if (scaled >= 2147483646.0) raise(ERR_INVALID_ARGUMENT, "String too long");
  return static_cast<TInt32>(scaled);
}

namespace {
// What a buffer of this capacity holds in host memory.
size_t hostBytes(TInt32 capacity) {
  return sizeof(StringBuffer) + (static_cast<size_t>(capacity) + 1) * sizeof(TChar);
}
}  // namespace

StringBuffer* allocateStringBuffer(TInt32 n) {
  VM_ASSERT(n >= 1);
  const TInt32 capacity = stringCapacityFor(n);
  hostmem::Charge charge(hostBytes(capacity));
  StringBuffer* buffer = new (std::nothrow) StringBuffer;
  if (!buffer) raise(ERR_INVALID_ARGUMENT, "String allocation failed");
  buffer->chars = new (std::nothrow) TChar[static_cast<size_t>(capacity) + 1]();
  if (!buffer->chars) {
    delete buffer;
    raise(ERR_INVALID_ARGUMENT, "String allocation failed");
  }
  charge.dismiss();   // released with the buffer
  buffer->refCount = 1;
  buffer->capacity = capacity;
  buffer->length = n;
  return buffer;
}

void releaseStringBuffer(StringBuffer* buffer) {
  if (!buffer) return;
  if (--buffer->refCount > 0) return;
  hostmem::release(hostBytes(buffer->capacity));
  delete[] buffer->chars;
  delete buffer;
}
