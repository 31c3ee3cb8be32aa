#pragma once
// Where NVector element blocks come from: the VM heap in the machine, a
// plain arena region in tests.
#include "Types.h"

class MVectorStorage {
 public:
  virtual ~MVectorStorage() {}
  // A zero-filled block of `bytes` in VM memory; raises on failure.
  virtual VMAddr allocateElements(TInt32 bytes) = 0;
  // The vector no longer uses the block (the heap may leave it to the collector).
  virtual void freeElements(VMAddr data) = 0;
};
