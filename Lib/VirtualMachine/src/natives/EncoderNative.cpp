// Encoder group (28): UTF-8 conversion between strings and byte vectors.
#include "Errors.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "Vec.h"
#include "VectorStore.h"

void encoderNative(VMState& state, TInt32 op, VMHeap& heap) {
  switch (op) {
    case 1: {   // string -> new byte vector
      native::Args args(state, 1);
      Vec<TUint8> bytes;
      native::stringAt(args.word(0)).toUtf8(bytes);
      const TInt32 n = bytes.size();
      // The bytes are appended one by one: the vector ends at that capacity.
      args.result(vectors::newVectorCell(heap, 1, false, bytes.data(), n, vectors::capacityAfterAppends(n)));
      return;
    }
    case 2: {   // byte vector -> new string
      native::Args args(state, 1);
      const vectors::VectorStore v(native::derefCell(args.word(0)), 1);
      const NString text = v.count() ? NString::fromUtf8(v.at(0), v.count()) : NString();
      args.result(native::newStringFrom(heap, text));
      return;
    }
    default: native::unknownOperation("Encoder: ", op);
  }
}
