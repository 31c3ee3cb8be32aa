#pragma once
// The virtual machine: image tables, slot stack, heap, interpreter and the
// invoker that calls exported methods from outside.
#include "Heap.h"
#include "ImageTables.h"
#include "MethodHandle.h"
#include "RunObserver.h"
#include "VMArena.h"
#include "VMCallbacks.h"
#include "VMState.h"

#include <string>

class QString;

// Thrown out of call() for a termination request (code 12).
struct VMTermination {
  TInt32 status = -1;
};

class VirtualMachine : public MVMCallbackInterface, public InterfaceForCallingGc {
 public:
  struct Handler {
    TInt32 classId;
    TInt32 sp;
    TInt32 pc;
    TInt32 frames;   // frame records when the handler was set
  };
  static constexpr TInt32 kHandlerRecords = 128;

  VirtualMachine();
  ~VirtualMachine() override;
  VirtualMachine(const VirtualMachine&) = delete;
  VirtualMachine& operator=(const VirtualMachine&) = delete;

  // Loads an image; returns its index. Loader errors pass out unchanged;
  // loadFault then says what is wrong with the image and where (empty after
  // a load that succeeded).
  TInt32 load(const Vec<TUint8>& image, const CAppsString& name);
  const std::string& loadFault() const { return iLoadFault; }

  TInt32 resolveMethod(const QString& name, TInt32 image) override;
  TInt32 callMethod(TInt32 handle, const Vec<int>& values, const Vec<int>& levels,
                    TInt32 resultLevel) override;
  VMHeap& heap() override { return iState.heap; }
  // The immediate form: raises "VM concurrency error" while busy.
  TInt32 call(TInt32 handle, const Vec<int>& values, const Vec<int>& levels, TInt32 resultLevel);

  virtual void raiseInBytecode(TInt32 code, const QString& message);
  virtual void nativeCall(TInt32 group, TInt32 function) = 0;
  virtual void extensionCall(TInt32 group, TInt32 function) = 0;
  void collectGarbage() override;

  // Boxes v to level (1..3 wraps in cells, -1..-3 dereferences).
  TUint32 box(TUint32 v, TInt32 level);

  VMState& state() { return iState; }
  ImageTables& tables() { return iTables; }
  const Vec<MethodHandle>& handles() const { return iHandles; }
  TInt32 busyHandle() const { return iBusyHandle; }
  TInt32 queuedCalls() const { return iQueue.size(); }
  TInt32 frameDepth() const { return iFrameRecords.size(); }
  TInt32 handlerCount() const { return iHandlerCount; }

  // Budget for fuzzing: taken jumps, calls, returns, catches and error
  // conversions count; negative means unlimited. Exhaustion raises code 11.
  void setBudget(TInt64 budget);
  // A wall-clock limit on running bytecode, checked where the budget is
  // (every kSliceCounts counted events) and at each top-level call; past
  // it, code 11 "Time limit reached". Negative: none.
  void setTimeLimit(TInt64 milliseconds);
  static constexpr TInt64 kSliceCounts = 1 << 16;

  // Diagnostics (RunObserver.h). Tracing sends every instruction in the code
  // range [from, to) to the observer's step; it is set up in the dispatch
  // copy of the code, so code outside the range runs untouched.
  void setObserver(MRunObserver* observer) { iObserver = observer; }
  void setTraceRange(TInt32 from, TInt32 to);
  // Whether common sequences run fused (Fusion.h); the plain dispatch is the
  // reference the fused one is tested against.
  void setFusion(bool on);
  // The code offsets of the active calls, innermost first: the instruction
  // being executed, then each call instruction that is waiting. Follows the
  // frame records while their return addresses are plausible.
  Vec<int> callChain() const;
 protected:
  void run();
  // Executes one top-level call from step 3 on (busy handle already set).
  TUint32 invoke(TInt32 handle, const Vec<int>& values, const Vec<int>& levels);
  void runConverting();
  void throwUncaught(TUint32 throwable, TInt32 pc, TInt32 sp);
  // Pushes a call's frame record and base (called on every call).
  void pushFrame(TInt32 record, TInt32 returnSlot) {
    if (__builtin_expect(iFrameRecords.size() >= kStackSlots, 0)) badFrameRecord(record);
    TInt32 base = returnSlot;
    if (record >= 0) {
      if (__builtin_expect(record >= iTables.methodInfos.size(), 0)) badFrameRecord(record);
      const MethodGCInfo& info = iTables.methodInfos.data()[record];
      base = returnSlot - info.paramSlots - info.resultSlots;
    }
    iFrameRecords.append(record);
    iFrameBases.append(base);
  }
  [[noreturn]] void badFrameRecord(TInt32 record);
  // A catch leaves the frames the throw unwound.
  void dropFramesAbove(TInt32 frames) {
    if (frames >= iFrameRecords.size()) return;
    iFrameRecords.resize(frames);
    iFrameBases.resize(frames);
  }
  // The counted events of a slice are used up: ends the run (code 11) when
  // the budget or the time is, otherwise starts the next slice.
  void nextBudgetSlice();
  void startSlice();
  void checkDeadline();
  // Charges one counted event outside the dispatch loop.
  void chargeBudget() {
    if (__builtin_expect(iBudget >= 0, 0) && iBudget-- == 0) nextBudgetSlice();
  }
  void resolveRuntimeHooks(TInt32 image);
  // The entry of a handle's method for a class key (-1: non-virtual);
  // raises "Invalid method call, index=" when there is none usable.
  const MethodEntry& entryFor(TInt32 handle, TInt32 key) const;
  // Index of the CALL_VIRTUAL entry for a receiver class.
  TInt32 virtualEntry(TInt32 method, TInt32 classId) const;
  TUint32 deref(TUint32 reference) const;
  void drainQueue();
  // Removes the heap roots a queued call holds for its arguments.
  void unroot(StoredMethodCall& stored);

  ImageTables iTables;
  std::string iLoadFault;
  VMArenaUser iArenaUser;
  VMState iState;
  VMAddr iStackRegion = 0;

  Vec<int> iFrameRecords;
  Vec<int> iFrameBases;
  Handler iHandlers[kHandlerRecords];
  TInt32 iHandlerCount = 0;

  Vec<MethodHandle> iHandles;
  TInt32 iBusyHandle = -1;
  Vec<StoredMethodCall*> iQueue;
  TInt32 iThrowHandle = -1;            // vminternalthrow<int>,<string>
  TInt32 iPrintThrowableHandle = -1;   // vmprintthrowable<throwable>
  TInt32 iPrintAndExitHandle = -1;     // vmprintthrowableandexit<throwable>

  // iBudget counts down the current slice (negative: nothing to count);
  // iBudgetRest is the budget beyond it (negative: unlimited).
  TInt64 iBudget = -1;
  TInt64 iBudgetRest = -1;
  TInt64 iDeadlineNs = -1;   // steady clock; negative: no time limit
  bool iDraining = false;
  MRunObserver* iObserver = nullptr;
  bool iConverting = false;  // vminternalthrow runs and has not thrown yet
};
