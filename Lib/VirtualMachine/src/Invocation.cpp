// Calls into bytecode from outside: the immediate call, the deferred queue,
// error conversion and the runtime hooks for thrown errors.
#include "CAppsString.h"
#include "Errors.h"
#include "Interpreter.h"
#include "NString.h"
#include "VirtualMachine.h"

#include <QString>
#include <cstring>
#include <memory>
#include <new>

namespace {
[[noreturn]] void missingHook(const char* name) {
  raise(ERR_RUNTIME, QStringLiteral("Missing runtime hook ") + QString::fromLatin1(name));
}
}  // namespace

TInt32 VirtualMachine::callMethod(TInt32 handle, const Vec<int>& values, const Vec<int>& levels,
                                  TInt32 resultLevel) {
  if (iBusyHandle == -1) return static_cast<TInt32>(call(handle, values, levels, resultLevel));
  auto* stored = new StoredMethodCall;
  stored->handle = handle;
  stored->values = values;
  stored->levels = levels;
  stored->resultLevel = resultLevel;
  iQueue.append(stored);
  // The collection after the running call sees only roots: an argument made
  // just for this call (an event object, a listener) must survive it.
  for (TInt32 i = 0; i < values.size(); ++i) {
    if (!iState.heap.isLiveBlock(static_cast<VMAddr>(values[i]))) continue;
    iState.heap.addRoot(static_cast<VMAddr>(values[i]));
    stored->roots.append(values[i]);
  }
  return iQueue.size() - 1;
}

void VirtualMachine::unroot(StoredMethodCall& stored) {
  for (int v : stored.roots) iState.heap.removeRoot(static_cast<VMAddr>(v));
  stored.roots.clear();
}

TInt32 VirtualMachine::call(TInt32 handle, const Vec<int>& values, const Vec<int>& levels, TInt32 resultLevel) {
  if (handle < 0) return 0;
  if (iBusyHandle != -1) raise(ERR_RUNTIME, "VM concurrency error");
  if (handle >= iHandles.size()) raise(ERR_INVALID_ARGUMENT, "", handle);
  iBusyHandle = handle;

  // Copied: natives may resolve methods and grow the handle table.
  const bool hasResult = iHandles[handle].hasResult != 0;
  const TInt32 handleResultLevel = iHandles[handle].resultLevel;
  const TUint32 result = invoke(handle, values, levels);
  const bool rooted = hasResult && handleResultLevel > 0 && result != 0;
  if (rooted) iState.heap.addRoot(result);
  iState.heap.collect();
  iBusyHandle = -1;

  drainQueue();

  if (!hasResult) return 0;
  if (rooted) iState.heap.removeRoot(result);
  return static_cast<TInt32>(box(result, resultLevel - handleResultLevel));
}

// Queued calls run one after the other from the outermost call, in arrival
// order; calls queued meanwhile join the end of the same loop.
void VirtualMachine::drainQueue() {
  if (iDraining) return;
  iDraining = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{iDraining};
  while (iQueue.size() > 0) {
    std::unique_ptr<StoredMethodCall> next(iQueue[0]);
    iQueue.remove(0);
    unroot(*next);   // from here on the slot stack holds the arguments
    call(next->handle, next->values, next->levels, next->resultLevel);
  }
}

