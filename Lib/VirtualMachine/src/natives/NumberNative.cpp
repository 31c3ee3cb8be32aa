// Number group (27): absolute values of bytes and integers, radix text.
#include "NativeHelpers.h"
#include "SharedHandlers.h"

using native::Args;

namespace {

void byteAbs(native::Context& cx) {
  Args a(cx, 1);
  const TInt32 b = static_cast<TInt8>(a.word(0));
  if (b >= 0) return a.result(a.word(0));   // the slot as it was, high bits included
  a.result(static_cast<TUint32>(-b));
}

void intAbs(native::Context& cx) {
  Args a(cx, 1);
  const TInt32 v = a.integer(0);
  if (v == static_cast<TInt32>(0x80000000u)) return a.result(0x7FFFFFFFu);
  a.result(static_cast<TUint32>(v < 0 ? -v : v));
}

const native::Operation kRows[] = {
    {1, "byteAbs", byteAbs, "b -> int", "none"},
    {2, "abs", intAbs, "int -> int", "none"},
    {3, "radixText", native::radixText, "value, radix -> str", "none"},
};

}  // namespace

NATIVE_OPERATIONS(numberOperations, kRows);
