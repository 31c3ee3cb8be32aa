#pragma once
// The image's log: "LOG: " lines on standard error, one byte per UTF-16
// unit, and the same lines in UTF-8 in an optional log file.
#include <memory>

class CAppsString;
class NString;
namespace NERIM {
class FileOutputStream;
}

class HostLog {
 public:
  HostLog();
  ~HostLog();

  void write(const NString& message);
  // Installs a new log file and opens it (emptied); a file that failed to
  // open stays installed and receives nothing. Returns the open's result.
  bool setFile(const CAppsString& path);
  // No log file from now on; the old one is closed when the last holder goes.
  void clearFile();
  // Closes the file now, so its lines are on disk before a hard exit.
  void closeFile();

 private:
  std::shared_ptr<NERIM::FileOutputStream> iFile;
};
