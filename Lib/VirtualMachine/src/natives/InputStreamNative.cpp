// InputStream group (23): close, open test and reading bytes of a
// reader's stream.
#include "Errors.h"
#include "InputStream.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "StreamHolder.h"
#include "VectorStore.h"

#include <vector>

namespace {

NERIM::InputStream* streamOf(TUint32 reader) {
  StreamHolder* holder = StreamHolder::at(native::derefCell(reader), FILE_READER_TYPE_ID);
  return holder ? StreamHolder::getInputStream(holder) : nullptr;
}

void read(VMState& state) {
  native::Args a(state, 2);
  const TInt32 count = a.integer(1);
  if (count < 0) raise(ERR_INVALID_ARGUMENT, "The number of bytes should be non-negative");
  NERIM::InputStream* stream = streamOf(a.word(0));
  if (!stream || !stream->isOpen()) raise(ERR_IO, "File is not open");
  // A count past the end fails anyway; refusing it first spares a block of that size.
  if (count > stream->size() - stream->position()) raise(ERR_IO, "");
  std::vector<TUint8> bytes(static_cast<size_t>(count));
  if (count > 0 && !stream->read(bytes.data(), count)) raise(ERR_IO, "");
  const TUint32 cell = vectors::newVectorCell(state.heap, 1, false, bytes.data(), count);
  const vectors::VectorStore vec(native::load(cell), 1);
  VM_ASSERT(count == vec.count());
  a.result(cell);
}

}  // namespace

void inputStreamNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: {
      native::Args a(state, 1);
      if (NERIM::InputStream* stream = streamOf(a.word(0))) stream->close();
      return a.noResult();
    }
    case 2: {
      native::Args a(state, 1);
      NERIM::InputStream* stream = streamOf(a.word(0));
      return a.result(stream && stream->isOpen() ? static_cast<TUint32>(-1) : 0);
    }
    case 3: return read(state);
    default: native::unknownOperation("InputStream: ", op);
  }
}
