// OutputStream group (21): close, open test and writing bytes to a
// writer's stream.
#include "FileStreamQueries.h"
#include "OutputStream.h"
#include "VectorStore.h"

using file_stream::fileIn;
using NERIM::OutputStream;

namespace {

void write(OutputStream& stream, const vectors::VectorStore& bytes, TInt32 first, TInt32 count) {
  if (count > 0 && !stream.write(bytes.at(first), count)) raise(ERR_IO, "");
}

void writeAll(native::Context& cx) {
  native::Args a(cx, 2);
  OutputStream& stream = fileIn<OutputStream>(a.word(0));
  const vectors::VectorStore bytes(native::derefCell(a.word(1)), 1);
  write(stream, bytes, 0, bytes.count());
  a.noResult();
}

void writeRange(native::Context& cx) {
  native::Args a(cx, 4);
  OutputStream& stream = fileIn<OutputStream>(a.word(0));
  TInt32 first = a.integer(1);
  TInt32 count = a.integer(2);
  const vectors::VectorStore bytes(native::derefCell(a.word(3)), 1);
  native::checkRange(0, bytes.count(), first, count);
  if (!stream.isOpen()) file_stream::notOpen();
  write(stream, bytes, first, count);
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "close", file_stream::close<OutputStream>, "writer ->", "10 \"Invalid TYPEID\""},
    {2, "isOpen", file_stream::isOpen<OutputStream>, "writer -> bool", "10 \"Invalid TYPEID\""},
    {3, "write", writeAll, "writer, bytes ->", "7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
    {4, "writeRange", writeRange, "writer, range, bytes ->", "5 \"Invalid Range, ...\"; 7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
};

}  // namespace

NATIVE_OPERATIONS(outputStreamOperations, kRows);
