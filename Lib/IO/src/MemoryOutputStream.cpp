#include "MemoryOutputStream.h"

namespace NERIM {

MemoryOutputStream::MemoryOutputStream() : iTarget(new Vec<TUint8>), iOwnsTarget(true) { iOpen = true; }

MemoryOutputStream::MemoryOutputStream(Vec<TUint8>* target, bool ownsTarget)
    : iTarget(target), iOwnsTarget(ownsTarget) {
  iOpen = target != nullptr;
}

MemoryOutputStream::~MemoryOutputStream() { close(); }

bool MemoryOutputStream::writeByte(TUint8 b) {
  if (!iTarget || iPosition > iTarget->size()) {
    onError();
    return false;
  }
  if (iTarget->capacity() < iTarget->size()) raise(ERR_INVALID_ARGUMENT, "Vector capacity below its size");
  if (iPosition == iTarget->size()) iTarget->append(b);
  else iTarget->data()[iPosition] = b;
  ++iPosition;
  return isOpen();
}

bool MemoryOutputStream::write(const TUint8* buffer, TInt32 n) {
  bool ok = n >= 0;
  for (TInt32 i = 0; ok && i < n; ++i) ok = writeByte(buffer[i]);
  return ok;
}

bool MemoryOutputStream::seek(TInt64 pos) {
  if (pos < 0 || pos > 0x7fffffff) {
    onError();
    return false;
  }
  iPosition = static_cast<TInt32>(pos);
  if (pos <= size()) return true;
  onError();
  return false;
}

void MemoryOutputStream::close() {
  iOpen = false;
  if (iOwnsTarget) {
    delete iTarget;
    iTarget = nullptr;
    iOwnsTarget = false;
  }
}

}  // namespace NERIM
