#pragma once
// Operations the host and the natives use to call back into the machine.
#include "Types.h"
#include "Vec.h"

class VMHeap;
class QString;

class MVMCallbackInterface {
 public:
  virtual ~MVMCallbackInterface() {}
  virtual TInt32 resolveMethod(const QString& name, TInt32 image) = 0;
  virtual TInt32 callMethod(TInt32 handle, const Vec<int>& values, const Vec<int>& levels,
                            TInt32 resultLevel) = 0;
  virtual VMHeap& heap() = 0;
};
