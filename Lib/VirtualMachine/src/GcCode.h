#pragma once
// How the collector treats a heap block. The allocating caller picks the code.
#include "Types.h"

enum GcCode : TUint32 {
  GC_CODE_FREE = 0,                // free block; never allocated with this code
  GC_CODE_CLASS_OBJECT = 1,        // word 0 class index; the class's fields are traced
  GC_CODE_LEAF = 2,
  GC_CODE_STRING = 3,
  GC_CODE_FONT = 5,
  GC_CODE_VECTOR_HOLDER = 6,       // word 0 an NVector, elements are not references
  GC_CODE_REF_VECTOR_HOLDER = 7,   // word 0 an NVector, elements are references
  GC_CODE_VECTOR = 8,              // NVector itself; its buffer lives through a holder
  GC_CODE_REF_HOLDER = 14,         // one-word reference cell
  GC_CODE_DATETIME = 15,
  GC_CODE_BITMAP_HANDLE = 16,      // word 0 = 1: word 1 traced; = 2: words 1 and 2
  GC_CODE_HASH = 17,
  GC_CODE_TERMINATOR = 18,         // pool start and end markers
};
