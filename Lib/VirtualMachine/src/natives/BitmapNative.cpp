// Bitmap group (19): creating, loading, copying, resizing, reading,
// writing and encoding bitmaps. A bitmap argument is a cell holding a
// kind-2 drawing handle; creating operations store a new handle in the
// destination cell. Every read or rebuild first releases the handle's
// painter.
#include "BitmapContainer.h"
#include "DrawHandle.h"
#include "Errors.h"
#include "FrameworkServices.h"
#include "ImageLoading.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "NativeRegistry.h"
#include "VectorStore.h"

#include <QByteArray>
#include <QString>

using native::Args;
using native::Context;

namespace {

// The handle in a bitmap cell (null cell or word: code 1).
VMAddr handleAt(TUint32 cell) { return native::deref(native::derefCell(cell)); }

// The destination cell, checked before anything is made.
VMAddr destination(const Args& a) {
  const VMAddr cell = native::deref(a.word(0));
  vmOpenChecked(cell, 4);
  return cell;
}

QString position(TInt32 x, TInt32 y) { return QStringLiteral("Position (%1, %2) is outside the bounds of the bitmap").arg(x).arg(y); }

// Code 6 unless (x, y) lies on the bitmap.
BitmapContainer& pixelTarget(VMAddr handle, TInt32 x, TInt32 y, const char* emptyMessage) {
  BitmapContainer* b = drawhandle::releaseGraphics(handle);
  if (!b) raise(ERR_INVALID_ARGUMENT, emptyMessage ? QString::fromLatin1(emptyMessage) : position(x, y) + ", the bitmap is empty");
  TInt32 w = 0, h = 0;
  b->size(w, h);
  if (x < 0 || x >= w || y < 0 || y >= h) raise(ERR_INVALID_ARGUMENT, position(x, y) + QStringLiteral(": (%1, %2)").arg(w).arg(h));
  return *b;
}

void create(Context& cx) {   // dst, w, h, colour
  Args a(cx.state, 4);
  const VMAddr cell = destination(a);
  const TInt32 w = a.integer(1), h = a.integer(2);
  if (w < 0) raise(ERR_INVALID_ARGUMENT, "Width should be non-negative");
  if (h < 0) raise(ERR_INVALID_ARGUMENT, "Height should be non-negative");
  if (w == 0 || h == 0) {
    native::store(cell, drawhandle::newBitmap(cx.heap(), nullptr));
    return a.noResult();
  }
  const VMAddr handle = drawhandle::newBitmap(cx.heap(), BitmapContainer::blank(w, h));
  drawhandle::bitmapOf(handle)->fill(a.word(3));
  native::store(cell, handle);
  a.noResult();
}

void copyRegion(Context& cx) {   // dst, source, x, y, w, h
  Args a(cx.state, 6);
  const VMAddr cell = destination(a);
  BitmapContainer* s = drawhandle::releaseGraphics(handleAt(a.word(1)));
  const TInt32 x = a.integer(2), y = a.integer(3), w = a.integer(4), h = a.integer(5);
  const QString rect = QStringLiteral("Source rectangle (%1, %2, %3, %4) should be inside the bounds of the source bitmap")
                           .arg(x).arg(y).arg(w).arg(h);
  std::unique_ptr<BitmapContainer::Pixels> pixels;
  if (!s) {
    if (x || y || w || h) raise(ERR_INVALID_ARGUMENT, rect + ", the bitmap is empty");
  } else {
    TInt32 W = 0, H = 0;
    s->size(W, H);
    if (x < 0 || y < 0 || w < 0 || h < 0 || static_cast<TInt64>(x) + w > W || static_cast<TInt64>(y) + h > H)
      raise(ERR_INVALID_ARGUMENT, rect + QStringLiteral(": (%1, %2)").arg(W).arg(H));
    if (w != 0 && h != 0) pixels = BitmapContainer::blank(w, h);
  }
  const bool copy = pixels != nullptr;
  const VMAddr handle = drawhandle::newBitmap(cx.heap(), std::move(pixels));
  if (copy) drawhandle::bitmapOf(handle)->copyRegionFrom(*s, x, y, w, h);
  native::store(cell, handle);
  a.noResult();
}

// Stores a loaded handle, or raises "Could not load image".
void storeLoaded(Args& a, VMAddr cell, VMAddr handle) {
  if (!handle) raise(ERR_INVALID_ARGUMENT, "Could not load image");
  native::store(cell, handle);
  a.noResult();
}

void loadFile(Context& cx) {   // dst, name
  Args a(cx.state, 2);
  const VMAddr cell = destination(a);
  const NString name = native::stringAt(a.word(1));
  storeLoaded(a, cell, imageloading::loadFile(cx.host(), cx.heap(), name, false));
}

void loadBytes(Context& cx) {   // dst, bytes
  Args a(cx.state, 2);
  const VMAddr cell = destination(a);
  const vectors::VectorStore v(native::derefCell(a.word(1)), 1);
  if (v.count() == 0) raise(ERR_INVALID_ARGUMENT, "byte[] is empty");
  storeLoaded(a, cell, imageloading::load(cx.heap(), v.at(0), v.count(), 0, -1, false));
}

void loadByteRange(Context& cx) {   // dst, bytes, first, count
  Args a(cx.state, 4);
  const VMAddr cell = destination(a);
  const vectors::VectorStore v(native::derefCell(a.word(1)), 1);
  TInt32 first = a.integer(2), count = a.integer(3);
  native::checkRange(0, v.count(), first, count);
  if (count == 0) raise(ERR_INVALID_ARGUMENT, "size is zero");
  storeLoaded(a, cell, imageloading::load(cx.heap(), v.at(0), v.count(), first, count, false));
}

void copy(Context& cx) {   // dst, source
  Args a(cx.state, 2);
  const VMAddr cell = destination(a);
  BitmapContainer* s = drawhandle::releaseGraphics(handleAt(a.word(1)));
  const VMAddr handle = drawhandle::newBitmap(cx.heap(), s ? BitmapContainer::blank(0, 0) : nullptr);
  if (s) drawhandle::bitmapOf(handle)->assignFrom(*s);
  native::store(cell, handle);
  a.noResult();
}

void getPixel(Context& cx) {   // bitmap, x, y -> colour
  Args a(cx.state, 3);
  const TInt32 x = a.integer(1), y = a.integer(2);
  a.result(pixelTarget(handleAt(a.word(0)), x, y, nullptr).getPixel(x, y));
}

void size(Context& cx) {   // bitmap -> w, h
  Args a(cx.state, 1);
  TInt32 w = 0, h = 0;
  if (BitmapContainer* b = drawhandle::bitmapOf(handleAt(a.word(0)))) b->size(w, h);
  a.result2(static_cast<TUint32>(w), static_cast<TUint32>(h));
}

void setPixel(Context& cx) {   // bitmap, x, y, colour
  Args a(cx.state, 4);
  const TInt32 x = a.integer(1), y = a.integer(2);
  pixelTarget(handleAt(a.word(0)), x, y, "Position is outside the bounds of the bitmap: the bitmap is empty")
      .setPixel(x, y, a.word(3));
  a.noResult();
}

void resize(Context& cx, TInt32 mode) {   // bitmap, w, h
  Args a(cx.state, 3);
  const VMAddr handle = handleAt(a.word(0));
  const TInt32 w = a.integer(1), h = a.integer(2);
  BitmapContainer* old = drawhandle::releaseGraphics(handle);
  if (!old) {
    if (w != 0 && h != 0) {
      const VMAddr b = drawhandle::newBitmapObject(cx.heap(), BitmapContainer::blank(w, h));
      native::objectOf<BitmapContainer>(b).fill(0xFF000000u);
      drawhandle::setBitmap(handle, b);
    }
    return a.noResult();
  }
  if (w == 0 || h == 0) {
    drawhandle::setBitmap(handle, 0);
    return a.noResult();
  }
  TInt32 W = 0, H = 0;
  old->size(W, H);
  if (W != w || H != h) {
    const VMAddr b = drawhandle::newBitmapObject(cx.heap(), BitmapContainer::blank(w, h));
    native::objectOf<BitmapContainer>(b).scaleFrom(*old, mode);
    drawhandle::setBitmap(handle, b);
  }
  a.noResult();
}

void resizeFast(Context& cx) { resize(cx, 0); }
void resizeSmooth(Context& cx) { resize(cx, 10); }

void encode(Context& cx) {   // bitmap, format -> bytes
  Args a(cx.state, 2);
  FrameworkServices& host = cx.host();
  const VMAddr handle = handleAt(a.word(0));
  host.longOperationNotice(false);
  BitmapContainer* b = drawhandle::releaseGraphics(handle);
  static const char* const kFormats[] = {"", "jpg", "png", "gif", "bmp"};
  const TInt32 f = a.integer(1);
  QByteArray bytes;
  if (b) b->save(bytes, QString::fromLatin1(f >= 1 && f <= 4 ? kFormats[f] : ""));
  host.longOperationNotice(true);
  a.result(vectors::newVectorCell(cx.heap(), 1, false, reinterpret_cast<const TUint8*>(bytes.constData()), bytes.size(),
                                  vectors::capacityFor(bytes.size())));
}

const native::Operation kRows[] = {
    {1, "create", create, "dst, w, h, colour ->", "6 \"Width should be non-negative\"; 6 \"Height should be non-negative\"; 6 \"Image too large\"; 11 \"Internal error: drawing needs a GUI application\""},
    {2, "copyRegion", copyRegion, "dst, bitmap, x, y, w, h ->", "6 \"Source rectangle (X, Y, W, H) should be inside the bounds of the source bitmap, the bitmap is empty\"; 6 \"Source rectangle (X, Y, W, H) should be inside the bounds of the source bitmap: (W, H)\"; 10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\"; 11 \"Internal error: drawing needs a GUI application\""},
    {3, "loadFile", loadFile, "dst, str ->", "6 \"Filename is empty\"; 7 \"Could not open file: NAME\"; 6 \"File is empty\"; 7; 6 \"Could not load image\"; 6 \"Image too large\"; 11 \"Internal error: drawing needs a GUI application\""},
    {4, "loadBytes", loadBytes, "dst, bytes ->", "6 \"byte[] is empty\"; 6 \"Could not load image\"; 6 \"Image too large\"; 11 \"Internal error: drawing needs a GUI application\""},
    {5, "loadByteRange", loadByteRange, "dst, bytes, first, count ->", "5 \"Invalid Range, ...\"; 6 \"size is zero\"; 6 \"Could not load image\"; 6 \"Image too large\"; 11 \"Internal error: drawing needs a GUI application\""},
    {6, "copy", copy, "dst, bitmap ->", "10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\"; 11 \"Internal error: drawing needs a GUI application\""},
    {7, "getPixel", getPixel, "bitmap, x, y -> colour", "6 \"Position (X, Y) is outside the bounds of the bitmap, the bitmap is empty\"; 6 \"Position (X, Y) is outside the bounds of the bitmap: (W, H)\"; 10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\""},
    {8, "size", size, "bitmap -> w, h", "10 \"Invalid typeid on bitmap\""},
    {9, "setPixel", setPixel, "bitmap, x, y, colour ->", "6 \"Position is outside the bounds of the bitmap: the bitmap is empty\"; 6 \"Position (X, Y) is outside the bounds of the bitmap: (W, H)\"; 10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\""},
    {10, "resize", resizeFast, "bitmap, w, h ->", "10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\"; 6 \"Image too large\"; 11 \"Internal error: drawing needs a GUI application\""},
    {11, "resizeFast", resizeFast, "bitmap, w, h ->", "10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\"; 6 \"Image too large\"; 11 \"Internal error: drawing needs a GUI application\""},
    {12, "resizeSmooth", resizeSmooth, "bitmap, w, h ->", "10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\"; 6 \"Image too large\"; 11 \"Internal error: drawing needs a GUI application\""},
    {13, "encode", encode, "bitmap, format -> bytes", "10 \"Invalid bitmap handle\"; 10 \"Invalid typeid on bitmap\""},
};

}  // namespace

NATIVE_OPERATIONS(bitmapOperations, kRows);
