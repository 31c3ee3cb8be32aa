#include "LocationWrapper.h"

#include "DateTime.h"
#include "Heap.h"
#include "VMCallbacks.h"

#include <QString>
#include <new>

namespace {
MPositionSource* gSource = nullptr;
}

MPositionSource* positionSource() { return gSource; }
void setPositionSource(MPositionSource* source) { gSource = source; }

CLocationWrapper::CLocationWrapper(MVMCallbackInterface* callback, FrameworkServices* host)
    : BuiltIn(*ext::extensionInfo(ext::ID_Location), host), iCallback(callback) {
  if (!iCallback) return;
  iEventHandle = iCallback->resolveMethod(QStringLiteral("<locationobserver>.handle location event<location>"), -1);
  iErrorHandle = iCallback->resolveMethod(QStringLiteral("<locationobserver>.handle location error<locationerror>"), -1);
}

CLocationWrapper::~CLocationWrapper() {
  if (iStarted && gSource) gSource->stop(*this);
}

void CLocationWrapper::positionUpdated(TInt64& first, TInt64& second, TInt64& third, TInt64& fourth,
                                       const Nerim::DateTime& timeStamp, TInt32 extra, TInt32 context) {
  if (!iCallback) return;
  VMHeap& heap = iCallback->heap();
  const VMAddr stamp = heap.allocate(sizeof(Nerim::DateTime), -1, GC_CODE_DATETIME);
  new (vmPtr(stamp)) Nerim::DateTime(timeStamp);
  // The report's first value is read by opcode 13 (the second coordinate),
  // its second by opcode 12 (the first).
  const VMAddr object = heap.allocate(sizeof(CLocation), -1, GC_CODE_LEAF);
  CLocation* location = new (vmPtr(object)) CLocation(NFixed(second), NFixed(first), NFixed(third), stamp);
  location->iFourth = fourth;
  location->iExtra = extra;
  Vec<int> values, levels;
  values.append(context);
  values.append(static_cast<int>(object));
  levels.append(1);
  levels.append(0);
  iCallback->callMethod(iEventHandle, values, levels, 1);
}

void CLocationWrapper::positionError(TInt32 first, TInt32 second) {
  if (!iCallback) return;
  Vec<int> values, levels;
  values.append(second);
  values.append(first);
  levels.append(1);
  levels.append(0);
  iCallback->callMethod(iErrorHandle, values, levels, 1);
}
