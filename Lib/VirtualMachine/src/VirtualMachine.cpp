#include "VirtualMachine.h"

#include "Errors.h"
#include "ImageLoader.h"
#include "Interpreter.h"
#include "StackScan.h"

#include <QString>
#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
constexpr TInt32 kDefaultPoolSize = 64000;
}

VirtualMachine::VirtualMachine()
    : iState(static_cast<InterfaceForCallingGc*>(this), kDefaultPoolSize, iTables.classReferenceFields,
             iTables.classVectorFields, iTables.classVectorFieldFlags) {
  const TUint32 slots = kStackSlots + 2 * kStackGuardSlots;
  iStackRegion = VMArena::commit(slots * 4u);
  iState.stack = vmPtrAs<TUint32>(iStackRegion + kStackGuardSlots * 4u);
  iState.pc = 0;
  iState.sp = 0;
  for (Handler& h : iHandlers) h = Handler{0, 0, 0, 0};
  // A frame takes at least one slot, so the frame stacks never grow past this.
  iFrameRecords.setCapacity(kStackSlots);
  iFrameBases.setCapacity(kStackSlots);
}

VirtualMachine::~VirtualMachine() {
  for (StoredMethodCall* c : iQueue) {
    unroot(*c);
    delete c;
  }
  // The heap's destructor sweeps: every native destructor runs before the pools go.
}

TInt32 VirtualMachine::load(const Vec<TUint8>& image, const CAppsString& name) {
  const TInt32 index = loadImage(iTables, iState.heap, image, name, iLoadFault);
  resolveRuntimeHooks(index);
  return index;
}

void VirtualMachine::resolveRuntimeHooks(TInt32 image) {
  iThrowHandle = resolveMethod(QStringLiteral("vminternalthrow<int>,<string>"), image);
  iPrintThrowableHandle = resolveMethod(QStringLiteral("vmprintthrowable<throwable>"), image);
  iPrintAndExitHandle = resolveMethod(QStringLiteral("vmprintthrowableandexit<throwable>"), image);
}

namespace {
TInt64 nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

// The slice is what the dispatch loop counts down between two checks of the
// clock; a budget alone is one slice per kSliceCounts too, so the loop
// tests a single counter either way.
void VirtualMachine::startSlice() {
  if (iBudgetRest < 0 && iDeadlineNs < 0) {
    iBudget = -1;
    return;
  }
  TInt64 slice = kSliceCounts;
  if (iBudgetRest >= 0) {
    slice = std::min(slice, iBudgetRest);
    iBudgetRest -= slice;
  }
  iBudget = slice;
}

void VirtualMachine::setBudget(TInt64 budget) {
  iBudgetRest = budget < 0 ? -1 : budget;
  startSlice();
}

void VirtualMachine::setTimeLimit(TInt64 milliseconds) {
  const TInt64 left = iBudgetRest < 0 ? -1 : iBudgetRest + std::max<TInt64>(iBudget, 0);
  iDeadlineNs = milliseconds < 0 ? -1 : nowNs() + std::min<TInt64>(milliseconds, TInt64(1) << 40) * 1000000;
  iBudgetRest = left;
  startSlice();
}

void VirtualMachine::checkDeadline() {
  if (iDeadlineNs >= 0 && nowNs() >= iDeadlineNs) raise(ERR_RUNTIME, "Time limit reached");
}

void VirtualMachine::nextBudgetSlice() {
  iBudget = 0;   // what a raise below leaves: every later count ends here again
  checkDeadline();
  if (iBudgetRest == 0) raise(ERR_RUNTIME, "Instruction budget exhausted");
  startSlice();
  --iBudget;     // the event that ended the last slice
}

void VirtualMachine::badFrameRecord(TInt32 record) {
  if (iFrameRecords.size() >= kStackSlots) raiseStackOverflow();
  raise(ERR_INVALID_ARGUMENT, "", record);
}

TInt32 VirtualMachine::virtualEntry(TInt32 method, TInt32 classId) const {
  if (static_cast<TUint32>(method) >= static_cast<TUint32>(iTables.exportedMethods.size()))
    raise(ERR_INVALID_ARGUMENT, "", method);
  const Vec<MethodEntry>& entries = iTables.exportedMethods.data()[method].entries;
  for (TInt32 i = 0; i < entries.size(); ++i)
    if (entries.data()[i].classId == classId) return i;
  raise(ERR_RUNTIME, "Invalid type in virtual method call");
}

const MethodEntry& VirtualMachine::entryFor(TInt32 handle, TInt32 key) const {
  const ExportedMethod& m = iTables.exportedMethods[iHandles[handle].exportedMethod];
  for (const MethodEntry& e : m.entries) {
    if (e.classId != key) continue;
    if (e.codeOffset < 0 || e.codeOffset >= iTables.codeSize || e.methodInfo < 0 ||
        e.methodInfo >= iTables.methodInfos.size())
      break;
    return e;
  }
  raise(ERR_RUNTIME, "Invalid method call, index=", handle);
}

TUint32 VirtualMachine::deref(TUint32 reference) const {
  TUint32 v;
  std::memcpy(&v, vmOpenChecked(reference, 4), 4);
  return v;
}

TUint32 VirtualMachine::box(TUint32 v, TInt32 level) { return Interpreter::box(iState.heap, v, level); }

namespace {
// The frame maps the stack scan reads, straight from the method records.
class MethodFrameMaps : public MFrameMapSource {
 public:
  explicit MethodFrameMaps(const Vec<MethodGCInfo>& infos) : iInfos(infos) {}
  FrameGCMap frameMap(TInt32 record) const override {
    if (static_cast<TUint32>(record) >= static_cast<TUint32>(iInfos.size())) raise(ERR_INVALID_ARGUMENT, "", record);
    const MethodGCInfo& m = iInfos.data()[record];
    FrameGCMap map;
    map.paramSlots = m.paramSlots;
    map.resultSlots = m.resultSlots;
    map.localSlots = m.localSlots;
    map.paramRefSlots = list(m.paramReferenceSlots, nullptr);
    map.paramVectorSlots = list(m.paramVectorSlots, &m.paramVectorFlags);
    map.localRefSlots = list(m.localReferenceSlots, nullptr);
    map.localVectorSlots = list(m.localVectorSlots, &m.localVectorFlags);
    return map;
  }

 private:
  static FrameSlotList list(const Vec<int>& offsets, const Vec<char>* flags) {
    FrameSlotList l;
    l.offsets = offsets.data();
    l.count = offsets.size();
    if (flags) {
      l.flags = flags->data();
      if (flags->size() < l.count) l.count = flags->size();
    }
    return l;
  }
  const Vec<MethodGCInfo>& iInfos;
};
}  // namespace

// The runtime never calls this: it collects after the outermost call has
// returned, when no frame holds anything (VirtualMachine::call), which is the
// rule the natives rely on. It stays as the interface the heap is built with
// (InterfaceForCallingGc) and is tested as it is (StackScanTest).
void VirtualMachine::collectGarbage() {
  SlotStackView view;
  view.slots = iState.stack;
  view.top = iState.sp;
  view.stackRangeSlots = kStackScanSlots;
  view.frameRecords = &iFrameRecords;
  view.frameBases = &iFrameBases;
  ::collectGarbage(iState.heap, view, MethodFrameMaps(iTables.methodInfos));
}
