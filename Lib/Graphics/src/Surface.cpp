#include "Surface.h"

#include "Errors.h"

#include <QGuiApplication>
#include <QPainter>

Q_LOGGING_CATEGORY(runtimeLog, "runtime")

namespace surface {

size_t pixelBytes(TInt32 width, TInt32 height) {
  if (width > kMaxDimension || height > kMaxDimension) raise(ERR_INVALID_ARGUMENT, "Image too large");
  return static_cast<size_t>(width < 0 ? 0 : width) * static_cast<size_t>(height < 0 ? 0 : height) * 4u;
}

QFont nativeFace() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(40);
  return f;
}

OpacityScope::OpacityScope(QPainter& painter, TInt32 alpha) : iPainter(painter), iSaved(alpha != 255) {
  if (!iSaved) return;
  iPainter.save();
  iPainter.setOpacity(alpha / 255.0);
}

OpacityScope::~OpacityScope() {
  if (iSaved) iPainter.restore();
}

void requireGui() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    raise(ERR_RUNTIME, "Internal error: drawing needs a GUI application");
}

void warnNullBitmap() { qCWarning(runtimeLog, "Null BitmapContainer"); }

}  // namespace surface

// The toolkit's offscreen platform never frees its screen objects, the
// font configuration library keeps its caches for the process, and libdbus
// keeps a few allocations until dbus_shutdown(), which nothing calls while
// the toolkit may still use a bus; leak checking builds are told so here,
// once for every program that draws.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libqoffscreen.so\nleak:libfontconfig.so\nleak:libdbus-1.so\n";
}
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
