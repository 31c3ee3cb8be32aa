#pragma once
// The XML extension called directly on a bare machine state, without an
// image: for the fuzz target and for tests that collect between calls.
#include "ExtensionTable.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "VMArena.h"
#include "VMState.h"

#include <initializer_list>
#include <memory>

class XmlCalls {
 public:
  XmlCalls() : iState(nullptr, VMHeap::kDefaultPoolSize, iRefs, iVecs, iFlags) {
    iState.stack = vmPtrAs<TUint32>(VMArena::commit(kStackSlots * 4));
    iXml.reset(ext::createXMLParser(nullptr, nullptr));
  }
  ~XmlCalls() { iState.heap.sweep(); }

  // The extension's answer to op on the arguments (the top afterwards).
  TUint32 call(TInt32 op, std::initializer_list<TUint32> args) {
    iState.sp = -1;
    for (TUint32 w : args) iState.stack[++iState.sp] = w;
    iXml->invoke(iState, op);
    return iState.sp >= 0 ? iState.stack[iState.sp] : 0;
  }
  // A bytecode object whose word 1 holds the native object.
  TUint32 holder(TUint32 native) {
    const VMAddr h = iState.heap.allocate(8, 0, GC_CODE_CLASS_OBJECT);
    native::store(h + 4, native);
    return h;
  }
  TUint32 text(const char* s) { return native::newStringFrom(iState.heap, NString(s)); }
  VMHeap& heap() { return iState.heap; }

 private:
  Vec<Vec<int>> iRefs, iVecs;
  Vec<Vec<char>> iFlags;
  VMState iState;
  std::unique_ptr<NERIM::Extension> iXml;
};
