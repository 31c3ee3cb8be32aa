// The VM heap: pool allocator with boundary tags and free lists, and the
// mark-and-sweep collector.
//
// Heap invariants (verify() checks each one by number):
//  1. A pool of B bytes at S is a chain of blocks: a start terminator at S,
//     then each block at the previous header + size + 28, ending exactly at
//     the end terminator at S + B - 24. Terminators have size 0, gcCode 18.
//  2. Every block but the end terminator has a footer (header + 24 + size)
//     holding size + 28.
//  3. Sizes are multiples of 4; allocated blocks have usedSize <= size; free
//     blocks have usedSize, marked and gcCode 0.
//  4. A block is free exactly when freeHeapEntryIterator != 0; it then lies
//     in the ring of list freeListIndex(size), its predecessor in that field
//     and its successor in typeId, each naming it back; every block in a
//     ring is such a free block.
//  5. No two free blocks are adjacent.
//  6. The arena's block-start bits in a pool are set exactly at its block starts.
//  7. Allocated blocks never carry gcCode 0 or 18; nOfEntries counts them.
//  8. Outside a mark phase every marked field is 0 (a raise while marking
//     clears the marks before it leaves the heap).
//  9. The collector marks through a word only when it is the object address
//     (header + 24) of an allocated block; anything else is skipped, so a
//     boxed integer, a wrong field map or a stale reference cannot reach
//     free space, a terminator or outside a pool. Reads of an object's
//     words stay below its usedSize.
// 10. getMemUsage balances: pool bytes = free + used + wasted + headers.
// 11. Headers, footers and terminators are sealed (out of the bytecode's
//     reach); so is the data of every live native object (typeId != 0),
//     whose first word carries the arena's object mark. Other data is open.
#include "Heap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// The allocation and release paths inline every helper they call: list,
// node pool, block map and seal updates are a few instructions each, and
// calls would cost as much again.
#define HEAP_PATH __attribute__((flatten))

static_assert(kBlockOverhead == 7 * 4, "vmSealBoundary covers a footer and a header: seven words");

namespace {

TUint32 roundUp4(TUint32 n) { return (n + 3u) & ~3u; }

void checkRequest(TUint64 bytes) {
  if (bytes > VMHeap::kMaxRequest) raise(ERR_INVALID_ARGUMENT, "Heap request too large");
}

void checkGcCode(TUint32 gcCode) {
  if (gcCode == GC_CODE_FREE || gcCode == GC_CODE_TERMINATOR) raise(ERR_INVALID_ARGUMENT, "Invalid heap gc code");
}

void writeTerminator(VMAddr header) {
  *heapEntry(header) = HeapEntry{0, 0, 0, 0, GC_CODE_TERMINATOR, 0};
  vmSeal(header, kHeaderSize);
}

// Heap metadata and native objects are sealed from the bytecode: headers
// and footers always, the data of a native object while it lives (it holds
// host pointers). Free blocks and plain blocks keep their data open.
void sealNativeData(VMAddr data, TUint32 size, TInt32 typeId) {
  if (typeId == 0) return;
  vmSeal(data, size);
  vmSetObjectStart(data, true);
}

// Two neighbouring header fields in one store.
template <typename T>
inline void storeWords(T* first, TUint32 a, TUint32 b) {
  const TUint64 v = TUint64(b) << 32 | a;
  std::memcpy(first, &v, sizeof v);
}

bool isFree(const HeapEntry* he) { return he->freeHeapEntryIterator != 0; }

bool hasObject(const HeapEntry* he) { return he->typeId == -1 && he->usedSize >= sizeof(void*); }

GCObject* gcObjectAt(VMAddr object) { return vmPtrAs<GCObject>(object); }

}  // namespace

// ---- construction -------------------------------------------------------

