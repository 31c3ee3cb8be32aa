#pragma once
// Base of every native object that lives in the VM heap.
//
// Heap blocks are only 4-byte aligned, so every GCObject class is declared
// inside GCOBJECT_PACK_BEGIN/END: its alignment becomes 4 and placement-new
// into a heap block is well-defined. Such classes hold scalars and raw host
// pointers only; anything with stricter alignment (Qt values) lives in a
// host-side allocation that the object owns.
#include "Types.h"

#define GCOBJECT_PACK_BEGIN _Pragma("pack(push, 4)")
#define GCOBJECT_PACK_END _Pragma("pack(pop)")

template <typename T> class Vec;

GCOBJECT_PACK_BEGIN
class GCObject {
 public:
  virtual ~GCObject() {}
  // Appends the VM address of every non-null heap object this one holds.
  virtual void addReferences(Vec<int>& out) { (void)out; }
  // Bytes this object holds outside the heap.
  virtual int getContentSize() const { return 0; }
};
GCOBJECT_PACK_END
