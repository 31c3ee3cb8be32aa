#pragma once
// Loads an image's bytes into the machine's tables; returns the image index.
// When it refuses the image, fault says what is wrong and where (for the
// host to print beside the fixed message raised); otherwise it is empty.
#include "ImageTables.h"

#include <string>

class VMHeap;

TInt32 loadImage(ImageTables& tables, VMHeap& heap, const Vec<TUint8>& bytes, const CAppsString& name,
                 std::string& fault);
