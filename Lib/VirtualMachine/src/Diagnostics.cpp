// What the machine tells a host about a run for its diagnostics: the chain
// of active calls, and which code sends each instruction to the observer.
#include "Fusion.h"
#include "Opcodes.h"
#include "VirtualMachine.h"

Vec<int> VirtualMachine::callChain() const {
  Vec<int> chain;
  const TInt32 codeSize = iTables.codeSize;
  if (iState.pc < 0 || iState.pc >= codeSize + kCodePadding) return chain;   // the pad: run off the end
  chain.append(iState.pc);
  // Each frame's return slot holds the offset after its call instruction;
  // the outermost one holds the invoker's -1.
  for (TInt32 i = iFrameRecords.size() - 1; i > 0; --i) {
    TInt32 slot = iFrameBases[i];
    const TInt32 record = iFrameRecords[i];
    if (record >= 0 && record < iTables.methodInfos.size())
      slot += iTables.methodInfos[record].paramSlots + iTables.methodInfos[record].resultSlots;
    if (slot < 0 || slot >= kStackSlots) break;
    const TInt32 back = static_cast<TInt32>(iState.stack[slot]);
    if (back <= 0 || back > codeSize) break;
    // The call instruction itself when it is plain to see.
    const TUint8* code = iTables.code.data();
    if (back >= 9 && code[back - 9] == OP_CALL) chain.append(back - 9);
    else if (back >= 5 && code[back - 5] == OP_CALL_VIRTUAL) chain.append(back - 5);
    else chain.append(back - 1);
  }
  return chain;
}

void VirtualMachine::setFusion(bool on) {
  iTables.fuse = on;
  buildExecutionCode(iTables);
}

void VirtualMachine::setTraceRange(TInt32 from, TInt32 to) {
  iTables.traceFrom = from;
  iTables.traceTo = to;
  buildExecutionCode(iTables);
}
