#pragma once
// The orientation table: what each value asks of the window manager, the
// screen size the image is told, and how a portrait image is shown on a
// landscape window (a translation by the window height and a rotation by
// -90 degrees, so window point (wx, wy) shows pixmap point (H - 1 - wy, wx)).
#include "Types.h"

#include <QRect>

namespace orientation {

const TInt32 PORTRAIT = 1;
const TInt32 LANDSCAPE = 2;

inline void screenSize(TInt32 value, TInt32& width, TInt32& height) {
  const bool landscape = value == LANDSCAPE;
  width = landscape ? 800 : 480;
  height = landscape ? 480 : 800;
}

// The value of the portrait request property: 0 only for landscape.
inline TUint32 portraitRequest(TInt32 value) { return value == LANDSCAPE ? 0 : 1; }

inline bool needsRotation(TInt32 value, int windowWidth, int windowHeight) {
  return value == PORTRAIT && windowWidth > windowHeight;
}

// A pixmap rectangle to the window rectangle showing the same pixels.
inline QRect toWindow(const QRect& r, int windowHeight) {
  return QRect(r.y(), windowHeight - r.x() - r.width(), r.height(), r.width());
}

// A window rectangle to the pixmap rectangle it shows.
inline QRect toPixmap(const QRect& r, int windowHeight) {
  return QRect(windowHeight - r.y() - r.height(), r.x(), r.height(), r.width());
}

}  // namespace orientation