VMHeap::VMHeap(InterfaceForCallingGc* gcCaller, TUint32 defaultPoolSize, const Vec<Vec<int>>& classReferenceFields,
               const Vec<Vec<int>>& classVectorFields, const Vec<Vec<char>>& classVectorFieldFlags)
    : iGcCaller(gcCaller),
      iDefaultPoolSize(roundUp4(std::min(defaultPoolSize, kMaxRequest))),
      iClassReferenceFields(classReferenceFields),
      iClassVectorFields(classVectorFields),
      iClassVectorFieldFlags(classVectorFieldFlags),
      iRoots(&iNodePool) {
  addEntryToFreeEntries(createPool(iDefaultPoolSize));
}

VMHeap::~VMHeap() {
  // Shutdown sweep: with no marks every object is freed and every GCObject
  // destructor runs. The pools themselves go with the arena.
  try {
    sweep();
  } catch (const ErrorHandlingException&) {
  }
  iRoots.clear();
}

VMAddr VMHeap::createPool(TUint32 capacity) {
  const TUint32 bytes = capacity + kPoolOverhead;
  // Room in the pool tables first: a host allocation refused below (the
  // host-memory limit, or the system) then leaves every table as it was.
  const TInt32 pools = iPoolStarts.size() + 1;
  if (iPoolStarts.capacity() < pools) iPoolStarts.setCapacity(pools * 2);
  if (iPoolSizes.capacity() < pools) iPoolSizes.setCapacity(pools * 2);
  iBlockMaps.reserve(static_cast<size_t>(pools));
  const VMAddr start = VMArena::commit(bytes);
  HeapBlockMap map(start, bytes);
  const TUint32 lastChunk = (start + bytes - 1) >> kChunkShift;
  if (iChunkPools.size() <= lastChunk) iChunkPools.reserve(lastChunk + 1);
  VM_ASSERT(iPoolStarts.isEmpty() || start > iPoolStarts.last());   // kept sorted for lookup
  writeTerminator(start);
  heapWord(start + kHeaderSize) = kBlockOverhead;
  vmSeal(start + kHeaderSize, kFooterSize);
  const VMAddr entry = start + kBlockOverhead;
  *heapEntry(entry) = HeapEntry{0, capacity, 0, 0, GC_CODE_FREE, 0};
  heapWord(footerOf(entry)) = capacity + kBlockOverhead;
  vmSeal(entry, kHeaderSize);
  vmSeal(footerOf(entry), kFooterSize);
  const VMAddr end = start + bytes - kHeaderSize;
  writeTerminator(end);

  iPoolStarts.append(start);
  iPoolSizes.append(bytes);
  iBlockMaps.push_back(std::move(map));
  HeapBlockMap::set(start);
  HeapBlockMap::set(entry);
  HeapBlockMap::set(end);
  iSummariesStale = true;
  indexPool(iPoolStarts.size() - 1);
  iTotalPoolBytes += bytes;
  return entry;
}

// ---- free lists ---------------------------------------------------------

void VMHeap::addEntryToFreeEntries(VMAddr header) {
  const TInt32 indexInFreeEntries = freeListIndex(heapEntry(header)->size);
  VM_ASSERT(indexInFreeEntries < kFreeLists);
  iFreeLists.append(indexInFreeEntries, header);
}

// header's links must have been checked (HeapFreeLists::linked).
void VMHeap::removeEntryFromFreeEntries(VMAddr header) { iFreeLists.remove(header); }

void VMHeap::unlinkFree(VMAddr header) {
  // The links live in arena memory: never follow them unchecked.
  if (!HeapFreeLists::linked(header)) raiseInvalidAddress();
  iFreeLists.remove(header);
}

VMAddr VMHeap::findFreeEntry(TUint32 size) {
  const TInt32 c = freeListIndex(size);
  // Every block of a larger list fits: take the oldest of the smallest
  // non-empty larger list without a size test.
  const TUint32 larger = iFreeLists.nonEmpty() & (~1u << c);   // lists c + 1 and up; none for c = 31
  if (larger) {
    const VMAddr header = iFreeLists.takeFirst(__builtin_ctz(larger));
    if (!header) raiseInvalidAddress();
    return header;
  }
  for (VMAddr header = iFreeLists.first(c); header; header = iFreeLists.next(c, header)) {
    if (heapEntry(header)->size < size) continue;
    unlinkFree(header);
    return header;
  }
  return 0;
}

