#pragma once
// Conventions shared by every surface: colours, the opacity rule, the
// native text face and the size limit on pixel buffers.
#include "Types.h"

#include <QColor>
#include <QFont>
#include <QLoggingCategory>
#include <cstddef>

class QPainter;

// The runtime's own warnings ("Null BitmapContainer"); a host that filters
// toolkit chatter lets this category through.
Q_DECLARE_LOGGING_CATEGORY(runtimeLog)

namespace surface {

// 0xAARRGGBB to a toolkit colour.
inline QColor colour(TUint32 argb) { return QColor::fromRgba(argb); }

// Width and height above this are refused before the toolkit is asked.
constexpr TInt32 kMaxDimension = 16384;

// The bytes of a 32-bit w-by-h buffer; code 6 "Image too large" for a
// dimension above kMaxDimension (negative sizes are the caller's to refuse).
size_t pixelBytes(TInt32 width, TInt32 height);

// The face every native font and every canvas uses: one installed family
// at pixel size 40, so text measures the same on every machine.
QFont nativeFace();

// Opacity rule: an alpha other than 255 sets the painter's opacity to
// alpha / 255 until the scope ends (the painter state is saved around it).
class OpacityScope {
 public:
  OpacityScope(QPainter& painter, TInt32 alpha);
  ~OpacityScope();
  OpacityScope(const OpacityScope&) = delete;
  OpacityScope& operator=(const OpacityScope&) = delete;

 private:
  QPainter& iPainter;
  bool iSaved;
};

// Pixmaps and fonts need a GUI application; without one (a machine run by
// a tool) drawing is refused with code 11 instead of stopping the process.
void requireGui();

// Writes "Null BitmapContainer" to the warning channel.
void warnNullBitmap();

}  // namespace surface
