#pragma once
// The host's bytecode timers: one repeating Timer per addTimer, in
// creation order, owned here. Each expiry calls
// "<systemtimerlistener>.systemtimerevent" on the timer's listener through
// the machine's deferred call (queued when the machine is busy), inside
// the entry guard when one is set.
#include "Types.h"
#include "Vec.h"

#include <functional>

class ClientVM;
class EntryGuard;
class Timer;

class Scheduler {
 public:
  Scheduler();
  virtual ~Scheduler();
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  void setVM(ClientVM* vm) { iVM = vm; }
  ClientVM* vm() const { return iVM; }
  void setGuard(EntryGuard* guard) { iGuard = guard; }
  // Told the timer id before each delivery (a recording of the run).
  void setDeliveryHook(std::function<void(TInt32 id)> hook) { iHook = std::move(hook); }
  // Replay: timers then never fire by themselves; fire delivers one
  // expiry of a live timer (false when no live timer has the id).
  void setManual(bool manual) { iManual = manual; }
  bool manual() const { return iManual; }
  bool fire(TInt32 id);

  static constexpr TInt32 kMaxLiveTimers = 4096;

  // Precondition: the machine is set ("vm != 0"). Beyond kMaxLiveTimers
  // live timers, raises code 6 "Too many timers".
  TInt32 addTimer(TInt32 listener, TUint32 delayMillis);
  // The listener of the removed timer; 0 when no live timer has the id.
  TInt32 removeTimer(TInt32 id);
  // An id without a live timer is ignored.
  void updateTimerDelay(TInt32 id, TUint32 delayMillis);

  TInt32 liveTimers() const { return iTimers.size(); }
  // The live timer with the id, or null.
  const Timer* timer(TInt32 id) const;

  // Called by a timer on every expiry.
  void expired(const Timer& timer);

 protected:
  // The call for one expiry; does nothing when the image lacks the method.
  virtual void deliver(TInt32 listener, TInt32 id);

 private:
  TInt32 indexOf(TInt32 id) const;
  void sweepRetired();

  ClientVM* iVM = nullptr;
  EntryGuard* iGuard = nullptr;
  Vec<Timer*> iTimers;
  // Removed timers are stopped at once but destroyed only outside a
  // delivery: the removed one may be the timer whose signal is running.
  Vec<Timer*> iRetired;
  TInt32 iDelivering = 0;
  bool iManual = false;
  std::function<void(TInt32)> iHook;
};
