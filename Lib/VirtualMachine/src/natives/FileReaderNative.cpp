// FileReader group (24): open a file for reading, seek, position, size.
#include "FileStreamQueries.h"
#include "FrameworkServices.h"
#include "InputStream.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "StreamHolder.h"

namespace {

void open(native::Context& cx) {
  native::Args a(cx, 2);
  const TUint32 reader = native::deref(a.word(0));
  const NString name = native::stringAt(a.word(1));
  if (name.isEmpty()) raise(ERR_INVALID_ARGUMENT, "Filename is empty");
  NERIM::InputStream* stream = cx.host().openInputStream(name);
  if (!stream) raise(ERR_IO, NString::concat(NString("Could not open file: "), name));
  native::store(reader, StreamHolder::newReader(cx.heap(), stream));
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "open", open, "reader, str ->", "6 \"Filename is empty\"; 7 \"Could not open file: NAME\""},
    {2, "seek", file_stream::query<NERIM::InputStream, file_stream::SEEK>, "reader, int ->", "6 \"Position is less than zero: N\"; 7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
    {3, "position", file_stream::query<NERIM::InputStream, file_stream::POSITION>, "reader -> int", "7 \"File is not open\"; 10 \"Invalid TYPEID\""},
    {4, "size", file_stream::query<NERIM::InputStream, file_stream::SIZE>, "reader -> int", "7 \"File is not open\"; 10 \"Invalid TYPEID\""},
};

}  // namespace

NATIVE_OPERATIONS(fileReaderOperations, kRows);
