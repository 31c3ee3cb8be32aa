#include "DevicePaths.h"

#include <cstdlib>

QByteArray devicePath(const char* path) {
  QByteArray full(std::getenv("MCB_DEVICE_ROOT"));
  while (full.endsWith('/')) full.chop(1);
  return full + path;
}
