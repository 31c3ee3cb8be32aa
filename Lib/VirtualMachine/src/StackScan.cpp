// Slot stack scan for the collector (see StackScan.h).
#include "StackScan.h"

namespace {

class Scan {
 public:
  Scan(VMHeap& heap, const SlotStackView& s) : iHeap(heap), iStack(s) {
    iRangeStart = vmAddr(s.slots);
    iRangeBytes = static_cast<TUint32>(s.stackRangeSlots) * 4;
  }

  void conservative(TInt32 from, TInt32 to) {   // [from, to), clipped to the top
    if (from < 0) from = 0;
    if (to > iStack.top + 1) to = iStack.top + 1;
    for (TInt32 i = from; i < to; ++i) iHeap.markIfInHeap(iStack.slots[i]);
  }

  void frame(TInt32 base, const FrameGCMap& map) {
    const FrameSlotList& pr = map.paramRefSlots;
    for (TInt32 j = 0; j < pr.count; ++j) {
      const TInt32 i = base + pr.offsets[j];
      if (within(i) && candidate(iStack.slots[i]) && !iHeap.isMarked(iStack.slots[i])) iHeap.markIfInHeap(iStack.slots[i]);
    }
    const FrameSlotList& pv = map.paramVectorSlots;
    for (TInt32 j = 0; j < pv.count; ++j) {
      const TInt32 i = base + pv.offsets[j];
      if (within(i)) iHeap.markVectorAt(iStack.slots[i], pv.flags && pv.flags[j]);
    }
    // Local reference slots are marked only when they hold a live object
    // (a wrong frame map must not make the collector follow an integer).
    const FrameSlotList& lr = map.localRefSlots;
    for (TInt32 j = 0; j < lr.count; ++j) {
      const TInt32 i = base + lr.offsets[j];
      if (!within(i) || !candidate(iStack.slots[i])) continue;
      const VMAddr v = iStack.slots[i];
      if (iHeap.isLiveBlock(v) && !iHeap.isMarked(v)) iHeap.mark(v);
    }
    const FrameSlotList& lv = map.localVectorSlots;
    for (TInt32 j = 0; j < lv.count; ++j) {
      const TInt32 i = base + lv.offsets[j];
      if (!within(i) || !within(i + 1)) continue;
      if (iStack.slots[i] || iStack.slots[i + 1]) iHeap.markVectorAt(vmAddr(iStack.slots + i), lv.flags && lv.flags[j]);
    }
  }

 private:
  bool within(TInt32 i) const { return i >= 0 && i <= iStack.top; }
  bool candidate(TUint32 v) const { return v != 0 && v - iRangeStart >= iRangeBytes; }

  VMHeap& iHeap;
  const SlotStackView& iStack;
  VMAddr iRangeStart;
  TUint32 iRangeBytes;
};

}  // namespace

void scanSlotStack(VMHeap& heap, const SlotStackView& stack, const MFrameMapSource& maps) {
  Scan scan(heap, stack);
  try {
    TInt32 pos = 0;
    const TInt32 frames = stack.frameRecords ? stack.frameRecords->size() : 0;
    for (TInt32 f = 0; f < frames; ++f) {
      const TInt32 record = stack.frameRecords->at(f);
      if (record < 0) continue;
      const TInt32 base = stack.frameBases->at(f);
      scan.conservative(pos, base);
      const FrameGCMap map = maps.frameMap(record);
      scan.frame(base, map);
      pos = base + map.resultSlots + map.paramSlots + 1 + map.localSlots;
    }
    scan.conservative(pos, stack.top + 1);
  } catch (const ErrorHandlingException&) {
    heap.clearMarks();
    throw;
  }
}

void collectGarbage(VMHeap& heap, const SlotStackView& stack, const MFrameMapSource& maps) {
  scanSlotStack(heap, stack, maps);
  heap.collect();
}
