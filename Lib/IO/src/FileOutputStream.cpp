#include "FileOutputStream.h"

#include "CAppsString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace NERIM {

FileOutputStream::~FileOutputStream() { close(); }

bool FileOutputStream::open(const CAppsString& path) { return open(path.toQString()); }

bool FileOutputStream::open(const QString& path) {
  close();
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  if (info.isRelative()) return false;
  const QString directory = info.path();
  if (!QDir(directory).exists() && !QDir().mkpath(directory)) return false;
  iFile = new QFile(path);
  iOpen = iFile->open(QIODevice::WriteOnly | QIODevice::Truncate);
  return iOpen;
}

bool FileOutputStream::writeByte(TUint8 b) {
  if (!iOpen || !iFile->putChar(static_cast<char>(b))) {
    onError();
    return false;
  }
  return true;
}

bool FileOutputStream::write(const TUint8* buffer, TInt32 n) {
  if (n == 0) return true;
  // A short write loses data as surely as a failed one.
  if (!iOpen || n < 0 || iFile->write(reinterpret_cast<const char*>(buffer), n) != n) {
    onError();
    return false;
  }
  return true;
}

TInt64 FileOutputStream::size() { return iFile ? iFile->size() : 0; }

TInt64 FileOutputStream::position() { return iFile ? iFile->pos() : 0; }

bool FileOutputStream::seek(TInt64 pos) {
  if (!iOpen || pos < 0 || pos > iFile->size() || !iFile->seek(pos)) {
    onError();
    return false;
  }
  return true;
}

void FileOutputStream::close() {
  iOpen = false;
  if (!iFile) return;
  iFile->close();
  delete iFile;
  iFile = nullptr;
}

}  // namespace NERIM
