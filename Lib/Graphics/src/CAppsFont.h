#pragma once
// The font interface the natives measure with: the native font (the
// installed face at 40 pixels) or an image-strip font.
#include "GCObject.h"
#include "Types.h"

class NString;

GCOBJECT_PACK_BEGIN
class CAppsFont : public GCObject {
 public:
  enum Kind { NATIVE = 0, STRIP = 1 };

  virtual TInt32 ascent() = 0;
  virtual TInt32 height() = 0;
  // Width of the count characters from first (the caller checked the range).
  virtual TInt32 textWidth(const NString& text, TInt32 first, TInt32 count) = 0;
  // How many of those characters, from the first, fit in maxWidth.
  virtual TInt32 fitCount(const NString& text, TInt32 first, TInt32 count, TInt32 maxWidth) = 0;
  virtual TInt32 fontKind() = 0;
};
GCOBJECT_PACK_END
