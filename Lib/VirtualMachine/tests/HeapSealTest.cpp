// What the bytecode can reach in the heap: block data, never headers,
// footers, terminators or native objects; free data stays open.
#include "Errors.h"
#include "HeapEntry.h"
#include "HeapTestSupport.h"
#include "NString.h"

#include <gtest/gtest.h>
#include <new>

namespace {

using HeapSealTest = HeapTest;

TEST_F(HeapSealTest, HeadersAndFootersAreSealedDataIsOpen) {
  const VMAddr a = heap->allocateWords(4, GC_CODE_LEAF);
  const VMAddr b = heap->allocateWords(2, GC_CODE_LEAF);
  EXPECT_TRUE(vmOpen(a, 16));
  EXPECT_TRUE(vmSealed(a - kHeaderSize, 4));
  EXPECT_TRUE(vmSealed(a + 16, 4));          // footer
  EXPECT_TRUE(vmSealed(b - 4, 4));           // the next block's header
  EXPECT_FALSE(vmOpen(a + 12, 8));           // straddles data and footer
  heap->freeObject(a);
  heap->freeObject(b);
  // Coalesced: the old footer and header in the middle are plain free data.
  EXPECT_TRUE(vmOpen(a, 16 + kBlockOverhead + 8));
}

TEST_F(HeapSealTest, NativeObjectsAreSealedWhileTheyLive) {
  const VMAddr s = heap->allocate(sizeof(NString), -1, GC_CODE_STRING);
  new (vmPtr(s)) NString("text");
  EXPECT_TRUE(vmIsObjectStart(s));
  EXPECT_FALSE(vmIsObjectStart(s + 4));
  EXPECT_TRUE(vmSealed(s, 4));
  EXPECT_TRUE(vmSealed(s + sizeof(NString) - 1, 1));
  heap->freeObject(s);
  EXPECT_FALSE(vmIsObjectStart(s));
  EXPECT_TRUE(vmOpen(s, sizeof(NString) & ~3u));
}

TEST_F(HeapSealTest, SplitBlocksSealOnlyTheNativePart) {
  VMAddr object = 0, cell = 0;
  heap->allocateTwo(sizeof(NString), -1, GC_CODE_STRING, 4, 0, GC_CODE_REF_HOLDER, object, cell);
  new (vmPtr(object)) NString();
  EXPECT_TRUE(vmSealed(object, 4));
  EXPECT_TRUE(vmOpen(cell, 4));
  EXPECT_TRUE(vmSealed(cell - kHeaderSize, kHeaderSize));
  heap->verify();
}

// A free block's list links live in its sealed header. Should host code
// ever break them, taking or merging the block is refused, never followed.
TEST_F(HeapSealTest, BrokenFreeListLinksAreRefused) {
  const VMAddr a = heap->allocateWords(8, GC_CODE_LEAF);
  const VMAddr guard = heap->allocateWords(1, GC_CODE_LEAF);
  heap->freeObject(a);   // free, between the pool start and the allocated guard
  HeapEntry* he = heapEntry(a - kHeaderSize);
  const TInt32 next = he->typeId;
  const TUint32 previous = he->freeHeapEntryIterator;
  ASSERT_NE(previous, 0u);
  for (const TUint32 wild : {0x10u, 0xFFFFFFF0u, guard - kHeaderSize}) {
    he->freeHeapEntryIterator = wild;
    expectRaise(11, [&] { heap->allocateWords(2, GC_CODE_LEAF); });
    he->freeHeapEntryIterator = previous;
    he->typeId = static_cast<TInt32>(wild);
    expectRaise(11, [&] { heap->allocateWords(2, GC_CODE_LEAF); });
    he->typeId = next;
    heap->verify();   // nothing was written
  }
  // Freeing the guard would take in the block: refused before either
  // neighbour is touched.
  he->typeId = 0x10;
  expectRaise(11, [&] { heap->freeObject(guard); });
  EXPECT_EQ(heapEntry(a - kHeaderSize)->size, 32u);
  he->typeId = next;
  heap.reset();   // the guard is half freed: leave it to the shutdown sweep
}

}  // namespace

namespace {

TEST_F(HeapSealTest, AnArenaLimitRefusesFurtherPools) {
  VMArena::setLimit(VMArena::used() + (1u << 20));
  EXPECT_THROW(heap->allocateWords(1 << 20, GC_CODE_LEAF), ErrorHandlingException);
  EXPECT_EQ(currentErrorCode(), 6);
  clearError();
  VMArena::setLimit(~0ull);
  EXPECT_NE(heap->allocateWords(1 << 20, GC_CODE_LEAF), 0u);
}

}  // namespace
