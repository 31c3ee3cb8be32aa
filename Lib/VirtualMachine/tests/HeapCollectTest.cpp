// Marking by gc code, roots, sweep, and the collector's hostile-input mends.
#include "HeapTestSupport.h"

#include <vector>

TEST_F(HeapTest, CollectWithoutRootsFreesEverything) {

  for (int i = 0; i < 50; ++i) heap->allocate(i * 3, 0, GC_CODE_LEAF);
  probe(&deaths);
  heap->collect();
  EXPECT_EQ(heap->nOfEntries(), 0);
  EXPECT_EQ(heap->memUsage().actual, 0);
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(heap->memUsage().freeSpace, VMHeap::kDefaultPoolSize);   // one block again
}

TEST_F(HeapTest, RootsCountOccurrences) {
  const VMAddr a = heap->allocateWords(2, GC_CODE_LEAF);
  heap->addRoot(a);
  heap->addRoot(a);
  heap->removeRoot(a);
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(a));
  heap->removeRoot(a);
  heap->collect();
  EXPECT_FALSE(heap->isLiveBlock(a));
}

TEST_F(HeapTest, RemovingAnUnknownRootOnlyPrints) {
  const VMAddr a = heap->allocateWords(1, GC_CODE_LEAF);
  heap->addRoot(a);
  testing::internal::CaptureStderr();
  heap->removeRoot(a + 4);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "Error: Removing non-existing root: " + std::to_string(static_cast<TInt32>(a + 4)) + "\n");
  EXPECT_EQ(heap->rootCount(), 1);
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(a));
}

TEST_F(HeapTest, DestructorRunsOnceOnFreeSweepAndShutdown) {
  int freed = 0, swept = 0, kept = 0;
  heap->freeObject(probe(&freed));
  probe(&swept);
  const VMAddr k = probe(&kept);
  heap->addRoot(k);
  heap->collect();
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(swept, 1);
  EXPECT_EQ(kept, 0);
  heap.reset();   // shutdown sweep ignores roots
  EXPECT_EQ(kept, 1);
}

TEST_F(HeapTest, ReferenceCellsAndNativeReferencesAreFollowed) {

  const VMAddr leaf = heap->allocateWords(1, GC_CODE_LEAF);
  const VMAddr native = probe(&deaths, leaf);
  const VMAddr outer = cell(cell(native));
  const VMAddr lost = cell(heap->allocateWords(1, GC_CODE_LEAF));
  heap->addRoot(outer);
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(leaf));
  EXPECT_TRUE(heap->isLiveBlock(native));
  EXPECT_FALSE(heap->isLiveBlock(lost));
  EXPECT_EQ(heap->nOfEntries(), 4);
}

TEST_F(HeapTest, ClassObjectsTraceTheirFieldMaps) {
  refFields.resize(2);
  vecFields.resize(2);
  vecFlags.resize(2);
  refFields[1].append(1);
  refFields[1].append(3);
  vecFields[1].append(4);
  vecFlags[1].append(char(0xFF));
  const VMAddr obj = heap->allocateWords(6, GC_CODE_CLASS_OBJECT);
  word(obj, 0) = 1;
  const VMAddr f1 = heap->allocateWords(1, GC_CODE_LEAF);
  const VMAddr notAField = heap->allocateWords(1, GC_CODE_LEAF);
  const VMAddr f3 = heap->allocateWords(1, GC_CODE_LEAF);
  word(obj, 1) = f1;
  word(obj, 2) = notAField;
  word(obj, 3) = f3;
  const VMAddr vec = vector(2, 4);
  const VMAddr element = heap->allocateWords(1, GC_CODE_LEAF);
  heapWord(data(vec)) = element;
  word(obj, 4) = vec;
  heap->addRoot(obj);
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(f1));
  EXPECT_TRUE(heap->isLiveBlock(f3));
  EXPECT_FALSE(heap->isLiveBlock(notAField));
  EXPECT_TRUE(heap->isLiveBlock(vec));
  EXPECT_TRUE(heap->isLiveBlock(data(vec)));
  EXPECT_TRUE(heap->isLiveBlock(element));
}

