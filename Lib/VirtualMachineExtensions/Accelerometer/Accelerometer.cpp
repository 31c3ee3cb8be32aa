// Accelerometer extension (20): the three axes from the sensor's sysfs
// coordinate file, read again on every call, pushed as NFixed g.
#include "DevicePaths.h"
#include "Errors.h"
#include "ExtensionTable.h"
#include "NRaw.h"
#include "NativeHelpers.h"

#include <cstdio>

namespace {

const char kCoordinates[] = "/sys/class/i2c-adapter/i2c-3/3-001d/coord";

enum { EGetAccelerometerXData = 11, EGetAccelerometerYData = 12, EGetAccelerometerZData = 13 };

// The file holds "y x z" in milli-g. An unreadable file reads as 0 on every axis.
NFixed getAccelerationComponent(TInt32 oc) {
  VM_ASSERT(oc == EGetAccelerometerXData || oc == EGetAccelerometerYData || oc == EGetAccelerometerZData);
  int values[3] = {0, 0, 0};
  if (FILE* f = std::fopen(devicePath(kCoordinates).constData(), "r")) {
    if (std::fscanf(f, "%i %i %i", &values[0], &values[1], &values[2]) != 3) values[0] = values[1] = values[2] = 0;
    std::fclose(f);
  }
  const int picked = oc == EGetAccelerometerXData ? values[1] : oc == EGetAccelerometerYData ? values[0] : values[2];
  return NRaw::fromDouble(static_cast<float>(picked) / 1000.0);
}

void component(native::Context& cx) {
  const NFixed v = getAccelerationComponent(cx.op);
  native::pushResult(cx.state, v.low());
  native::pushResult(cx.state, v.high());
}

const native::Operation kRows[] = {
    {EGetAccelerometerXData, "x", component, "-> fixed"},
    {EGetAccelerometerYData, "y", component, "-> fixed"},
    {EGetAccelerometerZData, "z", component, "-> fixed"},
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kAccelerometerOperations, kRows);

NERIM::Extension* createAccelerometer(MVMCallbackInterface*, FrameworkServices* host) {
  return new BuiltIn(*extensionInfo(ID_ACCELEROMETER), host);
}

}  // namespace ext
