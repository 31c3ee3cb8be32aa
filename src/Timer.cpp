#include "Timer.h"

#include "Scheduler.h"

#include <QTimer>
#include <limits>

TInt32 Timer::sNextId = 10;

namespace {
int interval(TUint32 delayMillis) {
  return static_cast<int>(std::min<TUint32>(delayMillis, std::numeric_limits<int>::max()));
}
}  // namespace

Timer::Timer(TInt32 listener, TUint32 delayMillis, Scheduler* scheduler)
    : iListener(listener), iId(sNextId++), iTimer(new QTimer(this)), iScheduler(scheduler) {
  // Precise, so that timers of different periods expire in the order of their deadlines.
  iTimer->setTimerType(Qt::PreciseTimer);
  connect(iTimer, &QTimer::timeout, this, &Timer::timeout, Qt::DirectConnection);
  iTimer->start(interval(delayMillis));
}

Timer::~Timer() {}

// setInterval restarts an active timer and leaves a stopped one (a replay's) stopped.
void Timer::setDelay(TUint32 delayMillis) { iTimer->setInterval(interval(delayMillis)); }

TInt32 Timer::delay() const { return iTimer->interval(); }

void Timer::stop() { iTimer->stop(); }

void Timer::timeout() { iScheduler->expired(*this); }
