// Allocation, splitting, coalescing and the memory report.
#include "HeapTestSupport.h"

#include <algorithm>
#include <cstring>

TEST_F(HeapTest, FreshPoolHasTerminatorsAroundOneFreeEntry) {
  const VMAddr s = heap->poolStart(0);
  const TUint32 c = VMHeap::kDefaultPoolSize;
  EXPECT_EQ(heap->poolBytes(0), c + 80);
  EXPECT_EQ(heapEntry(s)->gcCode, GC_CODE_TERMINATOR);
  EXPECT_EQ(heapWord(s + 24), 28u);
  EXPECT_EQ(heapEntry(s + 28)->size, c);
  EXPECT_NE(heapEntry(s + 28)->freeHeapEntryIterator, 0u);
  EXPECT_EQ(heapWord(s + 52 + c), c + 28);
  EXPECT_EQ(heapEntry(s + 56 + c)->gcCode, GC_CODE_TERMINATOR);
  EXPECT_EQ(heap->freeListCount(VMHeap::freeListIndex(c)), 1);
}

TEST_F(HeapTest, FreeListIndexIsCeilLog2) {
  EXPECT_EQ(VMHeap::freeListIndex(0), 0);
  EXPECT_EQ(VMHeap::freeListIndex(1), 0);
  EXPECT_EQ(VMHeap::freeListIndex(2), 1);
  EXPECT_EQ(VMHeap::freeListIndex(4), 2);
  EXPECT_EQ(VMHeap::freeListIndex(5), 3);
  EXPECT_EQ(VMHeap::freeListIndex(64000), 16);
  EXPECT_EQ(VMHeap::freeListIndex(0x80000000u), 31);
}

TEST_F(HeapTest, ZeroByteObjectsAreDistinctAndLive) {
  const VMAddr a = heap->allocate(0, 0, GC_CODE_LEAF);
  const VMAddr b = heap->allocate(0, 0, GC_CODE_LEAF);
  EXPECT_NE(a, b);
  EXPECT_EQ(he(a)->size, 0u);
  EXPECT_EQ(he(a)->usedSize, 0u);
  EXPECT_TRUE(heap->isLiveBlock(a));
  EXPECT_TRUE(heap->isLiveBlock(b));
  heap->freeObject(a);
  heap->verify();
}

TEST_F(HeapTest, AllocationRoundsUpAndZeroFills) {
  const VMAddr a = heap->allocate(10, 0, GC_CODE_LEAF);
  word(a, 0) = 0xDEADBEEF;
  heap->freeObject(a);
  const VMAddr b = heap->allocate(9, 0, GC_CODE_LEAF);
  EXPECT_EQ(b, a);
  EXPECT_EQ(he(b)->usedSize, 12u);
  EXPECT_EQ(word(b, 0), 0u);
}

// A reused dirty block must come back all zero, slack included, with its
// header, footer and both neighbours intact, for every small size and slack.
TEST_F(HeapTest, ReusedDirtyBlocksComeBackZeroWithNeighboursIntact) {
  for (TUint32 request = 0; request <= 96; request += 4) {
    for (TUint32 slack = 0; slack <= 28; slack += 4) {
      const VMAddr before = heap->allocate(8, 0, GC_CODE_LEAF);
      const VMAddr dirty = heap->allocate(request + slack, 0, GC_CODE_LEAF);
      const VMAddr after = heap->allocate(8, 0, GC_CODE_LEAF);
      const VMAddr rest = heap->allocate(heap->memUsage().freeSpace, 0, GC_CODE_LEAF);   // the only free block left
      for (VMAddr o : {before, dirty, after}) std::memset(vmPtr(o), 0xA5, he(o)->size);
      heap->freeObject(dirty);
      const VMAddr again = heap->allocate(request, 0, GC_CODE_LEAF);
      ASSERT_EQ(again, dirty);
      EXPECT_EQ(he(again)->usedSize, request);
      EXPECT_EQ(he(again)->size, request + slack);
      EXPECT_EQ(he(again)->typeId, 0);
      EXPECT_EQ(he(again)->marked, 0u);
      EXPECT_EQ(he(again)->gcCode, TUint32(GC_CODE_LEAF));
      EXPECT_EQ(he(again)->freeHeapEntryIterator, 0u);
      const TUint8* data = vmPtr(again);
      EXPECT_TRUE(std::all_of(data, data + request + slack, [](TUint8 b) { return b == 0; }))
          << "request " << request << " slack " << slack;
      for (VMAddr o : {before, after}) {
        const TUint8* d = vmPtr(o);
        EXPECT_TRUE(std::all_of(d, d + 8, [](TUint8 b) { return b == 0xA5; })) << "request " << request;
      }
      heap->verify();
      for (VMAddr o : {before, again, after, rest}) heap->freeObject(o);
    }
  }
}

