#include "CAppsFileReader.h"

#include "CAppsString.h"
#include "FileInputStream.h"
#include "MemoryInputStream.h"
#include "Vec.h"

CAppsFileReader::CAppsFileReader() : iFileName(new CAppsString), iStream(nullptr) {}

CAppsFileReader::CAppsFileReader(const CAppsString& path) : iFileName(new CAppsString(path)), iStream(nullptr) {
  NERIM::FileInputStream* file = new NERIM::FileInputStream;
  iStream = file;
  file->open(path);
}

CAppsFileReader::CAppsFileReader(NERIM::InputStream* stream) : iFileName(new CAppsString), iStream(stream) {}

CAppsFileReader::CAppsFileReader(const TUint8* data, TInt32 length)
    : iFileName(new CAppsString), iStream(nullptr) {
  NERIM::MemoryInputStream* memory = new NERIM::MemoryInputStream;
  iStream = memory;
  // An empty block may come without storage; the stream still wants a pointer.
  static const TUint8 kNothing = 0;
  memory->setBuffer(data ? data : &kNothing, data ? length : 0);
}

CAppsFileReader::~CAppsFileReader() {
  close();
  delete iFileName;
}

bool CAppsFileReader::isOpen() const { return iStream && iStream->isOpen(); }

bool CAppsFileReader::atEnd() const { return !iStream || iStream->atEnd(); }

TInt64 CAppsFileReader::position() const { return iStream ? iStream->position() : 0; }

TInt64 CAppsFileReader::size() const { return iStream ? iStream->size() : 0; }

bool CAppsFileReader::seek(TInt64 pos) { return iStream && pos >= 0 && iStream->seek(pos); }

bool CAppsFileReader::skip(TInt64 n) { return iStream && seek(iStream->position() + n); }

bool CAppsFileReader::readByte(TUint8& out) {
  // Streams disagree on what readByte answers at the end, so ask first.
  if (!iStream || iStream->atEnd()) return false;
  const TInt32 b = iStream->readByte();
  if (b < 0) return false;
  out = static_cast<TUint8>(b);
  return true;
}

bool CAppsFileReader::readBytes(TUint8* buffer, TInt32 n) { return iStream && n >= 0 && iStream->read(buffer, n); }

bool CAppsFileReader::readString(TInt32 n, CAppsString& out) {
  if (!iStream || n < 0) return false;
  Vec<TUint8> bytes;
  if (!readIntoByteVector(bytes, n)) return false;
  out = CAppsString(bytes.data(), bytes.size());
  return true;
}

bool CAppsFileReader::readIntoByteVector(Vec<TUint8>& bytes, TInt32 n) {
  if (!iStream) return false;
  if (n < 0) {
    const TInt64 rest = iStream->size() - iStream->position();
    if (rest < 0 || rest > 0x7fffffff - bytes.size()) return false;
    n = static_cast<TInt32>(rest);
  }
  if (n == 0) return true;
  const TInt32 old = bytes.size();
  if (n > 0x7fffffff - old) return false;
  bytes.resize(old + n);
  if (iStream->read(bytes.data() + old, n)) return true;
  bytes.resize(old);
  return false;
}

void CAppsFileReader::close() {
  delete iStream;
  iStream = nullptr;
}
