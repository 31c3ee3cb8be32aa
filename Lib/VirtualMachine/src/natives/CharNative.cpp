// Char group (10): case mapping and classes of one UTF-16 unit.
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"

#include <QChar>

using native::Args;

void charNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1:
    case 2: {   // the first argument is only a place for the result
      Args a(state, 2);
      const uint c = static_cast<TChar>(a.word(1));
      return a.result((op == 1 ? QChar::toLower(c) : QChar::toUpper(c)) & 0xFFFFu);
    }
    // The String group's character operations, with the same results.
    case 3: return stringNative(state, -127);
    case 4: return stringNative(state, -126);
    case 5: return stringNative(state, -125);
    case 6: return stringNative(state, -124);
    case 7: return stringNative(state, -123);
    case 8: {
      Args a(state, 1);
      return a.result(native::newStringFrom(a.heap(), NString::filled(static_cast<TChar>(a.word(0)), 1)));
    }
    case 9: {
      Args a(state, 1);
      return a.result(a.word(0) & 0xFFFFu);
    }
    default: native::unknownOperation("Char: ", op);
  }
}
