#include "X11Properties.h"

#include <QX11Info>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace x11 {

namespace {

Display* display() { return QX11Info::isPlatformX11() ? QX11Info::display() : nullptr; }

bool sFailed = false;
int recordFailure(Display*, XErrorEvent*) {
  sFailed = true;
  return 0;
}

// Runs the change and waits for the server's answer, so that a refused
// change is known here rather than reported later to the toolkit.
template <typename F> bool checked(Display* d, F change) {
  XSync(d, False);
  sFailed = false;
  XErrorHandler previous = XSetErrorHandler(recordFailure);
  change();
  XSync(d, False);
  XSetErrorHandler(previous);
  return !sFailed;
}

}  // namespace

bool canConnect() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  XCloseDisplay(d);
  return true;
}

void markNonComposited(long value) {
  Display* d = display();
  if (!d) return;
  const Atom atom = XInternAtom(d, "_HILDON_NON_COMPOSITED_WINDOW", True);
  if (atom == None) return;
  XChangeProperty(d, DefaultRootWindow(d), atom, XA_INTEGER, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&value), 1);
  XFlush(d);
}

bool requestPortrait(quint64 window, bool portrait) {
  Display* d = display();
  if (!d) return true;
  const Atom atom = XInternAtom(d, "_HILDON_PORTRAIT_MODE_REQUEST", True);
  if (atom == None) return true;
  long value = portrait ? 1 : 0;
  return checked(d, [&] {
    XChangeProperty(d, static_cast<Window>(window), atom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&value), 1);
  });
}

quint64 rootWindow() {
  Display* d = display();
  return d ? DefaultRootWindow(d) : 0;
}

quint64 currentAppWindowAtom() {
  static Atom atom = None;
  Display* d = display();
  if (atom == None && d) atom = XInternAtom(d, "_MB_CURRENT_APP_WINDOW", False);
  return atom;
}

bool readCurrentAppWindow(quint64& window) {
  Display* d = display();
  if (!d) return false;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(d, DefaultRootWindow(d), currentAppWindowAtom(), 0, 0x7FFFFFFF, False,
                                        XA_WINDOW, &type, &format, &items, &after, &data);
  const bool ok = status == Success && type == XA_WINDOW && format == 32 && items > 0 && data;
  // Format-32 items come as longs; only the low 32 bits are the value.
  if (ok) window = static_cast<quint64>(reinterpret_cast<unsigned long*>(data)[0]) & 0xFFFFFFFFu;
  if (data) XFree(data);
  return ok;
}

void watchRootProperties() {
  Display* d = display();
  if (!d) return;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, DefaultRootWindow(d), &attributes)) return;
  XSelectInput(d, DefaultRootWindow(d), attributes.your_event_mask | PropertyChangeMask);
  XFlush(d);
}

}  // namespace x11
