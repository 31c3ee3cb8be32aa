#pragma once
// The heap objects of the location extension: a location value and a
// position request. Both are GCObjects held in word 1 of a bytecode object.
#include "GCObject.h"
#include "NFixed.h"
#include "Vec.h"

class CLocationWrapper;

GCOBJECT_PACK_BEGIN
// Coordinates are raw NFixed bits: a heap block is only 4-byte aligned, and
// NFixed itself asks for 8.
class CLocation : public GCObject {
 public:
  CLocation(NFixed first, NFixed second, NFixed third, VMAddr timeStamp)
      : iSecond(second.raw), iFirst(first.raw), iThird(third.raw), iTimeStamp(timeStamp) {}
  void addReferences(Vec<int>& out) override {
    if (iTimeStamp) out.append(static_cast<int>(iTimeStamp));
  }

  TInt64 iSecond;
  TInt64 iFirst;
  TInt64 iThird;
  TInt64 iFourth = 0;
  VMAddr iTimeStamp;   // a Nerim::DateTime in the heap
  TInt32 iExtra = 0;
};

class CLocationPositionRequestorGCObject : public GCObject {
 public:
  CLocationPositionRequestorGCObject(TInt32 a, TInt32 interval, TInt32 b, CLocationWrapper* extension)
      : iA(a), iInterval(interval), iB(b), iExtension(extension) {}

  TInt32 iA;
  TInt32 iInterval;   // milliseconds
  TInt32 iB;
  CLocationWrapper* iExtension;
};
GCOBJECT_PACK_END
