// InputStream group (23): close, open test and reading bytes of a
// reader's stream.
#include "InputStream.h"
#include "NativeHelpers.h"
#include "StreamHolder.h"
#include "VectorStore.h"

#include <vector>

namespace {

NERIM::InputStream* streamOf(TUint32 reader) {
  StreamHolder* holder = StreamHolder::at(native::derefCell(reader), FILE_READER_TYPE_ID);
  return holder ? StreamHolder::getInputStream(holder) : nullptr;
}

void close(native::Context& cx) {
  native::Args a(cx, 1);
  if (NERIM::InputStream* stream = streamOf(a.word(0))) stream->close();
  a.noResult();
}

void isOpen(native::Context& cx) {
  native::Args a(cx, 1);
  NERIM::InputStream* stream = streamOf(a.word(0));
  a.result(stream && stream->isOpen() ? static_cast<TUint32>(-1) : 0);
}

void read(native::Context& cx) {
  native::Args a(cx, 2);
  const TInt32 count = a.integer(1);
  if (count < 0) raise(ERR_INVALID_ARGUMENT, "The number of bytes should be non-negative");
  NERIM::InputStream* stream = streamOf(a.word(0));
  if (!stream || !stream->isOpen()) raise(ERR_IO, "File is not open");
  // A count past the end fails anyway; refusing it first spares a block of that size.
  if (count > stream->size() - stream->position()) raise(ERR_IO, "");
  std::vector<TUint8> bytes(static_cast<size_t>(count));
  if (count > 0 && !stream->read(bytes.data(), count)) raise(ERR_IO, "");
  const TUint32 cell = vectors::newVectorCell(cx.heap(), 1, false, bytes.data(), count);
  const vectors::VectorStore vec(native::load(cell), 1);
  VM_ASSERT(count == vec.count());
  a.result(cell);
}

const native::Operation kRows[] = {
    {1, "close", close, "reader ->", "10 \"Invalid TYPEID\""},
    {2, "isOpen", isOpen, "reader -> bool", "10 \"Invalid TYPEID\""},
    {3, "read", read, "reader, int -> bytes", "6 \"The number of bytes should be non-negative\"; 7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
};

}  // namespace

NATIVE_OPERATIONS(inputStreamOperations, kRows);
