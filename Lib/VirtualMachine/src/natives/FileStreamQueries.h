#pragma once
// What the four stream groups share: the stream of the holder in an
// object's cell, and the operations the reader and writer groups (seek,
// position, size) and the input and output groups (close, isOpen) have alike.
// S is NERIM::InputStream (holders of type FILE_READER_TYPE_ID) or
// NERIM::OutputStream (FILE_WRITER_TYPE_ID).
#include "NativeHelpers.h"
#include "StreamHolder.h"

#include <type_traits>

namespace file_stream {

[[noreturn]] inline void notOpen() { raise(ERR_IO, "File is not open"); }

// The stream, null while no file was opened; a holder of the other type
// raises code 10 "Invalid TYPEID".
template <typename S> S* streamIn(TUint32 object) {
  const TUint32 typeId = std::is_same<S, NERIM::InputStream>::value ? FILE_READER_TYPE_ID : FILE_WRITER_TYPE_ID;
  StreamHolder* holder = StreamHolder::at(native::derefCell(object), typeId);
  return holder ? static_cast<S*>(holder->stream) : nullptr;
}
// The stream of an opened file, and of one still open (code 7 "File is not open").
template <typename S> S& fileIn(TUint32 object) {
  S* stream = streamIn<S>(object);
  if (!stream) notOpen();
  return *stream;
}
template <typename S> S& openFileIn(TUint32 object) {
  S& stream = fileIn<S>(object);
  if (!stream.isOpen()) notOpen();
  return stream;
}

enum Query { SEEK, POSITION, SIZE };
// A negative position raises code 6 before the stream is looked at; a failed seek code 7.
template <typename S, Query Q> void query(native::Context& cx) {   // object, [position]
  native::Args a(cx, Q == SEEK ? 2 : 1);
  if (Q == SEEK && a.integer(1) < 0) raise(ERR_INVALID_ARGUMENT, "Position is less than zero: ", a.integer(1));
  S& stream = openFileIn<S>(a.word(0));
  if (Q != SEEK) return a.result(static_cast<TUint32>(Q == POSITION ? stream.position() : stream.size()));
  if (!stream.seek(a.integer(1))) raise(ERR_IO, "");
  a.noResult();
}

template <typename S> void close(native::Context& cx) {   // object
  native::Args a(cx, 1);
  if (S* stream = streamIn<S>(a.word(0))) stream->close();
  a.noResult();
}

template <typename S> void isOpen(native::Context& cx) {   // object -> -1 or 0
  native::Args a(cx, 1);
  S* stream = streamIn<S>(a.word(0));
  a.result(stream && stream->isOpen() ? static_cast<TUint32>(-1) : 0);
}

}  // namespace file_stream
