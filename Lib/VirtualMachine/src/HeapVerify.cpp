// VMHeap::verify: checks the numbered invariants at the top of Heap.cpp over
// every pool, block and free list. Tests call it after every step.
#include "Heap.h"

namespace {

[[noreturn]] void broken(int invariant, const char* what, VMAddr where) {
  raise(ERR_ASSERTION_FAILED, QStringLiteral("Heap invariant %1 broken: %2 at %3")
                                  .arg(invariant)
                                  .arg(QString::fromLatin1(what))
                                  .arg(where));
}

void check(bool ok, int invariant, const char* what, VMAddr where) {
  if (!ok) broken(invariant, what, where);
}

void checkTerminator(VMAddr h, int invariant) {
  const HeapEntry* he = heapEntry(h);
  check(he->gcCode == GC_CODE_TERMINATOR && he->size == 0 && he->usedSize == 0 && he->freeHeapEntryIterator == 0,
        invariant, "terminator expected", h);
}

}  // namespace

void VMHeap::verify() const {
  TInt32 allocated = 0, freeBlocks = 0;
  TInt64 poolBytes = 0;
  check(iPoolStarts.size() == iPoolSizes.size() && size_t(iPoolStarts.size()) == iBlockMaps.size(), 1,
        "pool tables differ", 0);
  for (TInt32 p = 0; p < iPoolStarts.size(); ++p) {
    const VMAddr start = iPoolStarts[p];
    const VMAddr end = start + iPoolSizes[p] - kHeaderSize;
    const HeapBlockMap& map = iBlockMaps[p];
    check(map.start() == start && map.bytes() == iPoolSizes[p], 6, "block map of another pool", start);
    checkTerminator(start, 1);
    check(heapWord(start + kHeaderSize) == kBlockOverhead, 2, "start terminator footer", start);
    check(map.isStart(start) && map.isStart(end), 6, "terminator not in block map", start);
    TUint32 blocks = 2;
    bool previousFree = false;
    for (VMAddr h = start + kBlockOverhead; h != end; h += heapEntry(h)->size + kBlockOverhead, ++blocks) {
      const HeapEntry* he = heapEntry(h);
      check(h < end && end - h >= kBlockOverhead && he->size <= end - h - kBlockOverhead, 1, "block overruns pool", h);
      check(he->size % 4 == 0, 3, "size not a multiple of 4", h);
      check(map.isStart(h), 6, "block start missing from block map", h);
      check(heapWord(footerOf(h)) == he->size + kBlockOverhead, 2, "footer does not match header", h);
      check(he->marked == 0, 8, "mark left set", h);
      check(vmSealed(h, 4) && vmSealed(h + kHeaderSize - 4, 4) && vmSealed(footerOf(h), 4), 11,
            "block metadata not sealed", h);
      const VMAddr data = h + kHeaderSize;
      const bool free = he->freeHeapEntryIterator != 0;
      const bool native = !free && he->typeId != 0;   // a free block's typeId is its list link
      check(vmIsObjectStart(data) == native, 11, "native object mark wrong", h);
      check(native || he->size == 0 || !vmSealed(data, he->size), 11, "plain data sealed", h);
      if (free) {
        check(he->usedSize == 0 && he->gcCode == GC_CODE_FREE, 3, "free block with contents", h);
        check(!previousFree, 5, "adjacent free blocks", h);
        check(HeapFreeLists::linked(h), 4, "free block not linked in a list", h);
        ++freeBlocks;
      } else {
        check(he->usedSize <= he->size, 3, "usedSize above size", h);
        check(he->gcCode != GC_CODE_FREE && he->gcCode != GC_CODE_TERMINATOR, 7, "allocated block with gcCode 0 or 18", h);
        ++allocated;
      }
      previousFree = free;
    }
    checkTerminator(end, 1);
    check(map.countStarts() == blocks, 6, "block map has extra starts", start);
    poolBytes += iPoolSizes[p];
  }
  check(poolBytes == iTotalPoolBytes, 1, "pool byte total", 0);
  check(allocated == iNOfEntries, 7, "nOfEntries differs from allocated blocks", 0);

  TInt32 listed = 0;
  for (TInt32 k = 0; k < kFreeLists; ++k) {
    check(((iFreeLists.nonEmpty() >> k) & 1u) == (iFreeLists.first(k) ? 1u : 0u), 4, "non-empty list mask differs",
          static_cast<VMAddr>(k));
    for (VMAddr h = iFreeLists.first(k); h; h = iFreeLists.next(k, h), ++listed) {
      check(listed < freeBlocks, 4, "more listed blocks than free blocks", h);
      check(isBlockStart(h), 4, "list names no block", h);
      check(heapEntry(h)->freeHeapEntryIterator != 0, 4, "list names an allocated block", h);
      check(freeListIndex(heapEntry(h)->size) == k, 4, "free block on the wrong list", h);
    }
  }
  check(listed == freeBlocks, 4, "free block missing from the lists", 0);
  check(iNodePool.usedNodes() == iRoots.count(), 4, "node pool leaks nodes", 0);

  const MemUsage u = memUsage();
  check(u.szOfPools == u.freeSpace + u.actual + u.wasted + u.headers, 10, "memory report does not balance", 0);
}
