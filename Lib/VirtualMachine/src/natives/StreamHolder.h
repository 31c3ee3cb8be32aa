#pragma once
// StreamHolder: the heap record of a reader's or writer's open file.
//
// Not the plain two-word leaf of old: a GCObject (typeId -1, gcCode 12,
// still a leaf) whose words after the vtable pointer keep the record's
// order, TYPEID then the stream. Its destructor destroys a stream still
// held, so a holder the collector frees closes its file and the bytes
// written to it reach the disk.
#include "GCObject.h"
#include "Heap.h"
#include "Types.h"

namespace NERIM {
class Stream;
class InputStream;
class OutputStream;
}  // namespace NERIM

constexpr TUint32 FILE_READER_TYPE_ID = 5;
constexpr TUint32 FILE_WRITER_TYPE_ID = 6;

GCOBJECT_PACK_BEGIN
class StreamHolder : public GCObject {
 public:
  // New holders adopting the stream; the result is the holder's address.
  static VMAddr newReader(VMHeap& heap, NERIM::InputStream* stream);
  static VMAddr newWriter(VMHeap& heap, NERIM::OutputStream* stream);
  // The holder at a cell's word: null for 0; a word that is no holder
  // raises code 11 "Invalid address" (objectOf).
  static StreamHolder* at(TUint32 word);
  // As at, and a holder of the other type raises code 10 "Invalid TYPEID".
  static StreamHolder* at(TUint32 word, TUint32 typeId);

  ~StreamHolder() override;

  TUint32 TYPEID;
  NERIM::Stream* stream;

 private:
  StreamHolder(TUint32 typeId, NERIM::Stream* s) : TYPEID(typeId), stream(s) {}
  static VMAddr create(VMHeap& heap, TUint32 typeId, NERIM::Stream* stream);
};
GCOBJECT_PACK_END

static_assert(alignof(StreamHolder) <= 4, "heap blocks are 4-byte aligned");
