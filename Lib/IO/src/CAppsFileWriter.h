#pragma once
// CAppsFileWriter: a heap-resident writer over one owned output stream.
// Packed GCObject holding host pointers only; every operation answers
// false (or 0) when there is no stream.
#include "GCObject.h"
#include "Types.h"

class CAppsString;
template <typename T> class Vec;
namespace NERIM { class OutputStream; }

GCOBJECT_PACK_BEGIN
class CAppsFileWriter : public GCObject {
 public:
  // Opens a file stream (truncating); check isOpen.
  explicit CAppsFileWriter(const CAppsString& path);
  // Adopts the stream.
  explicit CAppsFileWriter(NERIM::OutputStream* stream);
  ~CAppsFileWriter() override;
  CAppsFileWriter(const CAppsFileWriter&) = delete;
  CAppsFileWriter& operator=(const CAppsFileWriter&) = delete;

  const CAppsString& fileName() const { return *iFileName; }
  NERIM::OutputStream* stream() { return iStream; }

  bool isOpen() const;
  TInt64 position() const;
  TInt64 size() const;
  bool seek(TInt64 pos);
  bool writeByte(TUint8 b);
  bool writeByteBufferToFile(const TUint8* buffer, TInt32 aNumberOfBytes);
  // count 0 succeeds, a negative offset or a slice past the end fails, a
  // negative count means up to the end.
  bool writeBytes(const Vec<TUint8>& bytes, TInt32 offset, TInt32 count);
  // The low 8 bits of every character.
  bool writeString(const CAppsString& s);
  bool writeLine(const CAppsString& s);
  void close();

 private:
  CAppsString* iFileName;
  NERIM::OutputStream* iStream;
};
GCOBJECT_PACK_END

static_assert(alignof(CAppsFileWriter) <= 4, "heap blocks are 4-byte aligned");
