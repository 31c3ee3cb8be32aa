#pragma once
// The drawing handle through which bytecode refers to a surface: a
// three-word heap block (typeId 0, GC_CODE_BITMAP_HANDLE) of kind (1 canvas,
// 2 bitmap), container and bitmap. The block is open to the bytecode, so
// every word is checked when read: the kind, and each address must be a
// live object of the right class.
#include "BitmapContainer.h"
#include "Heap.h"
#include "Types.h"

#include <memory>

class GraphicsContainer;
class QPixmap;

namespace drawhandle {

enum Kind : TUint32 { CANVAS = 1, BITMAP = 2 };

// A kind-1 handle on a new container painting on the host's pixmap; the
// container's address goes to *container.
VMAddr newCanvas(VMHeap& heap, QPixmap* target, VMAddr* container);
// A kind-2 handle on a new bitmap of those pixels (null: an empty handle).
VMAddr newBitmap(VMHeap& heap, std::unique_ptr<BitmapContainer::Pixels> pixels);
// A bitmap object alone (for setBitmap).
VMAddr newBitmapObject(VMHeap& heap, std::unique_ptr<BitmapContainer::Pixels> pixels);

// The kind; code 10 "Invalid object type ID" unless 1 or 2.
TUint32 kindOf(VMAddr handle);
// The handle's container, made on first use for a bitmap; null for an
// empty bitmap handle.
GraphicsContainer* graphicsOf(VMHeap& heap, VMAddr handle);
// Ends and drops a bitmap handle's container (code 10 "Invalid bitmap
// handle" for a canvas), so no painter is active on a pixmap being read.
// Returns the bitmap (null when empty), which callers read next.
BitmapContainer* releaseGraphics(VMAddr handle);
// The bitmap, or null when empty (code 10 "Invalid typeid on bitmap").
BitmapContainer* bitmapOf(VMAddr handle);
void setBitmap(VMAddr handle, VMAddr bitmap);

}  // namespace drawhandle
