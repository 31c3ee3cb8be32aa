#pragma once
// The collector's scan of the interpreter's slot stack: frames with a frame
// map are read precisely, every other slot conservatively.
#include "Heap.h"

// A list of frame offsets, with element flags for vector slots.
struct FrameSlotList {
  const int* offsets = nullptr;
  const char* flags = nullptr;   // vector lists only: non-zero = elements are references
  TInt32 count = 0;
};

// The fields of a method's MethodGCInfo that the scan reads.
struct FrameGCMap {
  TInt32 paramSlots = 0;
  TInt32 resultSlots = 0;
  TInt32 localSlots = 0;
  FrameSlotList paramRefSlots;
  FrameSlotList paramVectorSlots;
  FrameSlotList localRefSlots;
  FrameSlotList localVectorSlots;
};

// Gives the frame map of a frame record (a MethodGCInfo index); an index
// outside the table raises, as a Vec index does.
class MFrameMapSource {
 public:
  virtual ~MFrameMapSource() {}
  virtual FrameGCMap frameMap(TInt32 record) const = 0;
};

// The slot stack as the scan sees it. slots[0..top] are live; the first
// stackRangeSlots slots of the array are the stack range: a word pointing
// there is never taken for a heap reference.
struct SlotStackView {
  const TUint32* slots = nullptr;   // in the VM arena
  TInt32 top = -1;                  // sp: index of the top slot
  TInt32 stackRangeSlots = 15000;
  const Vec<int>* frameRecords = nullptr;   // MethodGCInfo index per frame, or -1
  const Vec<int>* frameBases = nullptr;     // slot index where each frame begins
};

// Marks everything the slot stack reaches. Leaves no mark set when it raises.
void scanSlotStack(VMHeap& heap, const SlotStackView& stack, const MFrameMapSource& maps);

// The scan, then collect: the body of the machine's collectGarbage.
void collectGarbage(VMHeap& heap, const SlotStackView& stack, const MFrameMapSource& maps);
