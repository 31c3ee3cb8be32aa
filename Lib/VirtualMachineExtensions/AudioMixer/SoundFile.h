#pragma once
// A sound file read whole through the host, as 16-bit samples (an odd last
// byte is kept in the bytes but not counted as a sample). The bytes are
// charged to host memory for as long as the file is held.
#include "HostMemory.h"
#include "Types.h"

#include <memory>

class FrameworkServices;
class NString;

struct SoundFile {
  enum Result { READ, NOT_OPEN, FAILED };

  std::unique_ptr<TInt16[]> samples;
  TUint32 size = 0;   // bytes
  hostmem::Charge charge;

  // Bytes of the file (a machine without a host has no files); code 6 when
  // it would pass the host-memory limit.
  Result read(FrameworkServices* host, const NString& path);
  // A copy of size bytes.
  void assign(const TUint8* bytes, TUint32 n);
  TUint8* bytes() { return reinterpret_cast<TUint8*>(samples.get()); }
  TUint32 sampleCount() const { return size / 2; }
};
