#pragma once
// How the collector treats a heap block, every code once. The allocating
// caller picks the code; ALLOC accepts exactly the codes marked `image`.
#include "Types.h"

// GC_CODE_TABLE(X) calls X(number, NAME, image) for every code.
// Codes 4, 9, 10, 11 and 13 mean nothing to the collector (nothing in the
// block is traced) but images may allocate them.
#define GC_CODE_TABLE(X)                                                                        \
  X(0, FREE, false)                /* free block; never allocated with this code */           \
  X(1, CLASS_OBJECT, true)         /* word 0 class index; the class's fields are traced */    \
  X(2, LEAF, true)                                                                              \
  X(3, STRING, true)                                                                            \
  X(4, 4, true)                                                                                 \
  X(5, FONT, true)                                                                              \
  X(6, VECTOR_HOLDER, true)        /* word 0 an NVector, elements are not references */       \
  X(7, REF_VECTOR_HOLDER, true)    /* word 0 an NVector, elements are references */           \
  X(8, VECTOR, false)              /* NVector itself; its buffer lives through a holder */    \
  X(9, 9, true)                                                                                 \
  X(10, 10, true)                                                                               \
  X(11, 11, true)                                                                               \
  X(12, STREAM_HOLDER, true)       /* a reader's or writer's open file (StreamHolder) */      \
  X(13, 13, true)                                                                               \
  X(14, REF_HOLDER, true)          /* one-word reference cell */                              \
  X(15, DATETIME, true)                                                                         \
  X(16, BITMAP_HANDLE, true)       /* word 0 = 1: word 1 traced; = 2: words 1 and 2 */         \
  X(17, HASH, true)                                                                             \
  X(18, TERMINATOR, false)         /* pool start and end markers */

enum GcCode : TUint32 {
#define GC_CODE_ENUM(number, name, image) GC_CODE_##name = number,
  GC_CODE_TABLE(GC_CODE_ENUM)
#undef GC_CODE_ENUM
};

namespace gc_code {

struct Info {
  TUint32 code;
  const char* name;   // without GC_CODE_; a number for the codes without a name
  bool image;         // ALLOC may make a block with this code
};

constexpr Info kTable[] = {
#define GC_CODE_INFO(number, name, image) {number, #name, image},
    GC_CODE_TABLE(GC_CODE_INFO)
#undef GC_CODE_INFO
};
constexpr TUint32 kCount = sizeof(kTable) / sizeof(kTable[0]);

// True for the codes an image may allocate blocks with.
constexpr bool imageMayAllocate(TUint32 code) { return code < kCount && kTable[code].image; }

}  // namespace gc_code
