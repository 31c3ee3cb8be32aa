#pragma once
// Loads an image's bytes into the machine's tables; returns the image index.
#include "ImageTables.h"

class VMHeap;

TInt32 loadImage(ImageTables& tables, VMHeap& heap, const Vec<TUint8>& bytes, const CAppsString& name);
