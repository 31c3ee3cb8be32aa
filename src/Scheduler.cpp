#include "Scheduler.h"

#include "ClientVM.h"
#include "EntryGuard.h"
#include "Errors.h"
#include "Timer.h"

#include <memory>

Scheduler::Scheduler() {}

Scheduler::~Scheduler() {
  for (Timer* t : iTimers) delete t;
  for (Timer* t : iRetired) delete t;
}

TInt32 Scheduler::indexOf(TInt32 id) const {
  for (TInt32 i = 0; i < iTimers.size(); ++i)
    if (iTimers[i]->id() == id) return i;
  return -1;
}

const Timer* Scheduler::timer(TInt32 id) const {
  const TInt32 i = indexOf(id);
  return i < 0 ? nullptr : iTimers[i];
}

void Scheduler::sweepRetired() {
  if (iDelivering > 0) return;
  for (Timer* t : iRetired) delete t;
  iRetired.clear();
}

TInt32 Scheduler::addTimer(TInt32 listener, TUint32 delayMillis) {
  ClientVM* vm = iVM;
  VM_ASSERT(vm != 0);
  sweepRetired();
  // Each live timer is a host timer: one image may not make them without end.
  if (iTimers.size() >= kMaxLiveTimers) raise(ERR_INVALID_ARGUMENT, "Too many timers");
  std::unique_ptr<Timer> timer(new Timer(listener, delayMillis, this));
  if (iManual) timer->stop();
  iTimers.append(timer.get());
  return timer.release()->id();
}

TInt32 Scheduler::removeTimer(TInt32 id) {
  const TInt32 i = indexOf(id);
  if (i < 0) return 0;
  Timer* timer = iTimers[i];
  iTimers.remove(i);
  const TInt32 listener = timer->listener();
  timer->stop();
  iRetired.append(timer);
  sweepRetired();
  return listener;
}

void Scheduler::updateTimerDelay(TInt32 id, TUint32 delayMillis) {
  const TInt32 i = indexOf(id);
  if (i >= 0) iTimers[i]->setDelay(delayMillis);
}

void Scheduler::expired(const Timer& timer) {
  const TInt32 listener = timer.listener();
  const TInt32 id = timer.id();
  // Retired timers are stopped, so the one firing now is not among them.
  sweepRetired();
  if (iHook) iHook(id);
  ++iDelivering;
  struct Leave {
    TInt32& depth;
    ~Leave() { --depth; }
  } leave{iDelivering};
  if (iGuard) iGuard->run([&] { deliver(listener, id); });
  else deliver(listener, id);
}

bool Scheduler::fire(TInt32 id) {
  const TInt32 i = indexOf(id);
  if (i < 0) return false;
  expired(*iTimers[i]);
  return true;
}

void Scheduler::deliver(TInt32 listener, TInt32) {
  if (!iVM) return;
  const TInt32 handle = iVM->entryHandle(ClientVM::ENTRY_SYSTEM_TIMER);
  if (handle < 0) return;
  Vec<int> values, levels;
  values.append(listener);
  levels.append(0);
  iVM->callMethod(handle, values, levels, 0);
}
