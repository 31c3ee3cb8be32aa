#pragma once
// Operations 2 to 4 of the FileReader and FileWriter groups: seek,
// position and size of the holder in the object's cell.
#include "NativeRegistry.h"

namespace file_stream {
enum Query { SEEK, POSITION, SIZE };
// typeId: the holder type the group expects (FILE_READER_TYPE_ID or
// FILE_WRITER_TYPE_ID). Checks in order: a negative position (code 6), no
// holder (code 7 "File is not open"), a holder of the other type (code 10
// "Invalid TYPEID"), a stream not open (code 7), a failed seek (code 7).
void query(native::Context& cx, Query q, TUint32 typeId);
}  // namespace file_stream

template <TUint32 TypeId> void fileStreamSeek(native::Context& cx) { file_stream::query(cx, file_stream::SEEK, TypeId); }
template <TUint32 TypeId> void fileStreamPosition(native::Context& cx) {
  file_stream::query(cx, file_stream::POSITION, TypeId);
}
template <TUint32 TypeId> void fileStreamSize(native::Context& cx) { file_stream::query(cx, file_stream::SIZE, TypeId); }
