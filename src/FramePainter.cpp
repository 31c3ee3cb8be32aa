#include "FramePainter.h"

#include "ClientVM.h"
#include "DrawHandle.h"
#include "GraphicsContainer.h"
#include "NativeHelpers.h"

#include <QPixmap>

namespace {

// Ends the canvas and lets it go, also when the entry raised. The canvas
// and its container are roots during the call, so the collection inside
// the call cannot free them before they are ended here.
struct CanvasScope {
  VMHeap& heap;
  VMAddr handle;
  VMAddr container;
  ~CanvasScope() {
    if (auto* g = dynamic_cast<GraphicsContainer*>(vmPtrAs<GCObject>(container))) g->end();
    heap.removeRoot(container);
    heap.removeRoot(handle);
  }
};

}  // namespace

void paintFrame(QPixmap& pixmap, ClientVM& vm, const QRegion& clip) {
  VMHeap& heap = vm.heap();
  VMAddr container = 0;
  const VMAddr handle = drawhandle::newCanvas(heap, &pixmap, &container);
  if (!clip.isEmpty()) vmPtrAs<GraphicsContainer>(container)->setClip(clip);
  heap.addRoot(handle);
  heap.addRoot(container);
  {
    CanvasScope scope{heap, handle, container};
    vm.callDraw(handle);
  }
  heap.collect();
}
