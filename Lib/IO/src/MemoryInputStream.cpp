#include "MemoryInputStream.h"

#include <cstring>

namespace NERIM {

void MemoryInputStream::setBuffer(const TUint8* aBuffer, TInt32 length) {
  VM_ASSERT(aBuffer);
  if (length < 0) raise(ERR_INVALID_ARGUMENT, "Negative buffer length");
  Vec<TUint8> copy(length);
  copy.resize(length);
  if (length > 0) std::memcpy(copy.data(), aBuffer, static_cast<size_t>(length));
  iBytes = std::move(copy);
  iPosition = 0;
  iOpen = true;
}

void MemoryInputStream::setBuffer(const Vec<TUint8>& bytes) {
  iBytes = bytes;
  iPosition = 0;
  iOpen = true;
}

void MemoryInputStream::checkPosition() const {
  if (iPosition < 0) raise(ERR_INVALID_ARGUMENT, "Read position outside the buffer");
}

TInt32 MemoryInputStream::readByte() {
  checkPosition();
  if (iPosition >= iBytes.size()) {
    onError();
    return 0;
  }
  return iBytes.data()[iPosition++];
}

bool MemoryInputStream::read(TUint8* buffer, TInt32 n) {
  checkPosition();
  if (n < 0 || n > iBytes.size() - iPosition) {
    onError();
    iPosition = iBytes.size();
    return false;
  }
  if (n > 0) std::memcpy(buffer, iBytes.data() + iPosition, static_cast<size_t>(n));
  iPosition += n;
  return true;
}

bool MemoryInputStream::seek(TInt64 pos) {
  if (pos < 0 || pos > 0x7fffffff) {
    onError();
    return false;
  }
  iPosition = static_cast<TInt32>(pos);
  if (pos < iBytes.size()) return true;
  onError();
  return false;
}

}  // namespace NERIM
