#include "MainView.h"

#include "ClientVM.h"
#include "EventRecorder.h"
#include "ImageStart.h"
#include "Orientation.h"
#include "ScreenBlankingController.h"
#include "Scheduler.h"
#include "X11Properties.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <cstdio>

MainView::MainView(const CAppsString& applicationDirectory, bool windowed)
    : MainViewBase(applicationDirectory, windowed), iEntries(guard()), iRouter(iEntries) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

// The machine goes before the host services it reports to.
MainView::~MainView() {
  iEntries.setVM(nullptr);
  iVM = nullptr;
  iMachine.reset();
}

void MainView::setRecorder(EventRecorder* recorder) {
  iRecorder = recorder;
  iEntries.setRecorder(recorder);
  if (recorder) scheduler().setDeliveryHook([recorder](TInt32 id) { recorder->timer(id); });
  else scheduler().setDeliveryHook(nullptr);
}

bool MainView::start() {
  iMachine.reset(new ClientVM(this));
  HostServices::start(iMachine.get());
  iVM = iMachine.get();
  iEntries.setVM(iVM);
  if (!startImage(*this, *iMachine)) return false;
  update();
  return true;
}

void MainView::currentWindow(quint64 window) {
  iRouter.setShown(window == 0xFFFFFFFFu || window == static_cast<quint64>(winId()));
}

bool MainView::needsRotation() { return orientation::needsRotation(getOrientation(), width(), height()); }

void MainView::setBlankingPaused(bool paused) {
  HostServices::setBlankingPaused(paused);
  ScreenBlankingController::instance().setPaused(paused);
}

void MainView::setOrientation(TInt32 value) {
  if (value == getOrientation()) return;
  HostServices::setOrientation(value);
  if (!x11::requestPortrait(winId(), orientation::portraitRequest(value) != 0)) {
    std::fputs("setOrientationToPortrait, change property failed\n", stderr);
  }
  // A window of its own size turns with the image instead of rotating it.
  if (windowed()) {
    TInt32 width = 0, height = 0;
    getScreenSize(width, height);
    resize(width, height);
  }
  update();
}

void MainView::displaySignal(QString state) { iRouter.displayStatus(state); }

void MainView::mousePressEvent(QMouseEvent* e) { iRouter.pointer(EventRouter::POINTER_PRESSED, e->x(), e->y()); }

void MainView::mouseReleaseEvent(QMouseEvent* e) { iRouter.pointer(EventRouter::POINTER_RELEASED, e->x(), e->y()); }

// Without mouse tracking moves come only while a button is held; the
// check keeps that true should tracking ever be switched on.
void MainView::mouseMoveEvent(QMouseEvent* e) {
  if (e->buttons() != Qt::NoButton) iRouter.pointer(EventRouter::POINTER_MOVED, e->x(), e->y());
}

void MainView::keyPressEvent(QKeyEvent* e) {
  iRouter.keyPressed(e->key(), static_cast<TInt32>(e->nativeScanCode()), e->text());
}

void MainView::keyReleaseEvent(QKeyEvent* e) {
  iRouter.keyReleased(e->key(), static_cast<TInt32>(e->nativeScanCode()), e->text());
}

void MainView::showEvent(QShowEvent*) { iRouter.setShown(true); }

void MainView::hideEvent(QHideEvent*) { iRouter.setShown(false); }
