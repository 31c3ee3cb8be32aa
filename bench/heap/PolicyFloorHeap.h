#pragma once
// VMHeap's block-choice rules and nothing else: the same block layout
// (24-byte header, 4-byte footer), 32 power-of-two rings with a non-empty
// mask, the oldest block of the smallest larger list, first fit in the
// request's own list, a split beyond 28 bytes of slack, both neighbours
// merged on release. No seals, block-start bits, link or address checks,
// destructors or counters. It hands out the same offsets as VMHeap for the
// same requests, so its time is what the rules alone cost; a checked
// implementation does all of this work and more.
#include "Types.h"

#include <cstdlib>
#include <cstring>
#include <vector>

class PolicyFloorHeap {
 public:
  explicit PolicyFloorHeap(TUint32 poolCapacity) : iBuffer(kBufferBytes), iPoolCapacity(poolCapacity) {
    for (TUint32 k = 0; k < 32; ++k) at(sentinel(k))->next = at(sentinel(k))->previous = sentinel(k);
    iFree = kSentinels + 32 * kStride;
    append(newPool(0));
  }

  // The object offset (header + 24) of a zero-filled block.
  TUint32 allocate(TUint32 size) {
    size = (size + 3) & ~3u;
    const TUint32 c = listOf(size);
    const TUint32 larger = iNonEmpty & (~1u << c);
    TUint32 h = larger ? takeFirst(__builtin_ctz(larger)) : firstFit(c, size);
    if (!h) h = newPool(size);
    Header* he = at(h);
    TUint32 blockSize = he->size;
    if (blockSize - size > 28) {
      const TUint32 tail = h + 28 + size, tailSize = blockSize - size - 28;
      word(h + 24 + blockSize) = tailSize + 28;
      word(tail - 4) = size + 28;
      *at(tail) = Header{0, tailSize, 0, 0, 0, 0};
      append(tail);
      blockSize = size;
    }
    *he = Header{size, blockSize, 0, 0, kLeaf, 0};
    std::memset(iBuffer.data() + h + 24, 0, blockSize);
    return h + 24;
  }

  void release(TUint32 object) {
    const TUint32 h = object - 24;
    Header* he = at(h);
    TUint32 start = h, end = h + he->size + 28;
    *he = Header{0, he->size, 0, 0, 0, 0};
    if (at(end)->previous) {
      remove(end);
      end += at(end)->size + 28;
    }
    const TUint32 previous = h - word(h - 4);
    if (at(previous)->previous) {
      remove(previous);
      start = previous;
    }
    at(start)->size = end - start - 28;
    word(end - 4) = end - start;
    append(start);
  }

  // Pool i's start, for comparing offsets with VMHeap's.
  TUint32 poolStart(TUint32 i) const { return iPools[i]; }
  TUint32 poolCount() const { return TUint32(iPools.size()); }

 private:
  struct Header {
    TUint32 usedSize, size, next, marked, gcCode, previous;   // previous != 0: free
  };
  static constexpr TUint32 kBufferBytes = 64u << 20, kSentinels = 64, kStride = 32, kLeaf = 2;

  Header* at(TUint32 h) { return reinterpret_cast<Header*>(iBuffer.data() + h); }
  TUint32& word(TUint32 a) { return *reinterpret_cast<TUint32*>(iBuffer.data() + a); }
  static TUint32 listOf(TUint32 size) { return size <= 1 ? 0 : 32 - __builtin_clz(size - 1); }
  static TUint32 sentinel(TUint32 k) { return kSentinels + k * kStride; }

  void append(TUint32 h) {
    const TUint32 k = listOf(at(h)->size), s = sentinel(k), last = at(s)->previous;
    at(h)->next = s;
    at(h)->previous = last;
    at(last)->next = h;
    at(s)->previous = h;
    iNonEmpty |= 1u << k;
  }
  void remove(TUint32 h) {
    const TUint32 p = at(h)->previous, n = at(h)->next;
    at(p)->next = n;
    at(n)->previous = p;
    iNonEmpty &= ~(TUint32(p == n) << ((p - kSentinels) / kStride & 31));
  }
  TUint32 takeFirst(TUint32 k) {
    const TUint32 h = at(sentinel(k))->next;
    remove(h);
    return h;
  }
  TUint32 firstFit(TUint32 c, TUint32 size) {
    for (TUint32 h = at(sentinel(c))->next; h != sentinel(c); h = at(h)->next) {
      if (at(h)->size < size) continue;
      remove(h);
      return h;
    }
    return 0;
  }
  // Terminators (size 0, never free), the free entry, and a footer; the
  // free entry is returned unfiled.
  TUint32 newPool(TUint32 size) {
    const TUint32 capacity = size > iPoolCapacity ? size : iPoolCapacity, start = (iFree + 15) & ~15u;
    iFree = start + capacity + 80;
    if (iFree > kBufferBytes) std::abort();   // a benchmark's worth, not a general heap
    iPools.push_back(start);
    *at(start) = Header{0, 0, 0, 0, 18, 0};
    word(start + 24) = 28;
    *at(start + 28) = Header{0, capacity, 0, 0, 0, 0};
    word(start + 52 + capacity) = capacity + 28;
    *at(start + 56 + capacity) = Header{0, 0, 0, 0, 18, 0};
    return start + 28;
  }

  std::vector<TUint8> iBuffer;
  std::vector<TUint32> iPools;
  TUint32 iPoolCapacity, iFree = 0, iNonEmpty = 0;
};
