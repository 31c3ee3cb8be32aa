#pragma once
// The host side of a bytecode timer object, held in the object's one-word
// cell: the listener, the id of the host timer running for it (0: none)
// and the host services that run it. Freeing the handle stops a running
// timer, so a timer nothing refers to any more falls silent.
#include "GCObject.h"
#include "Heap.h"
#include "Types.h"

class FrameworkServices;

GCOBJECT_PACK_BEGIN
class SystemTimerHandle : public GCObject {
 public:
  // A new idle handle (typeId -1, GC_CODE_LEAF); returns its address.
  static VMAddr create(VMHeap& heap, FrameworkServices* host);

  explicit SystemTimerHandle(FrameworkServices* host) : iHost(host) {}
  ~SystemTimerHandle() override;
  // The listener stays alive while its handle does: the timer's events
  // are delivered to it.
  void addReferences(Vec<int>& out) override;

  TUint32 iListener = 0;
  TInt32 iId = 0;
  FrameworkServices* iHost;
};
GCOBJECT_PACK_END

static_assert(alignof(SystemTimerHandle) <= 4, "heap blocks are 4-byte aligned");