TEST_F(HeapTest, VectorHoldersKeepBuffersOnlyOfNonEmptyVectors) {
  const VMAddr empty = vector(0, 10);
  const VMAddr emptyBuffer = data(empty);
  const VMAddr full = vector(1, 10);
  const VMAddr element = heap->allocateWords(1, GC_CODE_LEAF);
  heapWord(data(full)) = element;
  const VMAddr refFull = vector(1, 10);
  const VMAddr refElement = heap->allocateWords(1, GC_CODE_LEAF);
  heapWord(data(refFull)) = refElement;
  heap->addRoot(cell(empty, GC_CODE_VECTOR_HOLDER));
  heap->addRoot(cell(full, GC_CODE_VECTOR_HOLDER));
  heap->addRoot(cell(refFull, GC_CODE_REF_VECTOR_HOLDER));
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(empty));
  EXPECT_FALSE(heap->isLiveBlock(emptyBuffer));
  EXPECT_TRUE(heap->isLiveBlock(data(full)));
  EXPECT_FALSE(heap->isLiveBlock(element));   // elements of a plain vector are data
  EXPECT_TRUE(heap->isLiveBlock(refElement));
}

TEST_F(HeapTest, VectorReachedDirectlyDoesNotKeepItsBuffer) {
  const VMAddr v = vector(3, 10);
  const VMAddr buffer = data(v);
  heap->addRoot(cell(v));
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(v));
  EXPECT_FALSE(heap->isLiveBlock(buffer));
}

TEST_F(HeapTest, BitmapHandleTracesByItsKind) {
  const VMAddr a = heap->allocateWords(1, GC_CODE_LEAF);
  const VMAddr b = heap->allocateWords(1, GC_CODE_LEAF);
  const VMAddr one = heap->allocateWords(3, GC_CODE_BITMAP_HANDLE);
  word(one, 0) = 1;
  word(one, 1) = a;
  word(one, 2) = b;
  heap->addRoot(one);
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(a));
  EXPECT_FALSE(heap->isLiveBlock(b));
  const VMAddr c = heap->allocateWords(1, GC_CODE_LEAF);
  word(one, 0) = 2;
  word(one, 2) = c;
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(a));
  EXPECT_TRUE(heap->isLiveBlock(c));
}

TEST_F(HeapTest, BadBitmapHandleIsACleanError) {
  const VMAddr keep = heap->allocateWords(1, GC_CODE_LEAF);
  heap->addRoot(keep);
  const VMAddr h = heap->allocateWords(3, GC_CODE_BITMAP_HANDLE);
  word(h, 0) = 3;
  heap->addRoot(h);
  const TInt32 before = heap->nOfEntries();
  expectRaise(ERR_VM, [&] { heap->collect(); });
  EXPECT_EQ(heap->nOfEntries(), before);
  heap->verify();   // no mark left behind
  word(h, 0) = 0;
  expectRaise(ERR_VM, [&] { heap->collect(); });
  heap->removeRoot(h);
  heap->collect();
  EXPECT_TRUE(heap->isLiveBlock(keep));
}

// A word that is no live object start is never marked through.
TEST_F(HeapTest, NonObjectWordsAreNotFollowed) {
  const VMAddr stale = heap->allocateWords(4, GC_CODE_LEAF);
  const VMAddr big = heap->allocateWords(8, GC_CODE_LEAF);
  heap->allocateWords(1, GC_CODE_LEAF);
  heap->freeObject(stale);
  const VMAddr cells[] = {
    cell(12345),                           // boxed integer
    cell(stale),                           // freed block
    cell(big + 8),                         // inside a block
    cell(heap->poolStart(0) + 24),         // start terminator
    cell(heap->poolStart(0) + heap->poolBytes(0)),   // past the pool
    cell(0xFFFFFFF0u),                     // outside the arena
  };
  for (VMAddr c : cells) heap->addRoot(c);
  heap->collect();
  EXPECT_FALSE(heap->isLiveBlock(big));
  for (VMAddr c : cells) EXPECT_TRUE(heap->isLiveBlock(c));
}

