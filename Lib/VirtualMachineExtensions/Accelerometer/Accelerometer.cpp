// Accelerometer extension (20): the three axes from the sensor's sysfs
// coordinate file, read again on every call, pushed as NFixed g.
#include "DevicePaths.h"
#include "ExtensionTable.h"
#include "NRaw.h"
#include "NativeHelpers.h"

#include <cstdio>

namespace {

const char kCoordinates[] = "/sys/class/i2c-adapter/i2c-3/3-001d/coord";

// The file holds "y x z" in milli-g; `Field` picks one of the three (x is
// field 1). An unreadable file reads as 0 on every axis.
template <int Field> void component(native::Context& cx) {
  int values[3] = {0, 0, 0};
  if (FILE* f = std::fopen(devicePath(kCoordinates).constData(), "r")) {
    if (std::fscanf(f, "%i %i %i", &values[0], &values[1], &values[2]) != 3) values[0] = values[1] = values[2] = 0;
    std::fclose(f);
  }
  const NFixed v = NRaw::fromDouble(static_cast<float>(values[Field]) / 1000.0);
  native::pushResult(cx.state, v.low());
  native::pushResult(cx.state, v.high());
}

const native::Operation kRows[] = {
#define EXTENSION_OPERATION EXTENSION_ROW
#include "Accelerometer.def"
#undef EXTENSION_OPERATION
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kAccelerometerOperations, kRows);

NERIM::Extension* createAccelerometer(MVMCallbackInterface*, FrameworkServices* host) {
  return new BuiltIn(*extensionInfo(ID_Accelerometer), host);
}

}  // namespace ext
