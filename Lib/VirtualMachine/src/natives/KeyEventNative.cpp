// KeyEvent group (35): the fields of a host key event.
#include "KeyEvent.h"

#include "NativeHelpers.h"

using native::Args;

namespace Nerim {

TUint32 KeyEvent::newInHeap(VMHeap& heap, TInt32 keyCode, TInt32 scanCode, TInt32 modifiers, const NString& text) {
  return native::newObjectInCell<KeyEvent>(heap, GC_CODE_LEAF, keyCode, scanCode, modifiers, text);
}

}  // namespace Nerim

namespace {

const Nerim::KeyEvent& eventOf(const Args& a) { return native::objectAt<Nerim::KeyEvent>(a.word(0)); }

template <TInt32 (Nerim::KeyEvent::*Field)() const> void field(native::Context& cx) {
  Args a(cx, 1);
  a.result(static_cast<TUint32>((eventOf(a).*Field)()));
}

void text(native::Context& cx) {
  Args a(cx, 1);
  a.result(native::newStringFrom(a.heap(), eventOf(a).text()));
}

const native::Operation kRows[] = {
    {1, "keyCode", field<&Nerim::KeyEvent::keyCode>, "event -> int", "none"},
    {2, "modifiers", field<&Nerim::KeyEvent::modifiers>, "event -> int", "none"},
    {3, "scanCode", field<&Nerim::KeyEvent::scanCode>, "event -> int", "none"},
    {4, "text", text, "event -> str", "none"},
};

}  // namespace

NATIVE_OPERATIONS(keyEventOperations, kRows);