// ---- pool lookup --------------------------------------------------------

const HeapBlockMap* VMHeap::mapContaining(VMAddr address) const {
  // Neighbouring blocks are looked up in turn: try the last pool first.
  if (address - iLastStart < iLastBytes) return &iBlockMaps[iLastMap];
  const TUint32 chunk = address >> kChunkShift;
  if (chunk >= iChunkPools.size()) return nullptr;
  // The chunk names the lowest pool touching it; a later one may follow.
  for (TInt32 p = iChunkPools[chunk]; p >= 0 && size_t(p) < iBlockMaps.size(); ++p) {
    const HeapBlockMap& map = iBlockMaps[p];
    if (map.start() > address) break;
    if (map.contains(address)) {
      iLastMap = p;
      iLastStart = map.start();
      iLastBytes = map.bytes();
      return &map;
    }
  }
  return nullptr;
}

void VMHeap::indexPool(TInt32 pool) {
  const HeapBlockMap& map = iBlockMaps[pool];
  const TUint32 first = map.start() >> kChunkShift, last = (map.start() + map.bytes() - 1) >> kChunkShift;
  if (iChunkPools.size() <= last) iChunkPools.resize(last + 1, -1);
  for (TUint32 c = first; c <= last; ++c)
    if (iChunkPools[c] < 0) iChunkPools[c] = pool;
}

bool VMHeap::isBlockStart(VMAddr header) const {
  // The bit first: it turns away most words that are no block at all.
  return vmIsBlockStart(header) && inPools(header);
}

VMAddr VMHeap::belongsToPools(VMAddr address) const {
  const HeapBlockMap* map = mapContaining(address);
  if (!map) return 0;
  if (iSummariesStale) {
    for (const HeapBlockMap& m : iBlockMaps) m.refresh();
    iSummariesStale = false;
  }
  return map->startAtOrBefore(address);
}

bool VMHeap::isLiveBlock(VMAddr object) const {
  if (object < kHeaderSize) return false;
  const VMAddr header = object - kHeaderSize;
  if (!isBlockStart(header)) return false;
  const HeapEntry* he = heapEntry(header);
  return !isFree(he) && he->gcCode != GC_CODE_FREE && he->gcCode != GC_CODE_TERMINATOR;
}

bool VMHeap::isMarked(VMAddr object) const {
  return isLiveBlock(object) && heapEntry(object - kHeaderSize)->marked != 0;
}

// The block after header, which must start a block of the same pool.
VMAddr VMHeap::nextIn(const HeapBlockMap& map, VMAddr header) const {
  const VMAddr next = nextBlockOf(header);
  if (next <= header || !map.isStart(next)) raiseInvalidAddress();
  return next;
}

VMAddr VMHeap::nextBlock(VMAddr header) const {
  const HeapBlockMap* map = mapContaining(header);
  if (!map) raiseInvalidAddress();
  return nextIn(*map, header);
}

// ---- allocation ---------------------------------------------------------

// The tail of a free block beyond its first size bytes becomes a free block
// of its own (a remainder of 28 bytes or less stays with the block as slack).
void VMHeap::splitTail(VMAddr header, TUint32 size, TUint32 blockSize) {
  const VMAddr tail = header + kBlockOverhead + size;
  const TUint32 tailSize = blockSize - size - kBlockOverhead;
  heapWord(header + kHeaderSize + blockSize) = tailSize + kBlockOverhead;
  heapWord(tail - kFooterSize) = size + kBlockOverhead;
  heapEntry(header)->size = size;
  HeapEntry* te = heapEntry(tail);
  storeWords(&te->usedSize, 0, tailSize);   // typeId and freeHeapEntryIterator: the list links
  storeWords(&te->marked, 0, GC_CODE_FREE);
  vmSealBoundary(tail - kFooterSize);
  HeapBlockMap::set(tail);
  iSummariesStale = true;
  addEntryToFreeEntries(tail);
}

