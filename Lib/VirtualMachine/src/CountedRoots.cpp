#include "CountedRoots.h"

#include "Heap.h"
#include "NativeHelpers.h"

void CountedRoots::add(VMHeap& heap, VMAddr object) {
  if (!object) return;
  if (!heap.isLiveBlock(object)) raiseInvalidAddress();
  TInt64& n = iCounts[object];
  if (n++ == 0) heap.addRoot(object);
}

void CountedRoots::remove(VMHeap& heap, VMAddr object) {
  if (!object) return;
  const auto it = iCounts.find(object);
  if (it == iCounts.end()) return VMHeap::reportMissingRoot(object);
  if (--it->second > 0) return;
  iCounts.erase(it);
  heap.removeRoot(object);
}

TInt64 CountedRoots::count(VMAddr object) const {
  const auto it = iCounts.find(object);
  return it == iCounts.end() ? 0 : it->second;
}
