#pragma once
// A read-only platform file.
#include "InputStream.h"

class CAppsString;
class QFile;
class QString;

namespace NERIM {

class FileInputStream : public InputStream {
 public:
  FileInputStream() {}
  ~FileInputStream() override;
  FileInputStream(const FileInputStream&) = delete;
  FileInputStream& operator=(const FileInputStream&) = delete;

  // An empty path fails; the open flag is the result.
  bool open(const QString& path);
  bool open(const CAppsString& path);

  // -1 when not open or at the end.
  TInt32 readByte() override;
  bool read(TUint8* buffer, TInt32 n) override;
  TInt64 size() override;
  TInt64 position() override;
  // Fails past the size; seeking to the size itself succeeds.
  bool seek(TInt64 pos) override;
  bool atEnd() override;
  void close() override;

 private:
  QFile* iFile = nullptr;
};

}  // namespace NERIM