// Makes header, a block just taken from the free space, the entry for a
// request of size bytes: split, header, seal, and the zeroing last, so that
// little is live across the call. A plain memset: the library covers a
// small block in one or two overlapping stores, faster here than fixed
// stores at clamped offsets.
inline VMAddr VMHeap::carve(VMAddr header, TUint32 size, TInt32 typeId, TUint32 gcCode) {
  HeapEntry* he = heapEntry(header);
  TUint32 blockSize = he->size;
  VM_ASSERT(blockSize >= size);
  if (blockSize - size > kBlockOverhead) {
    splitTail(header, size, blockSize);
    blockSize = size;
  }
  storeWords(&he->usedSize, size, blockSize);
  storeWords(&he->typeId, static_cast<TUint32>(typeId), 0);
  storeWords(&he->gcCode, gcCode, 0);
  sealNativeData(header + kHeaderSize, blockSize, typeId);
  ++iNOfEntries;
  std::memset(vmPtr(header + kHeaderSize), 0, blockSize);
  return header;
}

__attribute__((noinline)) VMAddr VMHeap::carveNewPool(TUint32 size, TInt32 typeId, TUint32 gcCode) {
  return carve(createPool(std::max(size, iDefaultPoolSize)), size, typeId, gcCode);
}

HEAP_PATH VMAddr VMHeap::createHeapEntry(TUint32 size, TInt32 typeId, TUint32 gcCode) {
  checkGcCode(gcCode);
  checkRequest(size);
  size = roundUp4(size);
  const VMAddr header = findFreeEntry(size);
  return header ? carve(header, size, typeId, gcCode) : carveNewPool(size, typeId, gcCode);
}

HEAP_PATH VMAddr VMHeap::allocate(TUint32 size, TInt32 typeId, TUint32 gcCode) {
  return createHeapEntry(size, typeId, gcCode) + kHeaderSize;
}

VMAddr VMHeap::allocateWords(TInt32 words, TUint32 gcCode) {
  if (words < 0) raise(ERR_INVALID_ARGUMENT, "Negative allocation size");
  checkRequest(TUint64(words) * 4);
  return allocate(static_cast<TUint32>(words) * 4, 0, gcCode);
}

// Splits an allocated block after firstSize data bytes; the second entry
// takes the rest, slack included.
void VMHeap::cutEntry(VMAddr header, TUint32 firstSize, TUint32 usedSize2, TInt32 typeId2, TUint32 gcCode2) {
  HeapEntry* he = heapEntry(header);
  const VMAddr second = header + kBlockOverhead + firstSize;
  const TUint32 secondSize = he->size - firstSize - kBlockOverhead;
  *heapEntry(second) = HeapEntry{usedSize2, secondSize, typeId2, 0, gcCode2, 0};
  heapWord(footerOf(second)) = secondSize + kBlockOverhead;
  he->size = firstSize;
  he->usedSize = firstSize;
  heapWord(footerOf(header)) = firstSize + kBlockOverhead;
  vmSeal(footerOf(header), kFooterSize);
  vmSeal(second, kHeaderSize);
  // The second block's data was part of the first one's.
  if (he->typeId != 0) vmUnseal(second + kHeaderSize, secondSize);
  sealNativeData(second + kHeaderSize, secondSize, typeId2);
  HeapBlockMap::set(second);
  iSummariesStale = true;
  ++iNOfEntries;
}

