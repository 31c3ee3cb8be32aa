// InputStream group (23): close, open test and reading bytes of a
// reader's stream.
#include "FileStreamQueries.h"
#include "HostMemory.h"
#include "InputStream.h"
#include "VectorStore.h"

#include <vector>

using NERIM::InputStream;

namespace {

void read(native::Context& cx) {
  native::Args a(cx, 2);
  const TInt32 count = a.integer(1);
  if (count < 0) raise(ERR_INVALID_ARGUMENT, "The number of bytes should be non-negative");
  InputStream& stream = file_stream::openFileIn<InputStream>(a.word(0));
  // A count past the end fails anyway; refusing it first spares a block of that size.
  if (count > stream.size() - stream.position()) raise(ERR_IO, "");
  hostmem::Held<std::vector<TUint8>> bytes(static_cast<size_t>(count), static_cast<size_t>(count));
  if (count > 0 && !stream.read(bytes.data(), count)) raise(ERR_IO, "");
  a.result(vectors::newVectorCell(cx.heap(), 1, false, bytes.data(), count));
}

const native::Operation kRows[] = {
    {1, "close", file_stream::close<InputStream>, "reader ->", "10 \"Invalid TYPEID\""},
    {2, "isOpen", file_stream::isOpen<InputStream>, "reader -> bool", "10 \"Invalid TYPEID\""},
    {3, "read", read, "reader, int -> bytes", "6 \"The number of bytes should be non-negative\"; 7 \"File is not open\"; 7; 10 \"Invalid TYPEID\""},
};

}  // namespace

NATIVE_OPERATIONS(inputStreamOperations, kRows);
