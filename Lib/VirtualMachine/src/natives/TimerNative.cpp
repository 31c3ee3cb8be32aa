// Timer group (33): bytecode timers through the host's scheduler. The
// first argument is always the timer object's cell, whose word is the
// SystemTimerHandle.
#include "FrameworkServices.h"
#include "NativeHelpers.h"
#include "SystemTimerHandle.h"

namespace {

void create(native::Context& cx) {
  native::Args a(cx, 1);
  const TUint32 cell = native::deref(a.word(0));
  native::store(cell, SystemTimerHandle::create(cx.heap(), &cx.host()));
  a.noResult();
}

// A timer the handle already runs keeps running: stopping first is the caller's business.
void start(native::Context& cx) {
  native::Args a(cx, 3);
  SystemTimerHandle& h = native::objectAt<SystemTimerHandle>(a.word(0));
  h.iListener = a.word(1);
  h.iId = cx.host().addTimer(a.integer(1), a.integer(2));
  a.noResult();
}

void stop(native::Context& cx) {
  native::Args a(cx, 1);
  SystemTimerHandle& h = native::objectAt<SystemTimerHandle>(a.word(0));
  if (h.iId != 0) {
    cx.host().removeTimer(h.iId);
    h.iId = 0;
  }
  a.noResult();
}

void setDelay(native::Context& cx) {
  native::Args a(cx, 2);
  SystemTimerHandle& h = native::objectAt<SystemTimerHandle>(a.word(0));
  if (h.iId != 0) cx.host().updateTimerDelay(h.iId, a.integer(1));
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "create", create, "timer ->", "none"},
    {2, "start", start, "timer, listener, int ->", "none"},
    {3, "stop", stop, "timer ->", "none"},
    {4, "setDelay", setDelay, "timer, int ->", "none"},
};

}  // namespace

NATIVE_OPERATIONS(timerOperations, kRows);