void VMHeap::allocateTwo(TUint32 size1, TInt32 typeId1, TUint32 gcCode1, TUint32 size2, TInt32 typeId2,
                         TUint32 gcCode2, VMAddr& object1, VMAddr& object2) {
  checkGcCode(gcCode2);
  checkRequest(size1);
  checkRequest(size2);
  const TUint32 r1 = roundUp4(size1), r2 = roundUp4(size2);
  checkRequest(TUint64(r1) + r2 + kBlockOverhead);
  const VMAddr header = createHeapEntry(r1 + r2 + kBlockOverhead, typeId1, gcCode1);
  cutEntry(header, r1, r2, typeId2, gcCode2);
  object1 = header + kHeaderSize;
  object2 = header + kBlockOverhead + r1 + kHeaderSize;
}

void VMHeap::allocateThree(TUint32 size1, TInt32 typeId1, TUint32 gcCode1, TUint32 size2, TInt32 typeId2,
                           TUint32 gcCode2, TUint32 size3, TInt32 typeId3, TUint32 gcCode3, VMAddr& object1,
                           VMAddr& object2, VMAddr& object3) {
  checkGcCode(gcCode2);
  checkGcCode(gcCode3);
  checkRequest(size1);
  checkRequest(size2);
  checkRequest(size3);
  const TUint32 r1 = roundUp4(size1), r2 = roundUp4(size2), r3 = roundUp4(size3);
  checkRequest(TUint64(r1) + r2 + r3 + 2 * kBlockOverhead);
  const VMAddr header = createHeapEntry(r1 + r2 + r3 + 2 * kBlockOverhead, typeId1, gcCode1);
  cutEntry(header, r1, r2 + r3 + kBlockOverhead, typeId2, gcCode2);
  const VMAddr second = header + kBlockOverhead + r1;
  cutEntry(second, r2, r3, typeId3, gcCode3);
  object1 = header + kHeaderSize;
  object2 = second + kHeaderSize;
  object3 = second + kBlockOverhead + r2 + kHeaderSize;
}

// ---- release ------------------------------------------------------------

// The footer below block and block's header become data of the block
// before it.
void VMHeap::dropBoundary(VMAddr block) {
  HeapBlockMap::clear(block);
  vmUnsealBoundary(block - kFooterSize);
}

VMAddr VMHeap::freeEntry(VMAddr header) {
  HeapEntry* he = header ? heapEntry(header) : nullptr;
  VM_ASSERT(he);
  if (he->freeHeapEntryIterator != 0)
    assertFailed("he->freeHeapEntryIterator == LinkedListIterator< HeapEntry* > ()", __FILE__, __LINE__);
  return releaseBlock(header);
}

// Takes the free neighbours (0: none on that side) into header, a block
// being released, and files the block they make. Both neighbours' links are
// checked before either is touched. Out of line, like the destructor call:
// a release without either keeps few values live.
HEAP_PATH __attribute__((noinline)) VMAddr VMHeap::mergeAndFile(VMAddr header, VMAddr next, VMAddr previous) {
  if ((next && !HeapFreeLists::linked(next)) || (previous && !HeapFreeLists::linked(previous))) raiseInvalidAddress();
  VMAddr start = header, end = nextBlockOf(header);   // end: the block after the merged one
  if (next) {
    removeEntryFromFreeEntries(next);
    dropBoundary(next);
    end = nextBlockOf(next);
  }
  if (previous) {
    removeEntryFromFreeEntries(previous);
    dropBoundary(header);
    start = previous;
  }
  // Size and footer once, for one or both sides.
  const TUint32 size = end - start - kBlockOverhead;
  heapEntry(start)->size = size;
  heapWord(end - kFooterSize) = size + kBlockOverhead;
  iSummariesStale = true;
  addEntryToFreeEntries(start);
  return start;
}

__attribute__((noinline)) void VMHeap::destroyObject(VMAddr header) {
  vmSetObjectStart(header + kHeaderSize, false);
  gcObjectAt(header + kHeaderSize)->~GCObject();
  vmUnseal(header + kHeaderSize, heapEntry(header)->size);
}

