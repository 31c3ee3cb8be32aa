#pragma once
// The application's window: turns toolkit events into the calls of the
// event rules, owns the machine, and answers the framework services that
// reach the window and the platform (orientation, display blanking).
#include "EventRouter.h"
#include "MachineEntries.h"
#include "MainViewBase.h"

#include <memory>

class EventRecorder;

class MainView : public MainViewBase {
  Q_OBJECT

 public:
  MainView(const CAppsString& applicationDirectory, bool windowed = false);
  ~MainView() override;

  // Records every event delivered to the image from now on.
  void setRecorder(EventRecorder* recorder);
  // Loads index.mcb and runs ::global::init and main. False when the image
  // cannot be opened (reported); an error of the image ends the run
  // through the entry guard instead.
  bool start();

  // The window manager's report of the current application window.
  void currentWindow(quint64 window);

  bool needsRotation() override;
  void setBlankingPaused(bool paused) override;
  void setOrientation(TInt32 orientation) override;

  EventRouter& router() { return iRouter; }

 public slots:
  void displaySignal(QString state);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  MachineEntries iEntries;
  EventRouter iRouter;
  std::unique_ptr<ClientVM> iMachine;
};
