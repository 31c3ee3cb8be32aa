// FileWriter group (22): open a file for writing (appending or emptied),
// seek, position, size.
#include "FileStreamQueries.h"
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "OutputStream.h"
#include "StreamHolder.h"

namespace {

void open(native::Context& cx) {
  native::Args a(cx, 3);
  const TUint32 writer = native::deref(a.word(0));
  const NString name = native::stringAt(a.word(1));
  const bool append = a.integer(2) != 0;
  if (name.isEmpty()) raise(ERR_INVALID_ARGUMENT, "Filename is empty");
  NERIM::OutputStream* stream = cx.host().openOutputStream(name, append ? 0 : 1);
  if (!stream) raise(ERR_IO, "");
  native::store(writer, StreamHolder::newWriter(cx.heap(), stream));
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "open", open, "writer, str, append ->", "6 \"Filename is empty\"; 7"},
    {2, "seek", file_stream::query<NERIM::OutputStream, file_stream::SEEK>, "writer, int ->", "6 \"Position is less than zero: N\"; 7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
    {3, "position", file_stream::query<NERIM::OutputStream, file_stream::POSITION>, "writer -> int", "7 \"File is not open\"; 10 \"Invalid TYPEID\""},
    {4, "size", file_stream::query<NERIM::OutputStream, file_stream::SIZE>, "writer -> int", "7 \"File is not open\"; 10 \"Invalid TYPEID\""},
};

}  // namespace

NATIVE_OPERATIONS(fileWriterOperations, kRows);