// Frees an allocated block. Its neighbours are found through the sealed
// boundary tags and must be block starts: a block never borders another pool.
HEAP_PATH VMAddr VMHeap::releaseBlock(VMAddr header) {
  HeapEntry* he = heapEntry(header);
  --iNOfEntries;
  const TInt32 typeId = he->typeId;
  // Cleared before the destructor runs, so a destructor that frees this
  // block again is refused instead of freeing it twice.
  he->usedSize = 0;
  he->typeId = 0;
  he->gcCode = GC_CODE_FREE;
  he->marked = 0;
  if (typeId != 0) destroyObject(header);
  // No two free blocks touch, so there is at most one on each side to take in.
  const VMAddr next = nextBlockOf(header);
  if (next <= header || !vmIsBlockStart(next)) raiseInvalidAddress();
  const VMAddr previous = header - heapWord(header - kFooterSize);
  const bool takeNext = isFree(heapEntry(next));
  const bool takePrevious = previous < header && vmIsBlockStart(previous) && isFree(heapEntry(previous));
  if (takeNext | takePrevious) return mergeAndFile(header, takeNext ? next : 0, takePrevious ? previous : 0);
  addEntryToFreeEntries(header);
  return header;
}

HEAP_PATH void VMHeap::freeObject(VMAddr object) {
  if (!object) return;
  if (!isLiveBlock(object)) raiseInvalidAddress();
  releaseBlock(object - kHeaderSize);
}

// ---- roots --------------------------------------------------------------

void VMHeap::addRoot(VMAddr object) { iRoots.append(object - kHeaderSize); }

bool VMHeap::isRoot(VMAddr object) const {
  for (const ListEntry<VMAddr>* node = iRoots.head(); node; node = node->next)
    if (node->value == object - kHeaderSize) return true;
  return false;
}

void VMHeap::removeRoot(VMAddr object) {
  for (ListEntry<VMAddr>* node = iRoots.head(); node; node = node->next) {
    if (node->value != object - kHeaderSize) continue;
    iRoots.remove(LinkedListIterator<VMAddr>(node));
    return;
  }
  reportMissingRoot(object);
}

void VMHeap::reportMissingRoot(VMAddr object) {
  std::fprintf(stderr, "Error: Removing non-existing root: %d\n", static_cast<TInt32>(object));
}

// ---- marking ------------------------------------------------------------
// Marking uses an explicit grey stack rather than native recursion, so a
// long chain of objects cannot overflow the host stack.

template <typename F>
void VMHeap::guarded(F body) {
  try {
    body();
  } catch (const ErrorHandlingException&) {
    iGrey.clear();
    iMarkStack.clear();
    clearMarks();
    throw;
  }
}

void VMHeap::pushIfLive(TUint32 word) {
  if (!isLiveBlock(word)) return;
  HeapEntry* he = heapEntry(word - kHeaderSize);
  if (he->marked) return;
  he->marked = 1;
  iGrey.push_back(word);
}

void VMHeap::drainMarkStack() {
  while (!iGrey.empty()) {
    const VMAddr object = iGrey.back();
    iGrey.pop_back();
    traceChildren(object);
  }
}

void VMHeap::markChecked(VMAddr object) {
  pushIfLive(object);
  drainMarkStack();
}

void VMHeap::traceChildren(VMAddr object) {
  const HeapEntry* he = heapEntry(object - kHeaderSize);
  if (hasObject(he)) {
    gcObjectAt(object)->addReferences(iMarkStack);
    while (!iMarkStack.isEmpty()) {
      const TUint32 ref = static_cast<TUint32>(iMarkStack.last());
      iMarkStack.removeLast();
      pushIfLive(ref);
    }
  }
  switch (he->gcCode) {
    case GC_CODE_CLASS_OBJECT:
      traceClassObject(object, he);
      break;
    case GC_CODE_VECTOR_HOLDER:
    case GC_CODE_REF_VECTOR_HOLDER:
      if (he->usedSize >= 4) traceVector(object, he->gcCode == GC_CODE_REF_VECTOR_HOLDER);
      break;
    case GC_CODE_REF_HOLDER:
      if (he->usedSize >= 4) pushIfLive(heapWord(object));
      break;
    case GC_CODE_BITMAP_HANDLE:
      traceBitmapHandle(object, he);
      break;
    default:
      break;
  }
}

