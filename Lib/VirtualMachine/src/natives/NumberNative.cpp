// Number group (27): absolute values of bytes and integers, radix text.
#include "NativeGroups.h"
#include "NativeHelpers.h"

using native::Args;

void numberNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: {
      Args a(state, 1);
      const TInt32 b = static_cast<TInt8>(a.word(0));
      if (b >= 0) return a.result(a.word(0));   // the slot as it was, high bits included
      return a.result(static_cast<TUint32>(-b));
    }
    case 2: {
      Args a(state, 1);
      const TInt32 v = a.integer(0);
      if (v == static_cast<TInt32>(0x80000000u)) return a.result(0x7FFFFFFFu);
      return a.result(static_cast<TUint32>(v < 0 ? -v : v));
    }
    case 3: return stringNative(state, -121);   // the String group's unsigned radix text
    default: native::unknownOperation("Number: ", op);
  }
}
