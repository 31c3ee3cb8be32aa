#pragma once
// Operations 2 to 4 of the FileReader and FileWriter groups: seek,
// position and size of the holder in the object's cell.
#include "Types.h"

struct VMState;

// typeId: the holder type the group expects (FILE_READER_TYPE_ID or
// FILE_WRITER_TYPE_ID). Checks in order: a negative position (code 6), no
// holder (code 7 "File is not open"), a holder of the other type (code 10
// "Invalid TYPEID"), a stream not open (code 7), a failed seek (code 7).
void fileStreamQuery(VMState& state, TInt32 op, TUint32 typeId);