void VMHeap::traceClassObject(VMAddr object, const HeapEntry* he) {
  // A 0-word object (a globals block of 1-3 bytes) has no class word to read.
  if (he->usedSize < 4) return;
  const TUint32 words = he->usedSize / 4;
  const TInt32 k = static_cast<TInt32>(heapWord(object));
  if (k >= 0 && k < iClassReferenceFields.size()) {
    for (int i : iClassReferenceFields[k])
      if (i >= 0 && static_cast<TUint32>(i) < words) pushIfLive(heapWord(object + 4 * i));
  }
  if (k < 0 || k >= iClassVectorFields.size()) return;
  const Vec<int>& fields = iClassVectorFields[k];
  const Vec<char>* flags = k < iClassVectorFieldFlags.size() ? &iClassVectorFieldFlags[k] : nullptr;
  for (TInt32 j = 0; j < fields.size(); ++j) {
    const int i = fields[j];
    if (i < 0 || static_cast<TUint32>(i) >= words) continue;
    const bool refs = flags && j < flags->size() && (*flags)[j] != 0;
    traceVector(object + 4 * i, refs);
  }
}

void VMHeap::traceBitmapHandle(VMAddr object, const HeapEntry* he) {
  const TUint32 words = he->usedSize / 4;
  const TUint32 kind = words >= 1 ? heapWord(object) : 0;
  if (kind != 1 && kind != 2) raise(ERR_VM, "Invalid bitmap handle");
  for (TUint32 w = 1; w <= kind && w < words; ++w) pushIfLive(heapWord(object + 4 * w));
}

void VMHeap::traceVector(VMAddr location, bool elementsAreReferences) {
  if (!vmValid(location, 4)) return;
  const VMAddr vector = heapWord(location);
  if (!isLiveBlock(vector)) return;
  pushIfLive(vector);
  if (heapEntry(vector - kHeaderSize)->usedSize < kNVectorSize) return;
  // An empty vector does not keep its element buffer.
  const TInt32 count = static_cast<TInt32>(heapWord(vector + kNVectorCountOffset));
  if (count <= 0) return;
  const VMAddr data = heapWord(vector + kNVectorDataOffset);
  if (!isLiveBlock(data)) return;
  pushIfLive(data);
  if (!elementsAreReferences) return;
  const TUint32 n = std::min<TUint32>(count, heapEntry(data - kHeaderSize)->usedSize / 4);
  for (TUint32 i = 0; i < n; ++i) pushIfLive(heapWord(data + 4 * i));
}

void VMHeap::mark(VMAddr object) {
  guarded([&] {
    if (!isLiveBlock(object)) {
      const VMAddr header = object - kHeaderSize;
      if (object < kHeaderSize || !isBlockStart(header)) raise(ERR_VM, "Marking a non-object");
      if (heapEntry(header)->gcCode == GC_CODE_TERMINATOR) raise(ERR_VM, "Marking a pool terminator");
      raise(ERR_VM, "Marking a free block");
    }
    markChecked(object);
  });
}

void VMHeap::markIfInHeap(TUint32 value) {
  const VMAddr header = belongsToPools(value - kHeaderSize);
  if (!header || !isLiveBlock(header + kHeaderSize)) return;
  guarded([&] { markChecked(header + kHeaderSize); });
}

void VMHeap::markVectorAt(VMAddr location, bool elementsAreReferences) {
  guarded([&] {
    traceVector(location, elementsAreReferences);
    drainMarkStack();
  });
}

void VMHeap::markRoots() {
  for (ListEntry<VMAddr>* node = iRoots.head(); node; node = node->next) {
    const VMAddr object = node->value + kHeaderSize;
    // A root inside a block (an address result) keeps that block alive.
    if (isBlockStart(node->value)) mark(object); else markIfInHeap(object);
  }
}