TEST_F(HeapTest, MissingFieldMapsAndTinyGlobalsReadNothingOutside) {
  // Class 28 has a reference field 7: for a 0-word object that word is the
  // next block's word 0, which must not be read.
  refFields.resize(29);
  refFields[28].append(7);
  const VMAddr globals = heap->allocateWords(0, GC_CODE_CLASS_OBJECT);
  const VMAddr next = heap->allocateWords(1, GC_CODE_LEAF);
  ASSERT_EQ(next, globals + 28);
  const VMAddr victim = heap->allocateWords(1, GC_CODE_LEAF);
  word(next, 0) = victim;
  heap->addRoot(globals);
  heap->addRoot(next);
  // A class id with no field map at all, and one beyond the tables.
  const VMAddr orphan = heap->allocateWords(2, GC_CODE_CLASS_OBJECT);
  word(orphan, 0) = 5000;
  word(orphan, 1) = next;
  heap->addRoot(orphan);
  heap->collect();
  EXPECT_FALSE(heap->isLiveBlock(victim));
  EXPECT_TRUE(heap->isLiveBlock(globals));
}

TEST_F(HeapTest, FreeingANonBlockIsRefused) {
  const VMAddr a = heap->allocateWords(4, GC_CODE_LEAF);
  const VMAddr b = heap->allocateWords(4, GC_CODE_LEAF);
  heap->freeObject(a);
  const TInt32 before = heap->nOfEntries();
  const VMAddr bad[] = {a, b + 4, b - 24, heap->poolStart(0) + 24, 70000000u, 8u};
  for (VMAddr x : bad) {
    const QString msg = expectRaise(ERR_RUNTIME, [&] { heap->freeObject(x); });
    EXPECT_EQ(msg.toStdString(), "RuntimeException: Invalid address");
    heap->verify();
  }
  EXPECT_EQ(heap->nOfEntries(), before);
  heap->freeObject(0);
}

GCOBJECT_PACK_BEGIN
// Frees itself again from its destructor; the heap must refuse that.
class SelfFreeing : public GCObject {
 public:
  SelfFreeing(VMHeap* heap, TInt32* code) : iHeap(heap), iCode(code) {}
  ~SelfFreeing() override {
    try {
      iHeap->freeObject(vmAddr(this));
    } catch (const ErrorHandlingException&) {
      *iCode = currentErrorCode();
    }
  }
  VMHeap* iHeap;
  TInt32* iCode;
};
GCOBJECT_PACK_END

TEST_F(HeapTest, DestructorCannotFreeItsBlockTwice) {
  TInt32 code = 0;
  const VMAddr o = heap->allocate(sizeof(SelfFreeing), -1, GC_CODE_LEAF);
  new (vmPtr(o)) SelfFreeing(heap.get(), &code);
  heap->freeObject(o);
  EXPECT_EQ(code, ERR_RUNTIME);
  EXPECT_EQ(heap->nOfEntries(), 0);
}

TEST_F(HeapTest, MarkingAFreeBlockOrTerminatorIsACleanError) {
  const VMAddr a = heap->allocateWords(1, GC_CODE_LEAF);
  heap->allocateWords(1, GC_CODE_LEAF);
  heap->addRoot(a);
  heap->freeObject(a);   // the root is now stale
  expectRaise(ERR_VM, [&] { heap->collect(); });
  heap->verify();
  heap->removeRoot(a);
  expectRaise(ERR_VM, [&] { heap->mark(heap->poolStart(0) + 24); });
  expectRaise(ERR_VM, [&] { heap->mark(12345); });
  heap->collect();
  EXPECT_EQ(heap->nOfEntries(), 0);
}

