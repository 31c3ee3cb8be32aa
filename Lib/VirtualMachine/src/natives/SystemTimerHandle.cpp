#include "SystemTimerHandle.h"

#include "FrameworkServices.h"
#include "Vec.h"

#include <new>

VMAddr SystemTimerHandle::create(VMHeap& heap, FrameworkServices* host) {
  const VMAddr block = heap.allocate(sizeof(SystemTimerHandle), -1, GC_CODE_LEAF);
  new (vmPtr(block)) SystemTimerHandle(host);
  return block;
}

SystemTimerHandle::~SystemTimerHandle() {
  if (iId != 0 && iHost) iHost->removeTimer(iId);
  iId = 0;
}

void SystemTimerHandle::addReferences(Vec<int>& out) {
  if (iListener) out.append(static_cast<int>(iListener));
}
