#pragma once
// Nerim::KeyEvent: what the host knows of one key press or release. The
// host creates it in the heap and passes it through a reference cell.
#include "GCObject.h"
#include "NString.h"
#include "Types.h"

class VMHeap;

namespace Nerim {

GCOBJECT_PACK_BEGIN
class KeyEvent : public GCObject {
 public:
  KeyEvent(TInt32 keyCode, TInt32 scanCode, TInt32 modifiers, const NString& text)
      : iKeyCode(keyCode), iScanCode(scanCode), iModifiers(modifiers), iText(text) {}

  TInt32 keyCode() const { return iKeyCode; }
  TInt32 scanCode() const { return iScanCode; }
  TInt32 modifiers() const { return iModifiers; }
  const NString& text() const { return iText; }

  // A new event (GC_CODE_LEAF, typeId -1) and the cell bytecode receives.
  static TUint32 newInHeap(VMHeap& heap, TInt32 keyCode, TInt32 scanCode, TInt32 modifiers, const NString& text);

 private:
  TInt32 iKeyCode;
  TInt32 iScanCode;
  TInt32 iModifiers;
  NString iText;
};
GCOBJECT_PACK_END

}  // namespace Nerim