TEST_F(HeapTest, RemainderOf28StaysAsSlackAnd32Splits) {
  const TUint32 c = VMHeap::kDefaultPoolSize;
  const VMAddr a = heap->allocate(c - 28, 0, GC_CODE_LEAF);
  EXPECT_EQ(he(a)->size, c);
  EXPECT_EQ(heap->memUsage().wasted, 28);
  heap->freeObject(a);
  const VMAddr b = heap->allocate(c - 32, 0, GC_CODE_LEAF);
  EXPECT_EQ(he(b)->size, c - 32);
  EXPECT_EQ(heap->memUsage().freeSpace, 4);
}

TEST_F(HeapTest, LargeRequestGetsAnExactPool) {
  const VMAddr a = heap->allocate(100001, 0, GC_CODE_LEAF);
  ASSERT_EQ(heap->poolCount(), 2);
  EXPECT_EQ(heap->poolBytes(1), 100004u + 80);
  EXPECT_EQ(he(a)->size, 100004u);
  EXPECT_EQ(heap->memUsage().wasted, 0);
  // The original pool is still whole and free.
  EXPECT_EQ(heap->memUsage().freeSpace, VMHeap::kDefaultPoolSize);
}

TEST_F(HeapTest, LargerBucketWinsOverExactBucket) {
  const VMAddr big = heap->allocate(100, 0, GC_CODE_LEAF);
  const VMAddr g1 = heap->allocate(4, 0, GC_CODE_LEAF);
  const VMAddr exact = heap->allocate(40, 0, GC_CODE_LEAF);
  heap->allocate(4, 0, GC_CODE_LEAF);
  heap->freeObject(big);     // list 7
  heap->freeObject(exact);   // list 6
  // 36 falls in list 6; list 7 is searched first and its oldest block used.
  EXPECT_EQ(heap->allocate(36, 0, GC_CODE_LEAF), big);
  EXPECT_GT(exact, g1);
}

TEST_F(HeapTest, FirstFitInTheExactBucket) {
  const VMAddr small = heap->allocate(36, 0, GC_CODE_LEAF);
  heap->allocate(4, 0, GC_CODE_LEAF);
  const VMAddr fits = heap->allocate(60, 0, GC_CODE_LEAF);
  heap->allocate(4, 0, GC_CODE_LEAF);
  heap->allocate(VMHeap::kDefaultPoolSize - 600, 0, GC_CODE_LEAF);   // leave no large block behind
  while (heap->memUsage().freeSpace > 64) heap->allocate(4, 0, GC_CODE_LEAF);
  heap->freeObject(small);
  heap->freeObject(fits);
  EXPECT_EQ(heap->allocate(48, 0, GC_CODE_LEAF), fits);
}

TEST_F(HeapTest, ThreeAdjacentFreesCoalesceInAnyOrder) {
  int order[3] = {0, 1, 2};
  do {
    VMAddr o[3];
    for (VMAddr& x : o) x = heap->allocate(20, 0, GC_CODE_LEAF);
    const VMAddr guard = heap->allocate(4, 0, GC_CODE_LEAF);
    for (int i : order) heap->freeObject(o[i]);
    heap->verify();
    const HeapEntry* first = he(o[0]);
    EXPECT_NE(first->freeHeapEntryIterator, 0u);
    EXPECT_EQ(first->size, 3 * 20u + 2 * 28);
    EXPECT_EQ(o[0] - 24 + first->size + 28, guard - 24);
    heap->freeObject(guard);
  } while (std::next_permutation(order, order + 3));
}

