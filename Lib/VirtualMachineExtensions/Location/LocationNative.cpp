// Location extension (27): location values and position requests for
// bytecode. Object arguments are bytecode objects whose word 1 holds the
// native object; an NFixed takes two slots; a date-time is a cell holding
// the date-time object.
#include "DateTime.h"
#include "Errors.h"
#include "NativeFixed.h"
#include "LocationWrapper.h"
#include "NativeField.h"

#include <new>

using native::Args;

namespace {

CLocation& locationAt(Args& a, TInt32 i) { return ext::nativeIn<CLocation>(a.word(i)); }
CLocationPositionRequestorGCObject& requestorAt(Args& a, TInt32 i) {
  return ext::nativeIn<CLocationPositionRequestorGCObject>(a.word(i));
}
// The date-time object a cell argument holds (checked to be one).
VMAddr dateTimeAt(Args& a, TInt32 i) {
  const VMAddr object = native::derefCell(a.word(i));
  native::objectOf<Nerim::DateTime>(object);
  return object;
}

void pushFixed(VMState& s, NFixed v) {
  native::pushResult(s, v.low());
  native::pushResult(s, v.high());
}

// ---- requests -------------------------------------------------------------

void createRequestor(native::Context& cx) {   // object, a, b, seconds
  Args a(cx.state, 4);
  const VMAddr field = ext::nativeField(a.word(0));
  // Seconds to milliseconds, wrapping as 32-bit arithmetic does.
  const TInt32 interval = static_cast<TInt32>(static_cast<TUint32>(a.integer(3)) * 1000u);
  const VMAddr object = a.heap().allocate(sizeof(CLocationPositionRequestorGCObject), -1, GC_CODE_LEAF);
  new (vmPtr(object)) CLocationPositionRequestorGCObject(a.integer(1), interval, a.integer(2),
                                                         &ext::self<CLocationWrapper>(cx));
  native::store(field, object);
  a.noResult();
}

void setInterval(native::Context& cx) {
  Args a(cx.state, 2);
  requestorAt(a, 0).iInterval = a.integer(1);
  a.noResult();
}

void setB(native::Context& cx) {
  Args a(cx.state, 2);
  requestorAt(a, 0).iB = a.integer(1);
  a.noResult();
}

void start(native::Context& cx) {
  Args a(cx.state, 1);
  CLocationPositionRequestorGCObject& r = requestorAt(a, 0);
  if (MPositionSource* source = positionSource()) {
    r.iExtension->started();
    source->start(*r.iExtension, r.iA, r.iB, r.iInterval);
  }
  a.noResult();
}

void stop(native::Context& cx) {
  Args a(cx.state, 1);
  CLocationPositionRequestorGCObject& r = requestorAt(a, 0);
  if (MPositionSource* source = positionSource()) source->stop(*r.iExtension);
  a.noResult();
}

// ---- locations ------------------------------------------------------------

void createLocation(native::Context& cx) {   // object, first, second, third, date-time
  Args a(cx.state, 8);
  const VMAddr field = ext::nativeField(a.word(0));
  const VMAddr stamp = dateTimeAt(a, 7);
  const VMAddr object = a.heap().allocate(sizeof(CLocation), -1, GC_CODE_LEAF);
  new (vmPtr(object)) CLocation(native::fixedAt(a, 1), native::fixedAt(a, 3), native::fixedAt(a, 5), stamp);
  native::store(field, object);
  a.noResult();
}

void setTimeStamp(native::Context& cx) {
  Args a(cx.state, 2);
  CLocation& l = locationAt(a, 0);
  l.iTimeStamp = dateTimeAt(a, 1);
  a.noResult();
}

void setCoordinates(native::Context& cx) {   // location, first, second, third
  Args a(cx.state, 7);
  CLocation& l = locationAt(a, 0);
  l.iFirst = native::fixedAt(a, 1).raw;
  l.iSecond = native::fixedAt(a, 3).raw;
  l.iThird = native::fixedAt(a, 5).raw;
  a.noResult();
}

void ignoreTwoFixed(native::Context& cx) {   // location, two NFixed: accepted, nothing kept
  Args a(cx.state, 5);
  locationAt(a, 0);
  a.noResult();
}

void extra(native::Context& cx) {
  Args a(cx.state, 1);
  a.result(static_cast<TUint32>(locationAt(a, 0).iExtra));
}

void timeStamp(native::Context& cx) {
  Args a(cx.state, 1);
  const CLocation& l = locationAt(a, 0);
  const Nerim::DateTime& stamp = native::objectOf<Nerim::DateTime>(l.iTimeStamp);
  const VMAddr cell = a.heap().allocateWords(1, GC_CODE_REF_HOLDER);
  const VMAddr copy = a.heap().allocate(sizeof(Nerim::DateTime), -1, GC_CODE_DATETIME);
  new (vmPtr(copy)) Nerim::DateTime(stamp);
  native::store(cell, copy);
  a.result(cell);
}

// Opcodes 11, 12, 13. The members are named, not reached through a member
// pointer, which would lose their packed alignment.
void coordinate(native::Context& cx) {   // the location stays
  Args a(cx.state, 1);
  const CLocation& l = locationAt(a, 0);
  pushFixed(cx.state, NFixed(cx.op == 11 ? l.iThird : cx.op == 12 ? l.iFirst : l.iSecond));
}

void zeroBetween(native::Context& cx) {   // location, location
  Args a(cx.state, 2);
  locationAt(a, 0);
  locationAt(a, 1);
  native::fixedResult(a, NFixed());
}

void fourthOfSecond(native::Context& cx) {   // location, location
  Args a(cx.state, 2);
  locationAt(a, 0);
  native::fixedResult(a, NFixed(locationAt(a, 1).iFourth));
}

const native::Operation kRows[] = {
#define EXTENSION_OPERATION EXTENSION_ROW
#include "Location.def"
#undef EXTENSION_OPERATION
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kLocationOperations, kRows);

NERIM::Extension* createLocation(MVMCallbackInterface* callback, FrameworkServices* host) {
  return new CLocationWrapper(callback, host);
}

}  // namespace ext
