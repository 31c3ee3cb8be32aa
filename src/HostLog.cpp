#include "HostLog.h"

#include "CAppsString.h"
#include "FileOutputStream.h"
#include "NString.h"
#include "Vec.h"

#include <cstdio>
#include <string>

HostLog::HostLog() {}

HostLog::~HostLog() {}

void HostLog::write(const NString& message) {
  // Both sinks get the same UTF-8: text beyond Latin-1 stays readable on the terminal too.
  Vec<TUint8> utf8;
  message.toUtf8(utf8);
  std::string line("LOG: ");
  if (utf8.size() > 0) line.append(reinterpret_cast<const char*>(utf8.data()), utf8.size());
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);

  if (!iFile || utf8.size() == 0) return;
  static const TUint8 kPrefix[] = {'L', 'O', 'G', ':', ' '};
  static const TUint8 kNewline = '\n';
  iFile->write(kPrefix, sizeof kPrefix);
  iFile->write(utf8.data(), utf8.size());
  iFile->write(&kNewline, 1);
}

bool HostLog::setFile(const CAppsString& path) {
  iFile = std::make_shared<NERIM::FileOutputStream>();
  return iFile->open(path);
}

void HostLog::clearFile() { iFile.reset(); }

void HostLog::closeFile() {
  if (iFile) iFile->close();
}
