#include "CAppsFileWriter.h"

#include "CAppsString.h"
#include "Errors.h"
#include "FileOutputStream.h"
#include "Vec.h"

CAppsFileWriter::CAppsFileWriter(const CAppsString& path) : iFileName(new CAppsString(path)), iStream(nullptr) {
  NERIM::FileOutputStream* file = new NERIM::FileOutputStream;
  iStream = file;
  file->open(path);
}

CAppsFileWriter::CAppsFileWriter(NERIM::OutputStream* stream) : iFileName(new CAppsString), iStream(stream) {}

CAppsFileWriter::~CAppsFileWriter() {
  close();
  delete iFileName;
}

bool CAppsFileWriter::isOpen() const { return iStream && iStream->isOpen(); }

TInt64 CAppsFileWriter::position() const { return iStream ? iStream->position() : 0; }

TInt64 CAppsFileWriter::size() const { return iStream ? iStream->size() : 0; }

bool CAppsFileWriter::seek(TInt64 pos) { return iStream && pos >= 0 && iStream->seek(pos); }

bool CAppsFileWriter::writeByte(TUint8 b) { return iStream && iStream->writeByte(b); }

bool CAppsFileWriter::writeByteBufferToFile(const TUint8* buffer, TInt32 aNumberOfBytes) {
  VM_ASSERT(aNumberOfBytes >= 0);
  return iStream && iStream->write(buffer, aNumberOfBytes);
}

bool CAppsFileWriter::writeBytes(const Vec<TUint8>& bytes, TInt32 offset, TInt32 count) {
  if (!iStream) return false;
  if (count == 0) return true;
  if (offset < 0 || offset > bytes.size()) return false;
  if (count < 0) count = bytes.size() - offset;
  if (count > bytes.size() - offset) return false;
  return iStream->write(bytes.data() + offset, count);
}

bool CAppsFileWriter::writeString(const CAppsString& s) {
  if (!iStream) return false;
  Vec<TUint8> bytes(s.size() + 1);
  for (TInt32 i = 0; i < s.size(); ++i) bytes.append(static_cast<TUint8>(s[i]));
  return iStream->write(bytes.data(), bytes.size());
}

bool CAppsFileWriter::writeLine(const CAppsString& s) {
  CAppsString line(s);
  line.append("\n");
  return writeString(line);
}

void CAppsFileWriter::close() {
  delete iStream;
  iStream = nullptr;
}
