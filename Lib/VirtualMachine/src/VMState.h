#pragma once
// The part of the machine natives see: embedded in the machine, so a
// native's changes to sp and the slots are the interpreter's state.
#include "CountedRoots.h"
#include "Heap.h"
#include "Types.h"

// Slot stack geometry. Guard slots on both sides are committed but never
// valid tops, so an instruction that moves sp by a bounded amount can touch
// them before the per-instruction check rejects the new sp.
constexpr TInt32 kStackSlots = 15256;
constexpr TInt32 kStackScanSlots = 15000;   // the collector's "inside the stack" range
constexpr TInt32 kStackGuardSlots = 512;

struct VMState {
  TInt32 pc = 0;
  TInt32 sp = 0;
  TUint32* stack = nullptr;   // slot 0, inside the arena
  VMHeap heap;
  CountedRoots screenListeners;   // kept alive while registered with the host

  template <typename... A>
  explicit VMState(A&&... heapArgs) : heap(static_cast<A&&>(heapArgs)...) {}

  // VM address of slot i.
  VMAddr slotAddr(TInt32 i) const { return vmAddr(stack) + 4u * static_cast<TUint32>(i); }
};
