#pragma once
// Native objects reached from bytecode values. The address comes from the
// image, so it must be the start of a live heap block holding a GCObject of
// the expected kind before any host code touches it.
#include "Errors.h"
#include "Heap.h"
#include "HeapEntry.h"
#include "NativeHelpers.h"

namespace native {

template <typename T> T& heapObject(const VMHeap& heap, TUint32 object, TUint32 gcCode) {
  deref(object);
  if (!heap.isLiveBlock(object)) raise(ERR_RUNTIME, "Invalid address");
  const HeapEntry* he = heapEntry(object - kHeaderSize);
  if (he->typeId != -1 || he->gcCode != gcCode || he->usedSize < sizeof(T)) raise(ERR_RUNTIME, "Invalid address");
  return *vmPtrAs<T>(object);
}

// The object a one-word cell holds.
template <typename T> T& cellObject(const VMHeap& heap, TUint32 cell, TUint32 gcCode) {
  return heapObject<T>(heap, derefCell(cell), gcCode);
}

}  // namespace native
