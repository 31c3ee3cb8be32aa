#include "FontCreation.h"

#include "Errors.h"
#include "ImageLoading.h"
#include "NativeFont.h"
#include "NativeHelpers.h"
#include "VectorStore.h"

namespace fontcreation {

namespace {

// A cell holding the font; the font is freed if the cell cannot be made.
VMAddr inCell(VMHeap& heap, VMAddr font) {
  if (!font) raise(ERR_INVALID_ARGUMENT, "");
  VMAddr cell = 0;
  try {
    cell = native::newCell(heap, 1, GC_CODE_REF_HOLDER);
  } catch (...) {
    heap.freeObject(font);
    throw;
  }
  native::store(cell, font);
  return cell;
}

}  // namespace

VMAddr nativeFont(VMHeap& heap, TInt32 sizeIndex) {
  NativeFont::checkSize(sizeIndex);
  return native::newObjectInCell<NativeFont>(heap, GC_CODE_FONT);
}

VMAddr stripFontFromFile(FrameworkServices& host, VMHeap& heap, const NString& name) {
  return inCell(heap, imageloading::loadFile(host, heap, name, true));
}

VMAddr stripFontFromBytes(VMHeap& heap, VMAddr vector) {
  const vectors::VectorStore v(vector, 1);
  if (v.count() == 0) raise(ERR_INVALID_ARGUMENT, "byte[] is empty");
  return inCell(heap, imageloading::load(heap, v.at(0), v.count(), 0, -1, true));
}

}  // namespace fontcreation
