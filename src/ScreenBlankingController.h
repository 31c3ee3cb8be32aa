#pragma once
// Keeps the display from blanking while the image asks for it: one
// blanking-pause request to the mode-control service at once, then one
// every 9000 ms until the pause ends.
#include <QObject>

class QTimer;

class ScreenBlankingController : public QObject {
  Q_OBJECT

 public:
  static const int kPauseMillis = 9000;

  // The one controller of the process, created on first use, never destroyed.
  static ScreenBlankingController& instance();
  void setPaused(bool paused);
  bool paused() const;

 public slots:
  // Sends one request on the system bus, without waiting for a reply.
  void pauseBlanking();

 private:
  ScreenBlankingController() {}
  QTimer* iTimer = nullptr;
};
