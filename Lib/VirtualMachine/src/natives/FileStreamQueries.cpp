#include "FileStreamQueries.h"

#include "InputStream.h"
#include "NativeHelpers.h"
#include "OutputStream.h"
#include "StreamHolder.h"

namespace file_stream {
namespace {

template <typename S> void run(S* stream, native::Args& a, Query q) {
  if (!stream || !stream->isOpen()) raise(ERR_IO, "File is not open");
  if (q == SEEK) {
    if (!stream->seek(a.integer(1))) raise(ERR_IO, "");
    return a.noResult();
  }
  a.result(static_cast<TUint32>(q == POSITION ? stream->position() : stream->size()));
}

}  // namespace

void query(native::Context& cx, Query q, TUint32 typeId) {
  native::Args a(cx, q == SEEK ? 2 : 1);
  if (q == SEEK && a.integer(1) < 0) raise(ERR_INVALID_ARGUMENT, "Position is less than zero: ", a.integer(1));
  StreamHolder* holder = StreamHolder::at(native::derefCell(a.word(0)), typeId);
  if (!holder) raise(ERR_IO, "File is not open");
  if (typeId == FILE_READER_TYPE_ID) return run(StreamHolder::getInputStream(holder), a, q);
  run(StreamHolder::getOutputStream(holder), a, q);
}

}  // namespace file_stream
