// Timer group (33): bytecode timers through the host's scheduler. The
// first argument is always the timer object's cell, whose word is the
// SystemTimerHandle.
#include "Errors.h"
#include "FrameworkServices.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "SystemTimerHandle.h"

void timerNative(VMState& state, TInt32 op, FrameworkServices& host) {
  switch (op) {
    case 1: {
      native::Args a(state, 1);
      const TUint32 cell = native::deref(a.word(0));
      native::store(cell, SystemTimerHandle::create(state.heap, &host));
      return a.noResult();
    }
    case 2: {
      // A timer the handle already runs keeps running: stopping first is the caller's business.
      native::Args a(state, 3);
      SystemTimerHandle& h = native::objectAt<SystemTimerHandle>(a.word(0));
      h.iListener = a.word(1);
      h.iId = host.addTimer(a.integer(1), a.integer(2));
      return a.noResult();
    }
    case 3: {
      native::Args a(state, 1);
      SystemTimerHandle& h = native::objectAt<SystemTimerHandle>(a.word(0));
      if (h.iId != 0) {
        host.removeTimer(h.iId);
        h.iId = 0;
      }
      return a.noResult();
    }
    case 4: {
      native::Args a(state, 2);
      SystemTimerHandle& h = native::objectAt<SystemTimerHandle>(a.word(0));
      if (h.iId != 0) host.updateTimerDelay(h.iId, a.integer(1));
      return a.noResult();
    }
    default: native::unknownOperation("Timer: ", op);
  }
}
