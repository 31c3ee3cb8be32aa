#include "NativeHelpers.h"

#include "CAppsString.h"
#include "Errors.h"
#include "NString.h"
#include "NVector.h"
#include "ObjectWrapper.h"
#include "StringAlgorithms.h"

#include <QString>
#include <new>
#include <utility>

namespace native {

void rangeError() { raise(ERR_RANGE, ""); }
void invalidArgument() { raise(ERR_INVALID_ARGUMENT, ""); }
void ioError() { raise(ERR_IO, ""); }

namespace {

// The checks of deref and nativeObject, written into the lookups below
// (the exported functions are not inlined into each other).
[[gnu::always_inline]] inline TUint32 checkedReference(TUint32 reference) {
  if (__builtin_expect(reference == 0, 0)) raiseNullPointer();
  return reference;
}

[[gnu::always_inline]] inline GCObject* checkedObject(VMAddr object) {
  if (__builtin_expect(object == 0, 0)) raiseNullPointer();
  if (__builtin_expect(!vmIsObjectStart(object), 0)) raiseInvalidAddress();
  return vmPtrAs<GCObject>(object);
}

// A string object made with its cell, holding text.
template <typename S> TUint32 newStringHolding(VMHeap& heap, S&& text, VMAddr* stringObject = nullptr) {
  VMAddr object = 0, cell = 0;
  heap.allocateTwo(sizeof(NString), -1, GC_CODE_STRING, 4, 0, GC_CODE_REF_HOLDER, object, cell);
  new (vmPtr(object)) NString(std::forward<S>(text));
  store(cell, object);
  if (stringObject) *stringObject = object;
  return cell;
}

}  // namespace

TUint32 deref(TUint32 reference) { return checkedReference(reference); }

TUint32 derefCell(TUint32 reference) { return load(checkedReference(reference)); }

GCObject* nativeObject(VMAddr object) { return checkedObject(object); }

NString& stringAt(TUint32 cell) {
  NString* s = asType<NString>(checkedObject(load(checkedReference(cell))));
  if (!s) raiseInvalidAddress();
  return *s;
}

TUint32 newString(VMHeap& heap, VMAddr* stringObject) { return newStringHolding(heap, NString(), stringObject); }

TUint32 newStringFrom(VMHeap& heap, const NString& text) { return newStringHolding(heap, text); }

TUint32 newStringFrom(VMHeap& heap, NString&& text) { return newStringHolding(heap, std::move(text)); }

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

Range rangeAt(const Args& a, TInt32 i, TInt32 length) {
  Range r;
  r.first = a.integer(i);
  r.count = a.integer(i + 1);
  if (r.first < 0) rangeError();
  r.last = r.toEnd() ? length - 1 : strings::lastOf(r.first, r.count);
  return r;
}

void checkRange(TInt32 base, TInt32 size, TInt32& first, TInt32& count) {
  // 64-bit sums: first + count must not wrap into a valid-looking range.
  const TInt64 end = static_cast<TInt64>(base) + size;
  if (count == 0) {
    if (first < 0) raise(ERR_RANGE, QStringLiteral("Invalid Range, first should be non-negative (first=%1)").arg(first));
    return;
  }
  if (count < 0) {
    if (first < base)
      raise(ERR_RANGE, QStringLiteral("Invalid Range, first should not be less than %1, first = %2").arg(base).arg(first));
    if (first > end)
      raise(ERR_RANGE, QStringLiteral("Invalid Range, first should not be more than %1, first = %2").arg(end).arg(first));
    count = static_cast<TInt32>(end - first);
  }
  // The odd spacing of this message is the one the images were built against.
  if (first < base)
    raise(ERR_RANGE, QStringLiteral("Invalid Range, first should not be less than%1, first =  %2").arg(base).arg(first));
  if (static_cast<TInt64>(first) + count > end)
    raise(ERR_RANGE, QStringLiteral("Invalid Range, range out of bounds: %1 > %2").arg(static_cast<TInt64>(first) + count).arg(end));
}

VMAddr HeapVectorStorage::allocateElements(TInt32 bytes) {
  if (bytes < 0) raise(ERR_INVALID_ARGUMENT, "Negative vector size");
  return iHeap.allocate(static_cast<TUint32>(bytes), 0, GC_CODE_LEAF);
}

void reservedOperation() { raise(ERR_RUNTIME, "Reserved native operation"); }

void reserved(Context&) { reservedOperation(); }

}  // namespace native
