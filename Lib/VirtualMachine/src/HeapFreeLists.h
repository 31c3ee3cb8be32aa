#pragma once
// The heap's 32 free lists: oldest block at the head, new blocks appended at
// the tail. Each list is a ring through the free blocks' own headers: a free
// block keeps its successor in typeId and its predecessor in
// freeHeapEntryIterator (never 0, so that field still tells a free block),
// and each ring runs through a sentinel header of its own, sealed in the
// arena like every header. Filing and unfiling are a few loads and stores
// without branches on the list ends and without a node to find or keep.
#include "HeapEntry.h"
#include "Types.h"
#include "VMArena.h"

class HeapFreeLists {
 public:
  static constexpr TInt32 kLists = 32;

  // The arena must be held by the owner.
  HeapFreeLists() : iSentinels(VMArena::commit(kLists * kSentinelStride)) {
    vmSeal(iSentinels, kLists * kSentinelStride);
    for (TInt32 k = 0; k < kLists; ++k) nextOf(sentinel(k)) = previousOf(sentinel(k)) = sentinel(k);
  }

  // Files header at the tail of list k.
  void append(TInt32 k, VMAddr header) {
    const VMAddr s = sentinel(k), last = previousOf(s);
    nextOf(header) = s;
    previousOf(header) = last;
    nextOf(last) = header;
    previousOf(s) = header;
    iNonEmpty |= 1u << k;
  }

  // Whether header sits in a ring: both neighbours lie in the arena and name
  // it back. Headers are sealed, so this only fails after a heap fault;
  // checked before an unlink writes through the links.
  static bool linked(VMAddr header) {
    const VMAddr p = previousOf(header), n = nextOf(header);
    return inArena(p) && inArena(n) && nextOf(p) == header && previousOf(n) == header;
  }

  // Unfiles header, which must be linked. No list index needed: a list
  // that runs empty leaves its sentinel as both neighbours, and the
  // sentinel's place names the list.
  void remove(VMAddr header) {
    const VMAddr p = previousOf(header), n = nextOf(header);
    nextOf(p) = n;
    previousOf(n) = p;
    // No branch: whether a list empties is data, not a pattern. When p != n
    // the shift is of a zero, whatever p is.
    iNonEmpty &= ~(TUint32(p == n) << ((p - iSentinels) / kSentinelStride & 31));
    nextOf(header) = 0;
    previousOf(header) = 0;
  }

  // Unfiles and returns the oldest block of list k, which is not empty; 0
  // when its links are broken (nothing is written then). The caller
  // rewrites the whole header, links included.
  VMAddr takeFirst(TInt32 k) {
    const VMAddr s = sentinel(k), h = nextOf(s);
    if (!inArena(h)) return 0;
    const VMAddr n = nextOf(h);
    if (previousOf(h) != s || !inArena(n) || previousOf(n) != h) return 0;
    nextOf(s) = n;
    previousOf(n) = s;
    iNonEmpty &= ~(TUint32(n == s) << k);
    return h;
  }

  TUint32 nonEmpty() const { return iNonEmpty; }
  // The oldest block of list k, 0 when it is empty; then next() up to 0.
  VMAddr first(TInt32 k) const { return endToZero(k, nextOf(sentinel(k))); }
  VMAddr next(TInt32 k, VMAddr header) const { return endToZero(k, nextOf(header)); }
  TInt32 count(TInt32 k) const {
    TInt32 n = 0;
    for (VMAddr h = first(k); h; h = next(k, h)) ++n;
    return n;
  }

 private:
  // A header's worth of committed arena at h, in one compare.
  static bool inArena(VMAddr h) {
    return h - vmarena::kNullGuard <= vmarena::gCommitted - vmarena::kNullGuard - kHeaderSize;
  }
  static TUint32& nextOf(VMAddr h) { return reinterpret_cast<TUint32&>(heapEntry(h)->typeId); }
  static TUint32& previousOf(VMAddr h) { return heapEntry(h)->freeHeapEntryIterator; }
  static constexpr TUint32 kSentinelStride = 32;   // a header, rounded up to a shift
  VMAddr sentinel(TInt32 k) const { return iSentinels + TUint32(k) * kSentinelStride; }
  VMAddr endToZero(TInt32 k, VMAddr h) const { return h == sentinel(k) ? 0 : h; }

  VMAddr iSentinels;       // kLists sentinel headers
  TUint32 iNonEmpty = 0;   // bit k: list k has a block
};