TEST_F(HeapTest, AllocateTwoAndThreeCarveAdjacentIndependentEntries) {
  VMAddr s, c;
  heap->allocateTwo(8, -1, GC_CODE_STRING, 4, 0, GC_CODE_REF_HOLDER, s, c);
  EXPECT_EQ(c, s + 8 + 28);
  EXPECT_EQ(he(s)->gcCode, GC_CODE_STRING);
  EXPECT_EQ(he(s)->typeId, -1);
  EXPECT_EQ(he(c)->gcCode, GC_CODE_REF_HOLDER);
  EXPECT_EQ(he(c)->usedSize, 4u);
  EXPECT_EQ(heap->nOfEntries(), 2);
  new (vmPtr(s)) GCObject();   // a native object of 8 bytes
  heap->freeObject(s);
  EXPECT_TRUE(heap->isLiveBlock(c));
  heap->verify();

  VMAddr a, b, d;
  heap->allocateThree(5, 0, GC_CODE_LEAF, 6, 0, GC_CODE_VECTOR_HOLDER, 7, 0, GC_CODE_LEAF, a, b, d);
  EXPECT_EQ(b, a + 8 + 28);
  EXPECT_EQ(d, b + 8 + 28);
  EXPECT_EQ(he(b)->gcCode, GC_CODE_VECTOR_HOLDER);
  EXPECT_EQ(he(d)->usedSize, 8u);
  heap->freeObject(b);
  heap->verify();
  heap->freeObject(d);
  heap->freeObject(a);
}

TEST_F(HeapTest, SecondEntryTakesTheSlack) {
  // A 44-byte hole: 8 + 4 + 28 = 40 leaves 4 bytes, too few to split off.
  const VMAddr hole = heap->allocate(44, 0, GC_CODE_LEAF);
  heap->allocate(4, 0, GC_CODE_LEAF);
  heap->allocate(VMHeap::kDefaultPoolSize - 200, 0, GC_CODE_LEAF);
  while (heap->memUsage().freeSpace > 0) heap->allocate(0, 0, GC_CODE_LEAF);
  heap->freeObject(hole);
  VMAddr s, c;
  heap->allocateTwo(8, 0, GC_CODE_LEAF, 4, 0, GC_CODE_REF_HOLDER, s, c);
  EXPECT_EQ(s, hole);
  EXPECT_EQ(he(c)->size, 8u);
  EXPECT_EQ(he(c)->usedSize, 4u);
}

TEST_F(HeapTest, RefusedRequests) {
  expectRaise(ERR_INVALID_ARGUMENT, [&] { heap->allocate(4, 0, GC_CODE_FREE); });
  expectRaise(ERR_INVALID_ARGUMENT, [&] { heap->allocate(4, 0, GC_CODE_TERMINATOR); });
  expectRaise(ERR_INVALID_ARGUMENT, [&] { heap->allocate(0xFFFFFFFFu, 0, GC_CODE_LEAF); });
  expectRaise(ERR_INVALID_ARGUMENT, [&] { heap->allocateWords(-1, GC_CODE_LEAF); });
  expectRaise(ERR_INVALID_ARGUMENT, [&] { heap->allocateWords(0x40000000, GC_CODE_LEAF); });
  VMAddr a, b;
  expectRaise(ERR_INVALID_ARGUMENT, [&] { heap->allocateTwo(4, 0, GC_CODE_LEAF, 4, 0, GC_CODE_FREE, a, b); });
  EXPECT_EQ(heap->nOfEntries(), 0);
}

TEST_F(HeapTest, MemoryReportText) {
  QString report;
  EXPECT_EQ(heap->getMemUsage(&report), 80);
  EXPECT_EQ(report.toStdString(),
            "\nheaders 80 + actual 0 + wasted 0 + outsideHeap 0 = total 80\n"
            "stringContents=0 bitmapContents=0 fontContents=0\n"
            "nOfEntries=0 nOfPools=1 SzOfPools=64080 AllContents=64000 freeSpace=64000\n");


  probe(&deaths, 0, GC_CODE_STRING, 100);
  probe(&deaths, 0, GC_CODE_FONT, 7);
  heap->allocate(2, 0, GC_CODE_LEAF);
  report.clear();
  const TInt64 total = heap->getMemUsage(&report);
  const TInt64 probeSize = sizeof(Probe);
  // Each allocation adds a header and footer; the split tail keeps the rest.
  const TInt64 headers = 80 + 3 * 28;
  EXPECT_EQ(total, headers + 2 * probeSize + 4 + 107);
  EXPECT_TRUE(report.contains("stringContents=100 bitmapContents=0 fontContents=7\n"));
  EXPECT_TRUE(report.contains("nOfEntries=3 nOfPools=1 "));
}
