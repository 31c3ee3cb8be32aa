#include "DrawHandle.h"

#include "Errors.h"
#include "GraphicsContainer.h"
#include "NativeHelpers.h"

#include <new>

namespace drawhandle {

namespace {

const TUint32 kHandleBytes = 12;

TUint32 word(VMAddr handle, TUint32 i) { return native::load(handle + 4 * i); }
void setWord(VMAddr handle, TUint32 i, TUint32 v) { native::store(handle + 4 * i, v); }

void requireKind(VMAddr handle, TUint32 kind, const char* message) {
  if (word(handle, 0) != kind) raise(ERR_VM, message);
}

VMAddr newHandle(VMHeap& heap, TUint32 kind, VMAddr container, VMAddr bitmap) {
  const VMAddr h = heap.allocate(kHandleBytes, 0, GC_CODE_BITMAP_HANDLE);
  setWord(h, 0, kind);
  setWord(h, 1, container);
  setWord(h, 2, bitmap);
  return h;
}

}  // namespace

VMAddr newCanvas(VMHeap& heap, QPixmap* target, VMAddr* container) {
  GraphicsContainer::PaintingPtr painting = GraphicsContainer::onPixmap(target);
  VMAddr object = 0, handle = 0;
  heap.allocateTwo(sizeof(GraphicsContainer), -1, GC_CODE_LEAF, kHandleBytes, 0, GC_CODE_BITMAP_HANDLE, object,
                   handle);
  new (vmPtr(object)) GraphicsContainer(std::move(painting));
  setWord(handle, 0, CANVAS);
  setWord(handle, 1, object);
  setWord(handle, 2, 0);
  *container = object;
  return handle;
}

VMAddr newBitmap(VMHeap& heap, std::unique_ptr<BitmapContainer::Pixels> pixels) {
  if (!pixels) return newHandle(heap, BITMAP, 0, 0);
  VMAddr object = 0, handle = 0;
  heap.allocateTwo(sizeof(BitmapContainer), -1, GC_CODE_LEAF, kHandleBytes, 0, GC_CODE_BITMAP_HANDLE, object,
                   handle);
  new (vmPtr(object)) BitmapContainer(std::move(pixels));
  setWord(handle, 0, BITMAP);
  setWord(handle, 1, 0);
  setWord(handle, 2, object);
  return handle;
}

VMAddr newBitmapObject(VMHeap& heap, std::unique_ptr<BitmapContainer::Pixels> pixels) {
  const VMAddr object = heap.allocate(sizeof(BitmapContainer), -1, GC_CODE_LEAF);
  new (vmPtr(object)) BitmapContainer(std::move(pixels));
  return object;
}

TUint32 kindOf(VMAddr handle) {
  const TUint32 kind = word(handle, 0);
  if (kind != CANVAS && kind != BITMAP) raise(ERR_VM, "Invalid object type ID");
  return kind;
}

GraphicsContainer* graphicsOf(VMHeap& heap, VMAddr handle) {
  const TUint32 kind = kindOf(handle);
  if (const VMAddr g = word(handle, 1)) return &native::objectOf<GraphicsContainer>(g);
  if (kind == CANVAS) return nullptr;
  BitmapContainer* bitmap = bitmapOf(handle);
  if (!bitmap) return nullptr;
  GraphicsContainer::PaintingPtr painting = GraphicsContainer::onBitmap(*bitmap);
  const VMAddr object = heap.allocate(sizeof(GraphicsContainer), -1, GC_CODE_LEAF);
  GraphicsContainer* g = new (vmPtr(object)) GraphicsContainer(std::move(painting));
  setWord(handle, 1, object);
  return g;
}

namespace {

BitmapContainer* bitmapIn(VMAddr handle) {
  const VMAddr b = word(handle, 2);
  return b ? &native::objectOf<BitmapContainer>(b) : nullptr;
}

}  // namespace

BitmapContainer* releaseGraphics(VMAddr handle) {
  requireKind(handle, BITMAP, "Invalid bitmap handle");
  if (const VMAddr g = word(handle, 1)) {
    native::objectOf<GraphicsContainer>(g).end();
    setWord(handle, 1, 0);
  }
  return bitmapIn(handle);
}

BitmapContainer* bitmapOf(VMAddr handle) {
  requireKind(handle, BITMAP, "Invalid typeid on bitmap");
  return bitmapIn(handle);
}

void setBitmap(VMAddr handle, VMAddr bitmap) {
  if (word(handle, 0) != BITMAP) raise(ERR_VM, "");
  setWord(handle, 2, bitmap);
}

}  // namespace drawhandle
