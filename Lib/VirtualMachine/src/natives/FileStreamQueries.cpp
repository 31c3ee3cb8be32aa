#include "FileStreamQueries.h"

#include "Errors.h"
#include "InputStream.h"
#include "NativeHelpers.h"
#include "OutputStream.h"
#include "StreamHolder.h"

namespace {

template <typename S> void query(S* stream, native::Args& a, TInt32 op) {
  if (!stream || !stream->isOpen()) raise(ERR_IO, "File is not open");
  switch (op) {
    case 2:
      if (!stream->seek(a.integer(1))) raise(ERR_IO, "");
      return a.noResult();
    case 3: return a.result(static_cast<TUint32>(stream->position()));
    default: return a.result(static_cast<TUint32>(stream->size()));
  }
}

}  // namespace

void fileStreamQuery(VMState& state, TInt32 op, TUint32 typeId) {
  native::Args a(state, op == 2 ? 2 : 1);
  if (op == 2 && a.integer(1) < 0) raise(ERR_INVALID_ARGUMENT, "Position is less than zero: ", a.integer(1));
  StreamHolder* holder = StreamHolder::at(native::derefCell(a.word(0)), typeId);
  if (!holder) raise(ERR_IO, "File is not open");
  if (typeId == FILE_READER_TYPE_ID) return query(StreamHolder::getInputStream(holder), a, op);
  return query(StreamHolder::getOutputStream(holder), a, op);
}
