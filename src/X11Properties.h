#pragma once
// The window manager's X11 properties: the non-composited marking on the
// root window, the portrait request on the main window and the current
// application window read from the root window. Xlib stays inside the
// .cpp file; windows and atoms travel as plain numbers.
#include <QtGlobal>

namespace x11 {

// True when an X server answers on $DISPLAY (tried without the toolkit).
bool canConnect();

// Sets _HILDON_NON_COMPOSITED_WINDOW (INTEGER, 32) on the default root
// window, when the window manager has made the atom.
void markNonComposited(long value);
// Sets _HILDON_PORTRAIT_MODE_REQUEST (CARDINAL, 32) on the window, when
// the atom exists. False when the server refused the change.
bool requestPortrait(quint64 window, bool portrait);

quint64 rootWindow();
// _MB_CURRENT_APP_WINDOW, made if missing and kept for the process.
quint64 currentAppWindowAtom();
// Reads the root window's _MB_CURRENT_APP_WINDOW: true with its first
// item when the property is of type WINDOW, format 32 and not empty.
bool readCurrentAppWindow(quint64& window);
// Makes the root window report its property changes to this client,
// keeping whatever it already reports.
void watchRootProperties();

}  // namespace x11
