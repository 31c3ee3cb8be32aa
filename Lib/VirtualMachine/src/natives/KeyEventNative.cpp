// KeyEvent group (35): the fields of a host key event.
#include "KeyEvent.h"

#include "NativeHelpers.h"
#include "NativeGroups.h"

#include <new>

using native::Args;

namespace Nerim {

TUint32 KeyEvent::newInHeap(VMHeap& heap, TInt32 keyCode, TInt32 scanCode, TInt32 modifiers, const NString& text) {
  VMAddr object = 0, cell = 0;
  heap.allocateTwo(sizeof(KeyEvent), -1, GC_CODE_LEAF, 4, 0, GC_CODE_REF_HOLDER, object, cell);
  new (vmPtr(object)) KeyEvent(keyCode, scanCode, modifiers, text);
  native::store(cell, object);
  return cell;
}

}  // namespace Nerim

void keyEventNative(VMState& state, TInt32 op) {
  if (op < 1 || op > 4) native::unknownOperation("KeyEvent: ", op);
  Args a(state, 1);
  const Nerim::KeyEvent& e = native::objectAt<Nerim::KeyEvent>(a.word(0));
  switch (op) {
    case 1: return a.result(static_cast<TUint32>(e.keyCode()));
    case 2: return a.result(static_cast<TUint32>(e.modifiers()));
    case 3: return a.result(static_cast<TUint32>(e.scanCode()));
    default: return a.result(native::newStringFrom(a.heap(), e.text()));
  }
}
