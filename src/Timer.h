#pragma once
// One bytecode timer: a repeating QTimer, a child of this object, whose
// every expiry the scheduler delivers to the listener. Ids come from one
// process-wide counter starting at 10, never reused; 0 is never an id.
#include "Types.h"

#include <QObject>

class QTimer;
class Scheduler;

class Timer : public QObject {
  Q_OBJECT

 public:
  Timer(TInt32 listener, TUint32 delayMillis, Scheduler* scheduler);
  ~Timer() override;

  TInt32 listener() const { return iListener; }
  TInt32 id() const { return iId; }
  TInt32 delay() const;
  // The period restarts from now, as QTimer does for an active timer.
  void setDelay(TUint32 delayMillis);
  void stop();

 public slots:
  void timeout();

 private:
  TInt32 iListener;
  TInt32 iId;
  QTimer* iTimer;
  // The scheduler, rather than the machine: it knows the machine and the
  // guard that reports errors of the call.
  Scheduler* iScheduler;

  static TInt32 sNextId;
};
