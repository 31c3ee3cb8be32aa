#pragma once
// VMHeap: pools with boundary tags, 32 power-of-two free lists, and a
// non-moving mark-and-sweep collector. Every address here is a VMAddr.
#include "GcCode.h"
#include "HeapBlockMap.h"
#include "HeapEntry.h"
#include "HeapFreeLists.h"
#include "LinkedList.h"
#include "VMArena.h"
#include "Vec.h"

#include <QString>
#include <vector>

// Implemented by the virtual machine: scans its slot stack, then collects.
class InterfaceForCallingGc {
 public:
  virtual ~InterfaceForCallingGc() {}
  virtual void collectGarbage() = 0;
};

// The pieces of the memory report.
struct MemUsage {
  TInt64 headers = 0;
  TInt64 actual = 0;
  TInt64 wasted = 0;
  TInt64 outsideHeap = 0;
  TInt64 total = 0;
  TInt64 stringContents = 0;
  TInt64 fontContents = 0;
  TInt64 szOfPools = 0;
  TInt64 allContents = 0;
  TInt64 freeSpace = 0;
};

class VMHeap {
 public:
  static constexpr TInt32 kFreeLists = 32;
  static constexpr TUint32 kDefaultPoolSize = 64000;
  // Largest single request; keeps the size arithmetic inside 32 bits.
  static constexpr TUint32 kMaxRequest = 0x7FFF0000u;
  // Largest block an image may ask for by its own numbers (globals, ALLOC,
  // PACK): a hostile image must not commit gigabytes with one word.
  static constexpr TInt32 kMaxImageWords = 1 << 24;

  VMHeap(InterfaceForCallingGc* gcCaller, TUint32 defaultPoolSize, const Vec<Vec<int>>& classReferenceFields,
         const Vec<Vec<int>>& classVectorFields, const Vec<Vec<char>>& classVectorFieldFlags);
  ~VMHeap();
  VMHeap(const VMHeap&) = delete;
  VMHeap& operator=(const VMHeap&) = delete;

  // Allocation: zero-filled storage, the caller constructs any object in it.
  // gcCode 0 and 18 are refused with code 6 (they would fake a free block or
  // a pool edge).
  VMAddr createHeapEntry(TUint32 size, TInt32 typeId, TUint32 gcCode);   // the header
  VMAddr allocate(TUint32 size, TInt32 typeId, TUint32 gcCode);          // the object
  void allocateTwo(TUint32 size1, TInt32 typeId1, TUint32 gcCode1, TUint32 size2, TInt32 typeId2,
                   TUint32 gcCode2, VMAddr& object1, VMAddr& object2);
  void allocateThree(TUint32 size1, TInt32 typeId1, TUint32 gcCode1, TUint32 size2, TInt32 typeId2,
                     TUint32 gcCode2, TUint32 size3, TInt32 typeId3, TUint32 gcCode3, VMAddr& object1,
                     VMAddr& object2, VMAddr& object3);
  VMAddr allocateWords(TInt32 words, TUint32 gcCode);

  // Release. freeObject refuses (code 11 "Invalid address") a word that is
  // not a live block, so nothing is freed twice.
  VMAddr freeEntry(VMAddr header);   // the resulting free block
  void freeObject(VMAddr object);

  void addRoot(VMAddr object);
  void removeRoot(VMAddr object);
  // The message a removal of an object that is no root prints.
  static void reportMissingRoot(VMAddr object);
  TInt32 rootCount() const { return iRoots.count(); }
  bool isRoot(VMAddr object) const;

  // Collector. mark raises code 10 for a word that is no live block;
  // the other entry points skip such words. Any raise leaves no mark set.
  void mark(VMAddr object);
  void markIfInHeap(TUint32 value);
  void markVectorAt(VMAddr location, bool elementsAreReferences);
  void markRoots();
  void sweep();
  void collect();
  void clearMarks();
  InterfaceForCallingGc* gcCaller() const { return iGcCaller; }

