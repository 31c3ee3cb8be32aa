#include "FileInputStream.h"

#include "CAppsString.h"

#include <QFile>

namespace NERIM {

FileInputStream::~FileInputStream() { close(); }

bool FileInputStream::open(const CAppsString& path) { return open(path.toQString()); }

bool FileInputStream::open(const QString& path) {
  close();
  if (path.isEmpty()) return false;
  iFile = new QFile(path);
  iOpen = iFile->open(QIODevice::ReadOnly);
  return iOpen;
}

TInt32 FileInputStream::readByte() {
  char c;
  if (!iOpen || !iFile->getChar(&c)) {
    onError();
    return -1;
  }
  return static_cast<TUint8>(c);
}

bool FileInputStream::read(TUint8* buffer, TInt32 n) {
  if (n == 0) return true;
  if (!iOpen || n < 0 || iFile->read(reinterpret_cast<char*>(buffer), n) != n) {
    onError();
    return false;
  }
  return true;
}

TInt64 FileInputStream::size() { return iFile ? iFile->size() : 0; }

TInt64 FileInputStream::position() { return iFile ? iFile->pos() : 0; }

bool FileInputStream::seek(TInt64 pos) {
  if (!iOpen || pos < 0 || pos > iFile->size() || !iFile->seek(pos)) {
    onError();
    return false;
  }
  return true;
}

bool FileInputStream::atEnd() { return !iFile || iFile->atEnd(); }

void FileInputStream::close() {
  iOpen = false;
  if (!iFile) return;
  iFile->close();
  delete iFile;
  iFile = nullptr;
}

}  // namespace NERIM
