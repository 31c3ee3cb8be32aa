#pragma once
#include "Stream.h"

namespace NERIM {

class OutputStream : public Stream {
 public:
  virtual bool writeByte(TUint8 b) = 0;
  virtual bool write(const TUint8* buffer, TInt32 n) = 0;
  virtual TInt64 size() = 0;
  virtual TInt64 position() = 0;
  virtual bool seek(TInt64 pos) = 0;
  virtual void close() = 0;
};

}  // namespace NERIM