TUint32 VirtualMachine::invoke(TInt32 handle, const Vec<int>& values, const Vec<int>& levels) {
  const MethodHandle& h = iHandles[handle];
  TUint32* stk = iState.stack;
  TInt32 sp = h.hasResult ? 1 : 0;
  if (h.hasResult) stk[0] = 0;
  for (TInt32 i = 0; i < values.size(); ++i) {
    if (sp >= kStackSlots - 1) raiseStackOverflow();
    if (i >= h.parameterLevels.size()) raise(ERR_INVALID_ARGUMENT, "", i);
    const TInt32 given = i < levels.size() ? levels[i] : 0;
    stk[sp++] = box(static_cast<TUint32>(values[i]), h.parameterLevels[i] - given);
  }

  TInt32 key = -1;
  const ExportedMethod& method = iTables.exportedMethods[h.exportedMethod];
  if (method.isVirtual) {
    if (values.size() == 0) raise(ERR_RUNTIME, "Invalid number of method parameters");
    TUint32 v = stk[h.hasResult ? 1 : 0];
    for (TInt32 i = 0; i < h.parameterLevels[0]; ++i) v = deref(v);
    key = static_cast<TInt32>(v);
  }
  const MethodEntry& entry = entryFor(handle, key);

  checkDeadline();
  iFrameRecords.append(entry.methodInfo);
  iFrameBases.append(0);
  iHandlerCount = 0;
  iConverting = false;
  stk[sp] = static_cast<TUint32>(-1);
  iState.sp = sp;
  iState.pc = entry.codeOffset;
  runConverting();
  iState.pc = -1;
  iFrameRecords.clear();
  iFrameBases.clear();
  return stk[0];
}

void VirtualMachine::runConverting() {
  for (;;) {
    TInt32 code = 0;
    QString message;
    try {
      run();
      return;
    } catch (ErrorHandlingException&) {
      code = currentErrorCode();
      if (code == ERR_TERMINATE) throw VMTermination();
      if (code == ERR_RUNTIME) throw;
      message = currentErrorText();
      clearError();
      if (code == 0) {
        code = ERR_RUNTIME;
        message = QStringLiteral("UNEXPECTED EXCEPTION");
      }
    } catch (const std::bad_alloc&) {
      // The system refused memory to a native: the image sees code 6.
      code = ERR_INVALID_ARGUMENT;
      message = composeErrorMessage(code, QStringLiteral("Host memory exhausted"));
    }
    // A hook that faults before it throws would be converted for ever.
    if (iConverting)
      raise(ERR_RUNTIME, QStringLiteral("Error inside vminternalthrow<int>,<string>: ") + message);
    chargeBudget();
    iConverting = true;
    raiseInBytecode(code, message);
  }
}

void VirtualMachine::raiseInBytecode(TInt32 code, const QString& message) {
  if (iThrowHandle < 0) missingHook("vminternalthrow<int>,<string>");
  const MethodHandle& h = iHandles[iThrowHandle];
  const MethodEntry& entry = entryFor(iThrowHandle, -1);
  const TInt32 first = h.parameterLevels.size() > 0 ? h.parameterLevels[0] : 0;
  const TInt32 second = h.parameterLevels.size() > 1 ? h.parameterLevels[1] : 0;
  const TUint32 text = Interpreter::newString(iState.heap, CAppsString::fromQString(message).toNString());
  TInt32 sp = iState.sp;
  if (sp + 3 >= kStackSlots || sp < -1) raiseStackOverflow();
  if (iObserver) iObserver->raised(iState.pc);
  iState.stack[++sp] = box(static_cast<TUint32>(code), first);
  iState.stack[++sp] = box(text, second - 1);
  iState.stack[++sp] = static_cast<TUint32>(iState.pc + 1);
  iState.sp = sp;
  iState.pc = entry.codeOffset;
}

void VirtualMachine::throwUncaught(TUint32 throwable, TInt32 pc, TInt32 sp) {
  if (iPrintAndExitHandle < 0) missingHook("vmprintthrowableandexit<throwable>");
  const MethodHandle& h = iHandles[iPrintAndExitHandle];
  const MethodEntry& entry = entryFor(iPrintAndExitHandle, -1);
  const TInt32 level = h.parameterLevels.size() > 0 ? h.parameterLevels[0] : 0;
  if (sp + 2 >= kStackSlots || sp < -1) raiseStackOverflow();
  if (iObserver) iObserver->uncaught(throwable, pc);
  iState.stack[++sp] = box(throwable, level - 1);
  iState.stack[++sp] = static_cast<TUint32>(pc + 1);
  pushFrame(entry.methodInfo, sp);
  iState.sp = sp;
  iState.pc = entry.codeOffset;
}
