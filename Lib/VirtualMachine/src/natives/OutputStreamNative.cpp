// OutputStream group (21): close, open test and writing bytes to a
// writer's stream.
#include "NativeHelpers.h"
#include "OutputStream.h"
#include "StreamHolder.h"
#include "VectorStore.h"

namespace {

StreamHolder* holderOf(TUint32 writer) {
  return StreamHolder::at(native::derefCell(writer), FILE_WRITER_TYPE_ID);
}

// Null while no file was opened.
NERIM::OutputStream* streamOf(TUint32 writer) {
  StreamHolder* holder = holderOf(writer);
  return holder ? StreamHolder::getOutputStream(holder) : nullptr;
}

StreamHolder& openedHolder(TUint32 writer) {
  StreamHolder* holder = holderOf(writer);
  if (!holder) raise(ERR_IO, "File is not open");
  return *holder;
}

void write(NERIM::OutputStream* stream, const vectors::VectorStore& bytes, TInt32 first, TInt32 count) {
  if (count == 0) return;
  if (!stream || !stream->write(bytes.at(first), count)) raise(ERR_IO, "");
}

void close(native::Context& cx) {
  native::Args a(cx, 1);
  if (NERIM::OutputStream* stream = streamOf(a.word(0))) stream->close();
  a.noResult();
}

void isOpen(native::Context& cx) {
  native::Args a(cx, 1);
  NERIM::OutputStream* stream = streamOf(a.word(0));
  a.result(stream && stream->isOpen() ? static_cast<TUint32>(-1) : 0);
}

void writeAll(native::Context& cx) {
  native::Args a(cx, 2);
  StreamHolder& holder = openedHolder(a.word(0));
  const vectors::VectorStore bytes(native::derefCell(a.word(1)), 1);
  write(StreamHolder::getOutputStream(&holder), bytes, 0, bytes.count());
  a.noResult();
}

void writeRange(native::Context& cx) {
  native::Args a(cx, 4);
  StreamHolder& holder = openedHolder(a.word(0));
  TInt32 first = a.integer(1);
  TInt32 count = a.integer(2);
  const vectors::VectorStore bytes(native::derefCell(a.word(3)), 1);
  native::checkRange(0, bytes.count(), first, count);
  NERIM::OutputStream* stream = StreamHolder::getOutputStream(&holder);
  if (!stream || !stream->isOpen()) raise(ERR_IO, "File is not open");
  write(stream, bytes, first, count);
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "close", close, "writer ->", "10 \"Invalid TYPEID\""},
    {2, "isOpen", isOpen, "writer -> bool", "10 \"Invalid TYPEID\""},
    {3, "write", writeAll, "writer, bytes ->", "7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
    {4, "writeRange", writeRange, "writer, range, bytes ->", "5 \"Invalid Range, ...\"; 7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
};

}  // namespace

NATIVE_OPERATIONS(outputStreamOperations, kRows);
