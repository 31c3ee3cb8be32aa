#include "ScreenBlankingController.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

ScreenBlankingController& ScreenBlankingController::instance() {
  static ScreenBlankingController* controller = new ScreenBlankingController;
  return *controller;
}

void ScreenBlankingController::setPaused(bool paused) {
  if (!paused) {
    if (iTimer) iTimer->stop();
    return;
  }
  if (!iTimer) {
    iTimer = new QTimer(this);
    connect(iTimer, &QTimer::timeout, this, &ScreenBlankingController::pauseBlanking);
  }
  if (iTimer->isActive()) return;
  pauseBlanking();
  iTimer->start(kPauseMillis);
}

bool ScreenBlankingController::paused() const { return iTimer && iTimer->isActive(); }

void ScreenBlankingController::pauseBlanking() {
  const QDBusMessage request =
      QDBusMessage::createMethodCall(QStringLiteral("com.nokia.mce"), QStringLiteral("/com/nokia/mce/request"),
                                     QStringLiteral("com.nokia.mce.request"),
                                     QStringLiteral("req_display_blanking_pause"));
  QDBusConnection::systemBus().call(request, QDBus::NoBlock);
}
