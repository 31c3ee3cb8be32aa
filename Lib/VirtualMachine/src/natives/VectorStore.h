#pragma once
// Element storage of a machine vector seen at a fixed element size: the
// NVector fields (data, capacity, count) and the insert, remove, replace,
// copy and repeat rules of the Vector groups.
//
// Invariants kept here:
//  - count == 0 means no usable block: the collector frees the element
//    block of an empty vector, so its data word is never read and the next
//    growth allocates afresh.
//  - A block is capacity x element size bytes (GC_CODE_LEAF, typeId 0);
//    capacities follow capacityFor. A replaced block is left to the collector.
//  - Fields read from the heap are checked before use (count within
//    capacity, the block inside the arena), so a forged vector raises
//    instead of reaching outside the sandbox.
#include "Heap.h"
#include "HostMemory.h"
#include "Types.h"
#include "Vec.h"

#include <vector>

class NString;

namespace vectors {

// Capacity for n elements: 10 when n x 1.2 < 10, else n x 1.2 truncated.
TInt32 capacityFor(TInt32 n);
// Raises code 6 "Vector too large" unless a vector of n elements of this
// size fits the heap (checked before building anything of that size).
void checkFits(TInt32 n, TInt32 elementSize);

class VectorStore {
 public:
  // object: the NVector's address (checked); elementSize in bytes.
  VectorStore(VMAddr object, TInt32 elementSize);

  VMAddr data() const { return iData; }
  TInt32 count() const { return iCount; }
  TInt32 capacity() const { return iCount == 0 ? 0 : iCapacity; }
  TInt32 elementSize() const { return iSize; }
  VMAddr addressOf(TInt32 i) const { return iData + static_cast<TUint32>(i) * iSize; }
  TUint8* at(TInt32 i) const { return vmPtr(addressOf(i)); }
  // i; raises code 2 unless 0 <= i < count.
  TInt32 checkIndex(TInt32 i) const;
  // Copy of elements [first, first + n), so a source may alias the target;
  // charged against the host-memory limit while it lives.
  typedef hostmem::Held<std::vector<TUint8>> Bytes;
  Bytes bytes(TInt32 first, TInt32 n) const;

  // Replaces [pos, pos + removed) with n elements from src, following the
  // growth rule when it grows, the half-capacity rule when it shrinks.
  void splice(VMHeap& heap, TInt32 pos, TInt32 removed, const TUint8* src, TInt32 n);
  void repeat(VMHeap& heap, TInt32 n);
  // data null, capacity 0, count 0.
  void clear() { store(0, 0, 0); }
  // Gives the vector a fresh block holding src (capacity 0: capacityFor(n)).
  void assign(VMHeap& heap, const TUint8* src, TInt32 n, TInt32 capacity = 0);

 private:
  VMAddr allocateBlock(VMHeap& heap, TInt32 capacity) const;
  void store(VMAddr data, TInt32 capacity, TInt32 count);

  VMAddr iObject;
  TInt32 iSize;
  VMAddr iData;
  TInt32 iCapacity;
  TInt32 iCount;
};

// Capacity a vector reaches when n elements are appended one by one.
TInt32 capacityAfterAppends(TInt32 n);

// A new vector cell (GC_CODE_VECTOR_HOLDER, or GC_CODE_REF_VECTOR_HOLDER
// when the elements are references) whose word 0 is a new NVector filled
// with src; the cell keeps the element block alive across collections.
TUint32 newVectorCell(VMHeap& heap, TInt32 elementSize, bool references, const TUint8* src, TInt32 n,
                      TInt32 capacity = 0);
// A new reference vector of new strings, made with the heap requests that
// appending them one by one makes (the vector and its cell first, then per
// text its string and cell and, when the count reaches the capacity, the
// next element block), without checking the vector on every append. The
// vector is made with the first text, or by cell() when there is none.
class StringVectorBuilder {
 public:
  explicit StringVectorBuilder(VMHeap& heap) : iHeap(heap) {}
  void append(NString&& text);
  // The holder cell of the finished vector.
  TUint32 cell();

 private:
  void start();
  void grow();

  VMHeap& iHeap;
  TUint32 iCell = 0;
  VMAddr iObject = 0;
  VMAddr iData = 0;
  TInt32 iCapacity = 0;
  TInt32 iCount = 0;
};

// The texts as a new reference vector (StringVectorBuilder); returns the holder cell.
TUint32 newStringVector(VMHeap& heap, const Vec<NString>& texts);

}  // namespace vectors
