#include "SoundFile.h"

#include "Errors.h"
#include "FrameworkServices.h"
#include "InputStream.h"

#include <cstring>
#include <new>

namespace {

// Sizes stay within the players' 32-bit counts.
constexpr TInt64 kLargest = 0x7FFFFFFE;

void allocate(SoundFile& f, TInt64 bytes) {
  if (bytes > kLargest) raise(ERR_INVALID_ARGUMENT, "Sound too large");
  f.charge = hostmem::Charge(static_cast<size_t>(bytes));
  try {
    f.samples.reset(new TInt16[static_cast<size_t>(bytes / 2 + 1)]);
  } catch (const std::bad_alloc&) {
    hostmem::exhausted();
  }
  f.size = static_cast<TUint32>(bytes);
}

}  // namespace

SoundFile::Result SoundFile::read(FrameworkServices* host, const NString& path) {
  if (!host) return NOT_OPEN;
  std::unique_ptr<NERIM::InputStream> stream(host->openInputStream(path));
  if (!stream || !stream->isOpen()) return NOT_OPEN;
  const TInt64 n = stream->size();
  if (n < 0) return FAILED;
  allocate(*this, n);
  const bool ok = n == 0 || stream->read(bytes(), static_cast<TInt32>(n));
  stream->close();
  return ok ? READ : FAILED;
}

void SoundFile::assign(const TUint8* src, TUint32 n) {
  allocate(*this, n);
  if (n) std::memcpy(bytes(), src, n);
}
