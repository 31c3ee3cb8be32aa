#pragma once
// Making fonts for the System group: each returns a new one-word cell
// (GC_CODE_REF_HOLDER) whose word is the new font (GC_CODE_FONT).
#include "Heap.h"
#include "Types.h"

class FrameworkServices;
class NString;

namespace fontcreation {

// The native font; size indexes above 2 raise code 6 "Unknown font size".
VMAddr nativeFont(VMHeap& heap, TInt32 sizeIndex);
// A strip font from an application file; code 6 without detail when it
// does not decode (and the file reader's codes).
VMAddr stripFontFromFile(FrameworkServices& host, VMHeap& heap, const NString& name);
// A strip font from a byte vector value; code 6 "byte[] is empty", code 6
// without detail when it does not decode.
VMAddr stripFontFromBytes(VMHeap& heap, VMAddr vector);

}  // namespace fontcreation
