#include "QtClientApplication.h"

#include "MainView.h"
#include "X11Properties.h"

#include <xcb/xcb.h>

QtClientApplication::QtClientApplication(int& argc, char** argv) : QApplication(argc, argv) {
  installNativeEventFilter(this);
}

QtClientApplication::~QtClientApplication() { removeNativeEventFilter(this); }

void QtClientApplication::setMainView(MainView* view) {
  iMainView = view;
  if (view) x11::watchRootProperties();
}

bool QtClientApplication::nativeEventFilter(const QByteArray& eventType, void* message, long*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
  const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
  x11PropertyNotify(notify->window, notify->atom, notify->state == XCB_PROPERTY_NEW_VALUE);
  return false;
}

void QtClientApplication::x11PropertyNotify(quint64 window, quint64 atom, bool newValue) {
  if (!newValue || window != x11::rootWindow() || atom != x11::currentAppWindowAtom()) return;
  quint64 current = 0;
  if (!x11::readCurrentAppWindow(current)) return;
  if (iMainView) iMainView->currentWindow(current);
}
