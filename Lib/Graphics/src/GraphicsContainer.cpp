#include "GraphicsContainer.h"

#include "BitmapContainer.h"
#include "Errors.h"
#include "NString.h"
#include "NerimFont.h"
#include "Surface.h"

#include <QPainter>
#include <QPixmap>
#include <QString>

struct GraphicsContainer::Painting {
  QPixmap* target = nullptr;
  std::shared_ptr<QPixmap> shared;   // set for a bitmap target
  QPainter painter;
  // The pen colour last set: text and lines in one colour set it once (a
  // pen change rebuilds the painter's pen state). Saves and restores around
  // opacity and transforms leave the pen as it was.
  TUint32 pen = 0;
  bool penSet = false;

  void usePen(TUint32 colour) {
    if (penSet && pen == colour) return;
    painter.setPen(surface::colour(colour));
    pen = colour;
    penSet = true;
  }
};

namespace {

GraphicsContainer::PaintingPtr begin(QPixmap* target, std::shared_ptr<QPixmap> shared) {
  GraphicsContainer::PaintingPtr p(new GraphicsContainer::Painting);
  p->target = target;
  p->shared = std::move(shared);
  p->painter.begin(target);
  p->painter.setFont(surface::nativeFace());
  p->painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p->painter.setRenderHint(QPainter::Antialiasing, false);
  return p;
}

double fromFixed(TInt64 v) { return static_cast<double>(v) / 4294967296.0; }

}  // namespace

GraphicsContainer::PaintingPtr GraphicsContainer::onPixmap(QPixmap* target) {
  surface::requireGui();
  return begin(target, {});
}

GraphicsContainer::PaintingPtr GraphicsContainer::onBitmap(BitmapContainer& bitmap) {
  TInt32 w = 0, h = 0;
  bitmap.size(w, h);
  if (w == 0 || h == 0) raise(ERR_VM, "GraphicsContainer: invalid bitmap");
  std::shared_ptr<QPixmap> pixmap = bitmap.pixmapOf();
  QPixmap* target = pixmap.get();
  return begin(target, std::move(pixmap));
}

void GraphicsContainer::PaintingDeleter::operator()(Painting* p) const { delete p; }

GraphicsContainer::~GraphicsContainer() { end(); }

void GraphicsContainer::end() {
  if (!d) return;
  if (d->painter.isActive()) d->painter.end();
  delete d;
  d = nullptr;
}

void GraphicsContainer::setClip(const QRegion& region) {
  if (d) d->painter.setClipRegion(region, Qt::ReplaceClip);
}

void GraphicsContainer::fillRect(TInt32 x, TInt32 y, TInt32 width, TInt32 height, TUint32 colour) {
  if (!d) return;
  d->painter.fillRect(QRect(x, y, width, height), surface::colour(colour));
}

void GraphicsContainer::clear(TUint32 colour) { fillRect(0, 0, 32768, 32768, colour); }

void GraphicsContainer::drawLine(TInt32 x1, TInt32 y1, TInt32 x2, TInt32 y2, TUint32 colour) {
  if (!d) return;
  d->usePen(colour);
  d->painter.drawLine(x1, y1, x2, y2);
}

void GraphicsContainer::drawText(const NString& text, TInt32 first, TInt32 count, TInt32 x, TInt32 y,
                                 TUint32 colour) {
  if (!d || count <= 0) return;
  d->usePen(colour);
  const QString s(reinterpret_cast<const QChar*>(text.units() + first), count);
  d->painter.drawText(QRect(QPoint(x, y), QPoint(x + 32767, y + 32767)), Qt::AlignLeft | Qt::AlignTop, s);
}

void GraphicsContainer::drawStripText(const NString& text, TInt32 first, TInt32 count, TInt32 x, TInt32 y,
                                      TUint32 colour, NerimFont& font) {
  if (!d) return;
  font.draw(d->painter, text, first, count, x, y, colour);
}

QPixmap GraphicsContainer::sourceOf(BitmapContainer& bitmap) const {
  const std::shared_ptr<QPixmap>& p = bitmap.pixmapOf();
  return p.get() == d->target ? p->copy() : *p;
}

void GraphicsContainer::drawBitmap(BitmapContainer* bitmap, TInt32 x, TInt32 y, TInt32 alpha) {
  if (!bitmap) return surface::warnNullBitmap();
  if (!d) return;
  surface::OpacityScope opacity(d->painter, alpha);
  d->painter.drawPixmap(x, y, sourceOf(*bitmap));
}

void GraphicsContainer::drawBitmapRegion(BitmapContainer* bitmap, TInt32 x, TInt32 y, TInt32 sx, TInt32 sy, TInt32 sw,
                                         TInt32 sh, TInt32 alpha) {
  if (!bitmap) return surface::warnNullBitmap();
  if (!d) return;
  surface::OpacityScope opacity(d->painter, alpha);
  d->painter.drawPixmap(x, y, sourceOf(*bitmap), sx, sy, sw, sh);
}

void GraphicsContainer::drawBitmapTransformed(BitmapContainer* bitmap, TInt32 cx, TInt32 cy, TInt64 angle,
                                              TInt64 scaleX, TInt64 scaleY, TInt32 alpha) {
  if (!bitmap) return surface::warnNullBitmap();
  if (!d) return;
  const double degrees = fromFixed(angle) * 180.0 / 3.141;
  const QPixmap source = sourceOf(*bitmap);
  QPainter& p = d->painter;
  p.save();
  if (alpha != 255) p.setOpacity(alpha / 255.0);
  p.translate(cx, cy);
  p.rotate(-degrees);
  p.scale(fromFixed(scaleX), fromFixed(scaleY));
  p.translate(-static_cast<TInt32>(source.width() / 2.0f), -static_cast<TInt32>(source.height() / 2.0f));
  p.drawPixmap(0, 0, source);
  p.restore();
}

void GraphicsContainer::drawBitmapTiled(BitmapContainer* bitmap, TInt32 x, TInt32 y, TInt32 width, TInt32 height,
                                        TInt32 offsetX, TInt32 offsetY) {
  if (!bitmap) return surface::warnNullBitmap();
  if (!d) return;
  const QPixmap source = sourceOf(*bitmap);
  if (source.isNull()) return;
  d->painter.drawTiledPixmap(QRect(x, y, width, height), source, QPoint(-offsetX, -offsetY));
}