  // Queries.
  VMAddr belongsToPools(VMAddr address) const;   // header of the block holding it, or 0
  bool isLiveBlock(VMAddr object) const;
  bool isMarked(VMAddr object) const;
  TInt64 getMemUsage(QString* report) const;
  MemUsage memUsage() const;
  TInt32 nOfEntries() const { return iNOfEntries; }
  TInt32 poolCount() const { return iPoolStarts.size(); }
  VMAddr poolStart(TInt32 i) const { return iPoolStarts[i]; }
  TUint32 poolBytes(TInt32 i) const { return iPoolSizes[i]; }
  TInt32 freeListCount(TInt32 list) const { return iFreeLists.count(list); }
  static TInt32 freeListIndex(TUint32 size) { return size <= 1 ? 0 : 32 - __builtin_clz(size - 1); }

  // Checks every invariant at the top of Heap.cpp; raises code 9 naming
  // the broken one.
  void verify() const;

 private:
  __attribute__((noinline)) VMAddr createPool(TUint32 capacity);   // rare: kept off the fast path
  VMAddr findFreeEntry(TUint32 size);
  void addEntryToFreeEntries(VMAddr header);
  void removeEntryFromFreeEntries(VMAddr header);
  void unlinkFree(VMAddr header);
  VMAddr releaseBlock(VMAddr header);
  void splitTail(VMAddr header, TUint32 size, TUint32 blockSize);
  VMAddr carve(VMAddr header, TUint32 size, TInt32 typeId, TUint32 gcCode);
  VMAddr carveNewPool(TUint32 size, TInt32 typeId, TUint32 gcCode);
  VMAddr mergeAndFile(VMAddr header, VMAddr next, VMAddr previous);
  void destroyObject(VMAddr header);
  void cutEntry(VMAddr header, TUint32 firstSize, TUint32 usedSize2, TInt32 typeId2, TUint32 gcCode2);
  const HeapBlockMap* mapContaining(VMAddr address) const;
  bool inPools(VMAddr address) const {   // one of this heap's pools holds it
    return address - iLastStart < iLastBytes || mapContaining(address);
  }
  void indexPool(TInt32 pool);
  bool isBlockStart(VMAddr header) const;
  void dropBoundary(VMAddr block);
  VMAddr nextIn(const HeapBlockMap& map, VMAddr header) const;
  VMAddr nextBlock(VMAddr header) const;

  void markChecked(VMAddr object);
  void pushIfLive(TUint32 word);
  void drainMarkStack();
  void traceChildren(VMAddr object);
  void traceClassObject(VMAddr object, const HeapEntry* he);
  void traceBitmapHandle(VMAddr object, const HeapEntry* he);
  void traceVector(VMAddr location, bool elementsAreReferences);
  template <typename F> void guarded(F body);

  VMArenaUser iArenaUser;   // first member: the pools outlive every other one
  InterfaceForCallingGc* iGcCaller;
  TUint32 iDefaultPoolSize;
  const Vec<Vec<int>>& iClassReferenceFields;
  const Vec<Vec<int>>& iClassVectorFields;
  const Vec<Vec<char>>& iClassVectorFieldFlags;

  Vec<VMAddr> iPoolStarts;
  Vec<TUint32> iPoolSizes;
  std::vector<HeapBlockMap> iBlockMaps;   // parallel to the pool arrays
  mutable TInt32 iLastMap = -1;           // the pool mapContaining found last,
  mutable VMAddr iLastStart = 0;          // its start
  mutable TUint32 iLastBytes = 0;         // and size (0 before any)
  mutable bool iSummariesStale = true;    // blocks split or merged since the maps' summaries
  // Pool lookup in constant time: per 64 KiB of arena, the lowest pool
  // touching it, or -1.
  static constexpr TUint32 kChunkShift = 16;
  std::vector<TInt32> iChunkPools;
  TInt64 iTotalPoolBytes = 0;

  ListEntryPool<VMAddr> iNodePool;   // the roots' nodes
  HeapFreeLists iFreeLists;
  LinkedList<VMAddr> iRoots;
  Vec<int> iMarkStack;                 // filled by GCObject::addReferences
  std::vector<VMAddr> iGrey;           // marked objects whose children are pending
  TInt32 iNOfEntries = 0;
};
