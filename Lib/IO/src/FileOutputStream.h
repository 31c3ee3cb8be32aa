#pragma once
// A write-only platform file; opening truncates.
#include "OutputStream.h"

class CAppsString;
class QFile;
class QString;

namespace NERIM {

class FileOutputStream : public OutputStream {
 public:
  FileOutputStream() {}
  ~FileOutputStream() override;
  FileOutputStream(const FileOutputStream&) = delete;
  FileOutputStream& operator=(const FileOutputStream&) = delete;

  // A relative path fails without touching the file system; missing
  // directories on the way are created.
  bool open(const QString& path);
  bool open(const CAppsString& path);

  bool writeByte(TUint8 b) override;
  bool write(const TUint8* buffer, TInt32 n) override;
  TInt64 size() override;
  TInt64 position() override;
  bool seek(TInt64 pos) override;
  void close() override;

 private:
  QFile* iFile = nullptr;
};

}  // namespace NERIM
