#pragma once
// Loading pictures for the image: the whole-file reader of bitmap and font
// files and the image loader that turns bytes into a bitmap handle or a
// strip font.
#include "Heap.h"
#include "Types.h"

class FrameworkServices;
class NString;

namespace imageloading {

// The image loader over bytes[first, first + count) of an array of
// `length` bytes (count -1: to the end): a new kind-2 handle, or a new
// strip font object when `font`; 0 for an empty or bad range or bytes that
// do not decode. Code 6 for a picture past the size or memory limits.
VMAddr load(VMHeap& heap, const TUint8* bytes, TInt32 length, TInt32 first, TInt32 count, bool font);

// Reads the named application file whole and loads it: code 6 "Filename is
// empty", code 7 "Could not open file: " and the name, code 6 "File is
// empty", code 7 for a failed read; 0 when it does not decode.
VMAddr loadFile(FrameworkServices& host, VMHeap& heap, const NString& name, bool font);

}  // namespace imageloading
