#pragma once
// The bitmap interface the natives see. Operations after GCObject's, in
// their fixed order.
#include "GCObject.h"
#include "Types.h"

class QByteArray;
class QString;

GCOBJECT_PACK_BEGIN
class VMBitmap : public GCObject {
 public:
  virtual bool save(QByteArray& out, const QString& format) = 0;
  virtual void scaleFrom(VMBitmap& source, TInt32 mode) = 0;
  virtual void copyRegionFrom(VMBitmap& source, TInt32 x, TInt32 y, TInt32 width, TInt32 height) = 0;
  virtual void fill(TUint32 colour) = 0;
  virtual TUint32 getPixel(TInt32 x, TInt32 y) = 0;
  virtual void setPixel(TInt32 x, TInt32 y, TUint32 colour) = 0;
  virtual void size(TInt32& width, TInt32& height) = 0;
};
GCOBJECT_PACK_END
