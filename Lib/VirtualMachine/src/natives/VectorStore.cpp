#include "VectorStore.h"

#include "Errors.h"
#include "HeapEntry.h"
#include "Interpreter.h"
#include "NString.h"
#include "NVector.h"
#include "NativeHelpers.h"
#include "ObjectWrapper.h"

#include <cstring>

namespace vectors {

TInt32 capacityFor(TInt32 n) {
  const double grown = n * 1.2;
  if (grown < 10.0) return 10;
  if (grown > 2147483647.0) raise(ERR_INVALID_ARGUMENT, "Vector too large");
  return static_cast<TInt32>(grown);
}

void checkFits(TInt32 n, TInt32 elementSize) {
  const TUint64 bytes = static_cast<TUint64>(capacityFor(n)) * static_cast<TUint32>(elementSize);
  if (bytes > VMHeap::kMaxRequest) raise(ERR_INVALID_ARGUMENT, "Vector too large");
}

namespace {

// Whether a native object is the machine's vector of this element size.
bool isVectorOf(GCObject* o, TInt32 elementSize) {
  switch (elementSize) {
    case 1: return native::asType<NVector<ObjectWrapper<signed char, 1> > >(o) != nullptr;
    case 4: return native::asType<NVector<ObjectWrapper<int, 1> > >(o) != nullptr;
    case 8: return native::asType<NVector<ObjectWrapper<int, 2> > >(o) != nullptr;
    case 12: return native::asType<NVector<ObjectWrapper<int, 3> > >(o) != nullptr;
    case 16: return native::asType<NVector<ObjectWrapper<int, 4> > >(o) != nullptr;
    default: return false;
  }
}

TUint32 field(VMAddr a) {
  TUint32 v;
  std::memcpy(&v, vmPtr(a), 4);
  return v;
}

void setField(VMAddr a, TUint32 v) { std::memcpy(vmPtr(a), &v, 4); }

// Whether data is the object address of an allocated plain heap block of at
// least bytes: such data is never sealed.
bool isPlainBlock(VMAddr data, TUint64 bytes) {
  if (data < kHeaderSize || !vmIsBlockStart(data - kHeaderSize)) return false;
  const HeapEntry* he = heapEntry(data - kHeaderSize);
  return he->freeHeapEntryIterator == 0 && he->typeId == 0 && he->gcCode != GC_CODE_TERMINATOR && he->size >= bytes;
}

}  // namespace

// Only a vector the natives made qualifies: its fields are sealed from the
// bytecode, so they hold what the natives last stored.
VectorStore::VectorStore(VMAddr object, TInt32 elementSize) : iObject(object), iSize(elementSize) {
  if (!isVectorOf(native::nativeObject(object), elementSize)) raise(ERR_RUNTIME, "Invalid vector");
  iData = field(object + kNVectorDataOffset);
  iCapacity = static_cast<TInt32>(field(object + kNVectorDataOffset + 4));
  iCount = static_cast<TInt32>(field(object + kNVectorCountOffset));
  if (iCount < 0 || iCount > iCapacity) raise(ERR_RUNTIME, "Invalid vector");
  if (iCount > 0) {
    const TUint64 bytes = static_cast<TUint64>(iCapacity) * static_cast<TUint32>(iSize);
    if (bytes > 0xFFFFFFFFu) raise(ERR_RUNTIME, "Invalid vector");
    // The bytecode can FREE an element block; if its space now holds heap
    // metadata or a native object, the vector is refused rather than let
    // host code write over them. An allocated plain block large enough is
    // open throughout (its header says so in constant time); anything else
    // gets the word-by-word test.
    if (!isPlainBlock(iData, bytes) && !vmOpen(iData, static_cast<TUint32>(bytes))) raise(ERR_RUNTIME, "Invalid vector");
  }
}

TInt32 VectorStore::checkIndex(TInt32 i) const {
  if (i < 0 || i >= iCount) raise(ERR_INDEX_OUT_OF_BOUNDS, "");
  return i;
}

VectorStore::Bytes VectorStore::bytes(TInt32 first, TInt32 n) const {
  if (n <= 0) return Bytes(0);
  const TUint8* p = at(first);
  const size_t size = static_cast<size_t>(n) * iSize;
  return Bytes(size, p, p + size);
}

VMAddr VectorStore::allocateBlock(VMHeap& heap, TInt32 capacity) const {
  const TUint64 bytes = static_cast<TUint64>(capacity) * iSize;
  if (bytes > VMHeap::kMaxRequest) raise(ERR_INVALID_ARGUMENT, "Vector too large");
  return heap.allocate(static_cast<TUint32>(bytes), 0, GC_CODE_LEAF);
}

void VectorStore::store(VMAddr data, TInt32 capacity, TInt32 count) {
  setField(iObject + kNVectorDataOffset, data);
  setField(iObject + kNVectorDataOffset + 4, static_cast<TUint32>(capacity));
  setField(iObject + kNVectorCountOffset, static_cast<TUint32>(count));
  iData = data;
  iCapacity = capacity;
  iCount = count;
}

void VectorStore::splice(VMHeap& heap, TInt32 pos, TInt32 removed, const TUint8* src, TInt32 n) {
  const TInt64 grownCount = static_cast<TInt64>(iCount) - removed + n;
  if (grownCount > 0x7FFFFFFF) raise(ERR_INVALID_ARGUMENT, "Vector too large");
  const TInt32 newCount = static_cast<TInt32>(grownCount);
  if (newCount == 0) return clear();
  const size_t es = static_cast<size_t>(iSize);
  const TInt32 tail = iCount - pos - removed;
  bool reallocate = false;
  if (n > removed) reallocate = iCount == 0 || newCount > iCapacity;
  else if (n < removed) reallocate = newCount <= static_cast<TInt32>(iCapacity * 0.5);
  if (reallocate) {
    const TInt32 capacity = capacityFor(newCount);
    const VMAddr block = allocateBlock(heap, capacity);
    TUint8* d = vmPtr(block);
    if (pos > 0) std::memcpy(d, at(0), pos * es);
    if (n > 0) std::memcpy(d + pos * es, src, n * es);
    if (tail > 0) std::memcpy(d + (pos + n) * es, at(pos + removed), tail * es);
    store(block, capacity, newCount);
    return;
  }
  if (tail > 0 && n != removed) std::memmove(at(pos + n), at(pos + removed), tail * es);
  if (n > 0) std::memcpy(at(pos), src, n * es);
  store(iData, iCapacity, newCount);
}

void VectorStore::repeat(VMHeap& heap, TInt32 n) {
  if (n < 0) raise(ERR_INVALID_ARGUMENT, "");
  if (n == 0) return clear();
  if (n == 1 || iCount == 0) return;
  const TInt64 total = static_cast<TInt64>(iCount) * n;
  if (total > 0x7FFFFFFF) raise(ERR_INVALID_ARGUMENT, "Vector too large");
  const TInt32 newCount = static_cast<TInt32>(total);
  const size_t chunk = static_cast<size_t>(iCount) * iSize;
  VMAddr data = iData;
  TInt32 capacity = iCapacity;
  if (newCount > iCapacity) {
    capacity = capacityFor(newCount);
    data = allocateBlock(heap, capacity);
    std::memcpy(vmPtr(data), at(0), chunk);
  }
  TUint8* d = vmPtr(data);
  for (TInt32 k = 1; k < n; ++k) std::memcpy(d + k * chunk, d, chunk);
  store(data, capacity, newCount);
}

void VectorStore::assign(VMHeap& heap, const TUint8* src, TInt32 n, TInt32 capacity) {
  if (n == 0) return clear();
  if (capacity < n) capacity = capacityFor(n);
  const VMAddr block = allocateBlock(heap, capacity);
  std::memcpy(vmPtr(block), src, static_cast<size_t>(n) * iSize);
  store(block, capacity, n);
}

TInt32 capacityAfterAppends(TInt32 n) {
  if (n == 0) return 0;
  TInt32 capacity = 10;
  while (capacity < n) capacity = capacityFor(capacity + 1);
  return capacity;
}

TUint32 newVectorCell(VMHeap& heap, TInt32 elementSize, bool references, const TUint8* src, TInt32 n,
                      TInt32 capacity) {
  const VMAddr object = Interpreter::newVector(heap, elementSize);
  VectorStore(object, elementSize).assign(heap, src, n, capacity);
  const VMAddr cell = heap.allocate(8, 0, references ? GC_CODE_REF_VECTOR_HOLDER : GC_CODE_VECTOR_HOLDER);
  native::store(cell, object);
  return cell;
}

void StringVectorBuilder::start() {
  iCell = native::newRefVector(0, iHeap);
  iObject = native::load(iCell);
}

// What VectorStore::splice does for an append at the capacity.
void StringVectorBuilder::grow() {
  const TInt32 capacity = capacityFor(iCount + 1);
  const TUint64 bytes = static_cast<TUint64>(capacity) * 4;
  if (bytes > VMHeap::kMaxRequest) raise(ERR_INVALID_ARGUMENT, "Vector too large");
  const VMAddr block = iHeap.allocate(static_cast<TUint32>(bytes), 0, GC_CODE_LEAF);
  if (iCount > 0) std::memcpy(vmPtr(block), vmPtr(iData), static_cast<size_t>(iCount) * 4);
  // Nothing but this builder has seen the vector yet, so its outgrown block
  // goes back at once instead of waiting for the next collection.
  iHeap.freeObject(iData);
  iData = block;
  iCapacity = capacity;
  setField(iObject + kNVectorDataOffset, iData);
  setField(iObject + kNVectorDataOffset + 4, static_cast<TUint32>(iCapacity));
}

void StringVectorBuilder::append(NString&& text) {
  if (iCell == 0) start();
  const TUint32 string = native::newStringFrom(iHeap, std::move(text));
  if (iCount == iCapacity) grow();
  setField(iData + 4u * static_cast<TUint32>(iCount), string);
  setField(iObject + kNVectorCountOffset, static_cast<TUint32>(++iCount));
}

TUint32 StringVectorBuilder::cell() {
  if (iCell == 0) start();
  return iCell;
}

TUint32 newStringVector(VMHeap& heap, const Vec<NString>& texts) {
  StringVectorBuilder v(heap);
  for (const NString& text : texts) v.append(NString(text));
  return v.cell();
}

}  // namespace vectors