TEST_F(HeapTest, MarkIfInHeapFindsTheBlockHoldingAnAddress) {
  const VMAddr a = heap->allocateWords(10, GC_CODE_LEAF);
  const VMAddr b = heap->allocateWords(10, GC_CODE_LEAF);
  const VMAddr c = heap->allocateWords(1, GC_CODE_LEAF);
  heap->freeObject(c);
  heap->markIfInHeap(a + 36);          // interior pointer
  heap->markIfInHeap(c);               // free space
  heap->markIfInHeap(heap->poolStart(0) + heap->poolBytes(0) - 4);   // end terminator
  heap->markIfInHeap(5);
  EXPECT_TRUE(heap->isMarked(a));
  EXPECT_FALSE(heap->isMarked(b));
  heap->sweep();
  EXPECT_TRUE(heap->isLiveBlock(a));
  EXPECT_FALSE(heap->isLiveBlock(b));
}

TEST_F(HeapTest, BelongsToPoolsNamesTheContainingBlock) {
  const VMAddr small = heap->allocateWords(3, GC_CODE_LEAF);
  const VMAddr huge = heap->allocate(1 << 20, 0, GC_CODE_LEAF);   // its own pool
  for (VMAddr x = small - 24; x < small + 16; ++x) EXPECT_EQ(heap->belongsToPools(x), small - 24) << x;
  EXPECT_EQ(heap->belongsToPools(small + 16), small + 16);
  EXPECT_EQ(heap->belongsToPools(huge + (1 << 20) - 1), huge - 24);
  EXPECT_EQ(heap->belongsToPools(huge + (1 << 20)), huge - 24);   // its footer
  const VMAddr end = heap->poolStart(1) + heap->poolBytes(1);
  EXPECT_EQ(heap->belongsToPools(end - 1), end - 24);
  EXPECT_EQ(heap->belongsToPools(end), 0u);
  EXPECT_EQ(heap->belongsToPools(heap->poolStart(0) - 1), 0u);
  EXPECT_EQ(heap->belongsToPools(0), 0u);
}

TEST_F(HeapTest, DeepChainsDoNotExhaustTheNativeStack) {
  VMAddr head = 0;
  for (int i = 0; i < 300000; ++i) head = cell(head);
  heap->addRoot(head);
  heap->collect();
  EXPECT_EQ(heap->nOfEntries(), 300000);
}

TEST_F(HeapTest, VerifyCatchesCorruption) {
  const VMAddr a = heap->allocateWords(4, GC_CODE_LEAF);
  heap->allocateWords(4, GC_CODE_LEAF);
  heapWord(a + 16) = 99;   // a's footer
  EXPECT_TRUE(expectRaise(ERR_ASSERTION_FAILED, [&] { heap->verify(); }).contains("invariant 2"));
  heapWord(a + 16) = 16 + 28;
  he(a)->marked = 1;
  EXPECT_TRUE(expectRaise(ERR_ASSERTION_FAILED, [&] { heap->verify(); }).contains("invariant 8"));
  he(a)->marked = 0;
  // A start bit inside a block is one too many; bits beside the pool are not its own.
  vmSetBlockStart(a + 4, true);
  EXPECT_TRUE(expectRaise(ERR_ASSERTION_FAILED, [&] { heap->verify(); }).contains("invariant 6"));
  vmSetBlockStart(a + 4, false);
  for (const VMAddr beside : {heap->poolStart(0) - 4, heap->poolStart(0) + heap->poolBytes(0)}) {
    if (vmIsBlockStart(beside)) continue;
    vmSetBlockStart(beside, true);
    heap->verify();
    vmSetBlockStart(beside, false);
  }
}
