#pragma once
// Writes into a byte vector it may or may not own.
// Invariant: 0 <= position; writing at position == size appends.
#include "OutputStream.h"
#include "Vec.h"

namespace NERIM {

class MemoryOutputStream : public OutputStream {
 public:
  // A stream over a fresh vector of its own.
  MemoryOutputStream();
  // A stream over target (not copied); with ownsTarget, close destroys it.
  MemoryOutputStream(Vec<TUint8>* target, bool ownsTarget);
  ~MemoryOutputStream() override;
  MemoryOutputStream(const MemoryOutputStream&) = delete;
  MemoryOutputStream& operator=(const MemoryOutputStream&) = delete;

  // Fails past the end; appends at the end, else overwrites.
  bool writeByte(TUint8 b) override;
  // False when any byte could not be written.
  bool write(const TUint8* buffer, TInt32 n) override;
  TInt64 size() override { return iTarget ? iTarget->size() : 0; }
  TInt64 position() override { return iPosition; }
  // Stores pos; true while pos <= size. Negative positions are refused.
  bool seek(TInt64 pos) override;
  void close() override;

  Vec<TUint8>* target() { return iTarget; }

 private:
  Vec<TUint8>* iTarget;
  TInt32 iPosition = 0;
  bool iOwnsTarget;
};

}  // namespace NERIM
