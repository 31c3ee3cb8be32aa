// FileWriter group (22): open a file for writing (appending or emptied),
// seek, position, size.
#include "Errors.h"
#include "FileStreamQueries.h"
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "OutputStream.h"
#include "StreamHolder.h"

void fileWriterNative(VMState& state, TInt32 op, FrameworkServices& host) {
  switch (op) {
    case 1: {
      native::Args a(state, 3);
      const TUint32 writer = native::deref(a.word(0));
      const NString name = native::stringAt(a.word(1));
      const bool append = a.integer(2) != 0;
      if (name.isEmpty()) raise(ERR_INVALID_ARGUMENT, "Filename is empty");
      NERIM::OutputStream* stream = host.openOutputStream(name, append ? 0 : 1);
      if (!stream) raise(ERR_IO, "");
      native::store(writer, StreamHolder::newWriter(state.heap, stream));
      return a.noResult();
    }
    case 2:
    case 3:
    case 4: return fileStreamQuery(state, op, FILE_WRITER_TYPE_ID);
    default: native::unknownOperation("FileWriter: ", op);
  }
}
