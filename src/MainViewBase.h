#pragma once
// The window half of the host: a full-screen widget with the backing
// pixmap the image draws into, painted to the window as it is or rotated
// for a portrait image on a landscape window. It is also the host
// services every host shares (files, log, clocks, timers), with the
// repaint and screen-size operations of a window.
#include "HostServices.h"

#include <QPixmap>
#include <QWidget>

class ClientVM;
class EventRecorder;

class MainViewBase : public QWidget, public HostServices {
 public:
  // windowed: an ordinary window of the screen size instead of full screen.
  MainViewBase(const CAppsString& applicationDirectory, bool windowed);
  ~MainViewBase() override;

  void repaint(TInt32 x, TInt32 y, TInt32 width, TInt32 height) override;
  virtual bool needsRotation() = 0;
  void getScreenSize(TInt32& width, TInt32& height) override { HostServices::getScreenSize(width, height); }

  const QPixmap& backingPixmap() const { return iPixmap; }
  bool windowed() const { return iWindowed; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  ClientVM* iVM = nullptr;
  EventRecorder* iRecorder = nullptr;

 private:
  QPixmap iPixmap;
  bool iWindowed;
};
