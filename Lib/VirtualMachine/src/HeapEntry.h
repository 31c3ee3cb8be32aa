#pragma once
// Block layout of the VM heap: a 24-byte header, `size` data bytes and a
// 4-byte footer holding the whole block length (size + 28).
#include "GCObject.h"
#include "GcCode.h"
#include "Types.h"
#include "VMArena.h"

struct HeapEntry {
  TUint32 usedSize;               // requested bytes rounded to 4; 0 when free
  TUint32 size;                   // data bytes, a multiple of 4
  TInt32 typeId;                  // -1: a GCObject lives in the data; 0: plain data; free: next in its list
  TUint32 marked;                 // 1 while reached by the current mark phase
  TUint32 gcCode;                 // GcCode
  TUint32 freeHeapEntryIterator;  // free: previous in its list (never 0); 0 when not free
};
static_assert(sizeof(HeapEntry) == 24, "header is six 32-bit words");

constexpr TUint32 kHeaderSize = 24;
constexpr TUint32 kFooterSize = 4;
constexpr TUint32 kBlockOverhead = kHeaderSize + kFooterSize;
// Start terminator (header + footer) plus end terminator (header), plus the
// free entry's header and footer: a pool of capacity C takes C + 80 bytes.
constexpr TUint32 kPoolOverhead = 2 * kBlockOverhead + kHeaderSize;

// NVector layout as the collector reads it: a packed GCObject (vptr first)
// followed by data (VMAddr of the element block), capacity and count.
constexpr TUint32 kNVectorDataOffset = sizeof(void*);
constexpr TUint32 kNVectorCountOffset = sizeof(void*) + 8;
constexpr TUint32 kNVectorSize = sizeof(void*) + 12;

inline HeapEntry* heapEntry(VMAddr header) { return vmPtrAs<HeapEntry>(header); }
inline TUint32& heapWord(VMAddr a) { return *vmPtrAs<TUint32>(a); }
inline VMAddr nextBlockOf(VMAddr header) { return header + heapEntry(header)->size + kBlockOverhead; }
inline VMAddr footerOf(VMAddr header) { return header + kHeaderSize + heapEntry(header)->size; }
