#include "StringBuffer.h"

#include "Errors.h"
#include "HostMemory.h"

#include <cstring>
#include <new>

TInt32 stringCapacityFor(TInt32 n) {
  if (n <= 8) return 10;   // 8 * 1.2 < 10 <= 9 * 1.2: the common short text without floating point
  const double scaled = static_cast<double>(n) * 1.2;
  if (scaled < 10.0) return 10;
  // One unit is kept for the terminator, so the count itself must stay below 2^31 - 1.
  if (scaled >= 2147483646.0) raise(ERR_INVALID_ARGUMENT, "String too long");
  return static_cast<TInt32>(scaled);
}

namespace {

// What a buffer of this capacity holds in host memory (the account's figure;
// a cached block may be a little larger, see below).
size_t hostBytes(TInt32 capacity) {
  return sizeof(StringBuffer) + (static_cast<size_t>(capacity) + 1) * sizeof(TChar);
}

// Record and units are one host block, the units right after the record.
// Blocks of short strings come in classes of 16 units and freed ones are
// kept per thread for the next string of their class: short texts (a
// number's digits, a piece of a split) are made and dropped by the million,
// and a host allocation and release cost more than the work on them. The
// cache holds at most 128 KiB of blocks per class (512 KiB a thread: the
// pieces of a split of a few thousand come back to it whole); the account
// counts only live buffers, exactly as before.
constexpr TInt32 kClassUnits = 16;
constexpr TUint32 kClasses = 4;   // capacities up to 63
constexpr size_t kCachedBytesPerClass = 128 * 1024;

// capacity + 1 units fit (class + 1) * 16 units.
TUint32 classOf(TInt32 capacity) { return static_cast<TUint32>(capacity) / kClassUnits; }
constexpr size_t classBytes(TUint32 k) { return sizeof(StringBuffer) + size_t(k + 1) * kClassUnits * sizeof(TChar); }
constexpr TInt32 kCacheLimit[kClasses] = {
    TInt32(kCachedBytesPerClass / classBytes(0)), TInt32(kCachedBytesPerClass / classBytes(1)),
    TInt32(kCachedBytesPerClass / classBytes(2)), TInt32(kCachedBytesPerClass / classBytes(3))};

size_t blockBytes(TInt32 capacity) {
  return classOf(capacity) < kClasses ? classBytes(classOf(capacity)) : hostBytes(capacity);
}

// Zero-initialised, so a thread's first use needs no constructor call.
struct BufferCache {
  StringBuffer* spare[kClasses] = {};   // chained through chars
  TInt32 held[kClasses] = {};
  ~BufferCache() {
    for (TUint32 k = 0; k < kClasses; ++k) {
      while (StringBuffer* b = spare[k]) {
        spare[k] = reinterpret_cast<StringBuffer*>(b->chars);
        ::operator delete(b);
      }
      held[k] = kCacheLimit[k];   // strings released after thread exit go straight back
    }
  }
};
thread_local BufferCache tCache;

StringBuffer* takeBlock(TInt32 capacity) {
  const TUint32 k = classOf(capacity);
  if (k < kClasses && tCache.spare[k]) {
    StringBuffer* b = tCache.spare[k];
    tCache.spare[k] = reinterpret_cast<StringBuffer*>(b->chars);
    --tCache.held[k];
    return b;
  }
  return static_cast<StringBuffer*>(::operator new(blockBytes(capacity), std::nothrow));
}

}  // namespace

void freeStringBuffer(StringBuffer* b) {
  hostmem::release(hostBytes(b->capacity));
  const TUint32 k = classOf(b->capacity);
  if (k < kClasses && tCache.held[k] < kCacheLimit[k]) {
    b->chars = reinterpret_cast<TChar*>(tCache.spare[k]);
    tCache.spare[k] = b;
    ++tCache.held[k];
    return;
  }
  ::operator delete(b);
}

StringBuffer* allocateStringBuffer(TInt32 n) {
  VM_ASSERT(n >= 1);
  const TInt32 capacity = stringCapacityFor(n);
  hostmem::Charge charge(hostBytes(capacity));
  StringBuffer* buffer = takeBlock(capacity);
  if (!buffer) raise(ERR_INVALID_ARGUMENT, "String allocation failed");
  charge.dismiss();   // released with the buffer
  buffer->chars = reinterpret_cast<TChar*>(buffer + 1);
  buffer->refCount = 1;
  buffer->capacity = capacity;
  buffer->length = n;
  // Short tails (every capacity-10 buffer's) without a call.
  TChar* tail = buffer->chars + n;
  const TInt32 zeros = capacity + 1 - n;
  if (zeros <= 16) {
    for (TInt32 i = 0; i < zeros; ++i) tail[i] = 0;
  } else {
    std::memset(tail, 0, static_cast<size_t>(zeros) * sizeof(TChar));
  }
  return buffer;
}
