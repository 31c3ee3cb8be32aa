#pragma once
// Reads from its own copy of a byte block.
// Invariant: 0 <= position once set by the stream itself; a negative
// seek is refused, so a read outside the bytes can only mean corruption
// and raises code 6.
#include "InputStream.h"
#include "Vec.h"

namespace NERIM {

class MemoryInputStream : public InputStream {
 public:
  MemoryInputStream() {}

  // Copies the bytes and opens the stream at position 0.
  virtual void setBuffer(const TUint8* aBuffer, TInt32 length);
  virtual void setBuffer(const Vec<TUint8>& bytes);

  // At or past the end: onError and 0.
  TInt32 readByte() override;
  // Fails unless n bytes remain, leaving the position at the end.
  bool read(TUint8* buffer, TInt32 n) override;
  TInt64 size() override { return iBytes.size(); }
  TInt64 position() override { return iPosition; }
  // Stores pos; true while pos < size.
  bool seek(TInt64 pos) override;
  bool atEnd() override { return iPosition >= iBytes.size(); }
  void close() override {}

 private:
  void checkPosition() const;

  Vec<TUint8> iBytes;
  TInt32 iPosition = 0;
};

}  // namespace NERIM
