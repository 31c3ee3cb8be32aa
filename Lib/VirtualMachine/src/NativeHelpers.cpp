#include "NativeHelpers.h"

#include "CAppsString.h"
#include "Errors.h"
#include "NString.h"
#include "NVector.h"
#include "ObjectWrapper.h"

#include <QString>
#include <new>

namespace native {

TUint32 deref(TUint32 reference) {
  if (reference == 0) raise(ERR_NULL_POINTER, "NULL pointer");
  return reference;
}

TUint32 derefCell(TUint32 reference) { return load(deref(reference)); }

GCObject* nativeObject(VMAddr object) {
  if (object == 0) raise(ERR_NULL_POINTER, "NULL pointer");
  if (!vmIsObjectStart(object)) raise(ERR_RUNTIME, "Invalid address");
  return vmPtrAs<GCObject>(object);
}

NString& stringAt(TUint32 cell) { return objectOf<NString>(derefCell(cell)); }

TUint32 newString(VMHeap& heap, VMAddr* stringObject) {
  VMAddr object = 0, cell = 0;
  heap.allocateTwo(sizeof(NString), -1, GC_CODE_STRING, 4, 0, GC_CODE_REF_HOLDER, object, cell);
  new (vmPtr(object)) NString();
  store(cell, object);
  if (stringObject) *stringObject = object;
  return cell;
}

TUint32 newStringFrom(VMHeap& heap, const NString& text) {
  VMAddr object = 0;
  const TUint32 cell = newString(heap, &object);
  *vmPtrAs<NString>(object) = text;
  return cell;
}

TUint32 newStringFrom(VMHeap& heap, const QString& text) {
  return newStringFrom(heap, CAppsString::fromQString(text).toNString());
}

TUint32 newRefVector(TInt32 count, VMHeap& heap) {
  typedef NVector<ObjectWrapper<int, 1> > RefVector;
  if (count < 0) raise(ERR_INVALID_ARGUMENT, "Negative vector size");
  VMAddr vector = 0, cell = 0;
  heap.allocateTwo(sizeof(RefVector), -1, GC_CODE_VECTOR, 8, 0, GC_CODE_REF_VECTOR_HOLDER, vector, cell);
  HeapVectorStorage storage(heap);
  new (vmPtr(vector)) RefVector(storage, count);
  store(cell, vector);
  return cell;
}

VMAddr HeapVectorStorage::allocateElements(TInt32 bytes) {
  if (bytes < 0) raise(ERR_INVALID_ARGUMENT, "Negative vector size");
  return iHeap.allocate(static_cast<TUint32>(bytes), 0, GC_CODE_LEAF);
}

void reservedOperation() { raise(ERR_RUNTIME, "Reserved native operation"); }

void reserved(Context&) { reservedOperation(); }
void nothing(Context&) {}

}  // namespace native
