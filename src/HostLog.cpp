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
  std::string line("LOG: ");
  const TChar* units = message.units();
  for (TInt32 i = 0; i < message.length(); ++i) line.push_back(static_cast<char>(units[i] & 0xFF));
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);

  if (!iFile) return;
  Vec<TUint8> utf8;
  message.toUtf8(utf8);
  if (utf8.size() == 0) return;
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
