// FileReader group (24): open a file for reading, seek, position, size.
#include "Errors.h"
#include "FileStreamQueries.h"
#include "FrameworkServices.h"
#include "InputStream.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "StreamHolder.h"

void fileReaderNative(VMState& state, TInt32 op, FrameworkServices& host) {
  switch (op) {
    case 1: {
      native::Args a(state, 2);
      const TUint32 reader = native::deref(a.word(0));
      const NString name = native::stringAt(a.word(1));
      if (name.isEmpty()) raise(ERR_INVALID_ARGUMENT, "Filename is empty");
      NERIM::InputStream* stream = host.openInputStream(name);
      if (!stream) raise(ERR_IO, NString::concat(NString("Could not open file: "), name));
      native::store(reader, StreamHolder::newReader(state.heap, stream));
      return a.noResult();
    }
    case 2:
    case 3:
    case 4: return fileStreamQuery(state, op, FILE_READER_TYPE_ID);
    default: native::unknownOperation("FileReader: ", op);
  }
}