void VMHeap::clearMarks() {
  for (TInt32 p = 0; p < iPoolStarts.size(); ++p) {
    const VMAddr end = iPoolStarts[p] + iPoolSizes[p] - kHeaderSize;
    for (VMAddr h = iPoolStarts[p]; h != end; h = nextBlock(h)) heapEntry(h)->marked = 0;
  }
}

// ---- sweep and collect --------------------------------------------------

void VMHeap::sweep() {
  // Index loop: a destructor that allocates may add pools meanwhile.
  for (TInt32 p = 0; p < iPoolStarts.size(); ++p) {
    const VMAddr start = iPoolStarts[p];
    const VMAddr end = start + iPoolSizes[p] - kHeaderSize;
    const HeapEntry* he = heapEntry(start);
    VM_ASSERT(he->gcCode == GC_CODE_TERMINATOR);
    for (VMAddr h = nextBlock(start); h != end; h = nextBlock(h)) {
      HeapEntry* e = heapEntry(h);
      if (!isFree(e) && !e->marked) h = freeEntry(h);
      heapEntry(h)->marked = 0;
    }
  }
}

void VMHeap::collect() {
  iMarkStack.clear();
  markRoots();
  sweep();
}

// ---- memory report ------------------------------------------------------

MemUsage VMHeap::memUsage() const {
  MemUsage u;
  for (TInt32 p = 0; p < iPoolStarts.size(); ++p) {
    const VMAddr end = iPoolStarts[p] + iPoolSizes[p] - kHeaderSize;
    TInt64 poolContents = 0;
    for (VMAddr h = nextBlock(iPoolStarts[p]); h != end; h = nextBlock(h)) {
      const HeapEntry* he = heapEntry(h);
      poolContents += he->size;
      if (isFree(he)) {
        u.freeSpace += he->size;
        continue;
      }
      u.actual += he->usedSize;
      u.wasted += TInt64(he->size) - he->usedSize;
      if (!hasObject(he)) continue;
      const TInt64 outside = gcObjectAt(h + kHeaderSize)->getContentSize();
      u.outsideHeap += outside;
      if (he->gcCode == GC_CODE_STRING) u.stringContents += outside;
      if (he->gcCode == GC_CODE_FONT) u.fontContents += outside;
    }
    u.allContents += poolContents;
    u.headers += TInt64(iPoolSizes[p]) - poolContents;
    u.szOfPools += iPoolSizes[p];
  }
  u.total = u.headers + u.actual + u.wasted + u.outsideHeap;
  return u;
}

TInt64 VMHeap::getMemUsage(QString* report) const {
  const MemUsage u = memUsage();
  const TInt64 totalSizeOfPools = u.szOfPools, freeSpaceInPools = u.freeSpace, actualObjectsInMem = u.actual,
               wastedMemInActualObjectBlocks = u.wasted, memInHeHeaders = u.headers;
  VM_ASSERT(totalSizeOfPools == freeSpaceInPools + actualObjectsInMem + wastedMemInActualObjectBlocks + memInHeHeaders);
  if (report) {
    const auto n = [](TInt64 v) { return QString::number(v); };
    *report += QStringLiteral("\n");
    *report += "headers " + n(u.headers) + " + " + "actual " + n(u.actual) + " + " + "wasted " + n(u.wasted) +
               " + " + "outsideHeap " + n(u.outsideHeap) + " = " + "total " + n(u.total) + "\n";
    *report += "stringContents=" + n(u.stringContents) + " " + "bitmapContents=" + n(0) + " " + "fontContents=" +
               n(u.fontContents) + "\n";
    *report += "nOfEntries=" + n(iNOfEntries) + " " + "nOfPools=" + n(iPoolStarts.size()) + " " + "SzOfPools=" +
               n(u.szOfPools) + " " + "AllContents=" + n(u.allContents) + " " + "freeSpace=" + n(u.freeSpace) + "\n";
  }
  return u.total;
}
