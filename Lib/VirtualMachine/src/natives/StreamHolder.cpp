#include "StreamHolder.h"

#include "Errors.h"
#include "InputStream.h"
#include "NativeHelpers.h"
#include "OutputStream.h"

#include <new>

VMAddr StreamHolder::create(VMHeap& heap, TUint32 typeId, NERIM::Stream* stream) {
  VMAddr block = 0;
  try {
    block = heap.allocate(sizeof(StreamHolder), -1, GC_CODE_STREAM_HOLDER);
  } catch (const ErrorHandlingException&) {
    delete stream;
    throw;
  }
  new (vmPtr(block)) StreamHolder(typeId, stream);
  return block;
}

VMAddr StreamHolder::newReader(VMHeap& heap, NERIM::InputStream* stream) {
  return create(heap, FILE_READER_TYPE_ID, stream);
}

VMAddr StreamHolder::newWriter(VMHeap& heap, NERIM::OutputStream* stream) {
  return create(heap, FILE_WRITER_TYPE_ID, stream);
}

StreamHolder* StreamHolder::at(TUint32 word) { return word ? &native::objectOf<StreamHolder>(word) : nullptr; }

StreamHolder* StreamHolder::at(TUint32 word, TUint32 typeId) {
  StreamHolder* holder = at(word);
  if (holder && holder->TYPEID != typeId) raise(ERR_VM, "Invalid TYPEID");
  return holder;
}

// No assertion here: a destructor must not raise, and TYPEID never changes.
StreamHolder::~StreamHolder() {
  delete stream;
  stream = nullptr;
}
