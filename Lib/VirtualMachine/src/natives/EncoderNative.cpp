// Encoder group (28): UTF-8 conversion between strings and byte vectors.
#include "NString.h"
#include "NativeHelpers.h"
#include "Vec.h"
#include "VectorStore.h"

namespace {

void toUtf8(native::Context& cx) {
  native::Args a(cx, 1);
  Vec<TUint8> bytes;
  native::stringAt(a.word(0)).toUtf8(bytes);
  const TInt32 n = bytes.size();
  // The bytes are appended one by one: the vector ends at that capacity.
  a.result(vectors::newVectorCell(cx.heap(), 1, false, bytes.data(), n, vectors::capacityAfterAppends(n)));
}

void fromUtf8(native::Context& cx) {
  native::Args a(cx, 1);
  const vectors::VectorStore v(native::derefCell(a.word(0)), 1);
  const NString text = v.count() ? NString::fromUtf8(v.at(0), v.count()) : NString();
  a.result(native::newStringFrom(cx.heap(), text));
}

const native::Operation kRows[] = {
    {1, "toUtf8", toUtf8, "str -> bytes", "none"},
    {2, "fromUtf8", fromUtf8, "bytes -> str", "4"},
};

}  // namespace

NATIVE_OPERATIONS(encoderOperations, kRows);
