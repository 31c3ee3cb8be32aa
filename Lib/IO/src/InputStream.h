#pragma once
#include "Stream.h"

namespace NERIM {

class InputStream : public Stream {
 public:
  // The next byte 0..255; what a stream answers at its end is its own.
  virtual TInt32 readByte() = 0;
  // Reads exactly n bytes or fails.
  virtual bool read(TUint8* buffer, TInt32 n) = 0;
  virtual TInt64 size() = 0;
  virtual TInt64 position() = 0;
  virtual bool seek(TInt64 pos) = 0;
  virtual bool atEnd() = 0;
  virtual void close() = 0;
};

}  // namespace NERIM
