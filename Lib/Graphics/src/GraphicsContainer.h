#pragma once
// A painter on a target: the main view's backing pixmap (a canvas) or a
// bitmap's pixmap. Ending it (explicitly, or when the collector frees it)
// ends the painter; an ended container draws nothing, so a canvas the image
// kept past its draw call cannot disturb later paints.
#include "GCObject.h"
#include "Types.h"

#include <QRegion>
#include <memory>

class BitmapContainer;
class NString;
class NerimFont;
class QPainter;
class QPixmap;

GCOBJECT_PACK_BEGIN
class GraphicsContainer final : public GCObject {
 public:
  struct Painting;
  struct PaintingDeleter {
    void operator()(Painting* p) const;
  };
  typedef std::unique_ptr<Painting, PaintingDeleter> PaintingPtr;

  // Begins a painter on the pixmap, which the host owns and keeps alive
  // until the container has ended.
  static PaintingPtr onPixmap(QPixmap* target);
  // Begins a painter on the bitmap's pixmap, shared while painting; code 10
  // "GraphicsContainer: invalid bitmap" for an empty picture.
  static PaintingPtr onBitmap(BitmapContainer& bitmap);

  explicit GraphicsContainer(PaintingPtr painting) : d(painting.release()) {}
  ~GraphicsContainer() override;
  GraphicsContainer(const GraphicsContainer&) = delete;
  GraphicsContainer& operator=(const GraphicsContainer&) = delete;

  void end();
  bool active() const { return d != nullptr; }
  // Drawing lands only inside the region from now on (replacing any clip).
  void setClip(const QRegion& region);

  void fillRect(TInt32 x, TInt32 y, TInt32 width, TInt32 height, TUint32 colour);
  void clear(TUint32 colour);
  void drawLine(TInt32 x1, TInt32 y1, TInt32 x2, TInt32 y2, TUint32 colour);
  void drawText(const NString& text, TInt32 first, TInt32 count, TInt32 x, TInt32 y, TUint32 colour);
  void drawStripText(const NString& text, TInt32 first, TInt32 count, TInt32 x, TInt32 y, TUint32 colour,
                     NerimFont& font);
  // A null bitmap warns "Null BitmapContainer" and draws nothing.
  void drawBitmap(BitmapContainer* bitmap, TInt32 x, TInt32 y, TInt32 alpha);
  void drawBitmapRegion(BitmapContainer* bitmap, TInt32 x, TInt32 y, TInt32 sx, TInt32 sy, TInt32 sw, TInt32 sh,
                        TInt32 alpha);
  // Angle and scales are fixed-point (32 fractional bits); degrees are
  // angle * 180 / 3.141.
  void drawBitmapTransformed(BitmapContainer* bitmap, TInt32 cx, TInt32 cy, TInt64 angle, TInt64 scaleX,
                             TInt64 scaleY, TInt32 alpha);
  void drawBitmapTiled(BitmapContainer* bitmap, TInt32 x, TInt32 y, TInt32 width, TInt32 height, TInt32 offsetX,
                       TInt32 offsetY);

 private:
  // The source's picture, copied when it is this container's own target
  // (a painter cannot read the device it is writing).
  QPixmap sourceOf(BitmapContainer& bitmap) const;

  Painting* d;   // null once ended
};
GCOBJECT_PACK_END
