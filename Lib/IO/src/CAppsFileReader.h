#pragma once
// CAppsFileReader: a heap-resident reader over one owned input stream.
// A GCObject, so packed and holding host pointers only: the file name and
// the stream live in host allocations it owns. Every operation answers
// false (or 0) when there is no stream.
#include "GCObject.h"
#include "Types.h"

class CAppsString;
template <typename T> class Vec;
namespace NERIM { class InputStream; }

GCOBJECT_PACK_BEGIN
class CAppsFileReader : public GCObject {
 public:
  CAppsFileReader();
  // Opens a file stream; check isOpen.
  explicit CAppsFileReader(const CAppsString& path);
  // Adopts the stream.
  explicit CAppsFileReader(NERIM::InputStream* stream);
  // Copies the block into a memory stream.
  CAppsFileReader(const TUint8* data, TInt32 length);
  ~CAppsFileReader() override;
  CAppsFileReader(const CAppsFileReader&) = delete;
  CAppsFileReader& operator=(const CAppsFileReader&) = delete;

  const CAppsString& fileName() const { return *iFileName; }
  NERIM::InputStream* stream() { return iStream; }

  bool isOpen() const;
  bool atEnd() const;
  TInt64 position() const;
  TInt64 size() const;
  bool seek(TInt64 pos);
  bool skip(TInt64 n);
  bool readByte(TUint8& out);
  bool readBytes(TUint8* buffer, TInt32 n);
  // n bytes, each one character.
  bool readString(TInt32 n, CAppsString& out);
  // Appends n bytes (n < 0: everything up to the end); on failure the
  // vector is back at its old size.
  bool readIntoByteVector(Vec<TUint8>& bytes, TInt32 n = -1);
  void close();

 private:
  CAppsString* iFileName;
  NERIM::InputStream* iStream;
};
GCOBJECT_PACK_END

static_assert(alignof(CAppsFileReader) <= 4, "heap blocks are 4-byte aligned");
