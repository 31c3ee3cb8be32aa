// Torch extension (36): the camera flash as a torch through the video
// device's extended controls, and the camera-cover switch from sysfs.
#include "DevicePaths.h"
#include "Errors.h"
#include "ExtensionTable.h"
#include "NativeHelpers.h"
#include "VideoControl.h"

#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <linux/videodev2.h>

namespace {

const char kVideoDevice[] = "/dev/video0";
const char kCoverState[] = "/sys/devices/platform/gpio-switch/cam_shutter/state";
constexpr TUint32 kCameraClass = 0x009A0000;   // V4L2_CTRL_CLASS_CAMERA
constexpr TUint32 kTorchControl = 0x009A0910;

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

class Torch : public ext::BuiltIn {
 public:
  using BuiltIn::BuiltIn;
  ~Torch() override { closeDevice(); }

  void set(bool on) {
    v4l2_ext_control c{};
    c.id = kTorchControl;
    c.value = on ? 1 : 0;
    if (transfer(VIDIOC_S_EXT_CTRLS, c) != 0)
      raise(ERR_RUNTIME, QStringLiteral("Torch: Failed to set torch state to %1: %2")
                             .arg(QLatin1String(on ? "ON" : "OFF"), systemError(errno)));
  }

  bool get() {
    v4l2_ext_control c{};
    c.id = kTorchControl;
    if (transfer(VIDIOC_G_EXT_CTRLS, c) != 0)
      raise(ERR_RUNTIME, QStringLiteral("Torch: Failed to fetch torch state: ") + systemError(errno));
    return c.value != 0;
  }

  void closeDevice() {
    if (iFd >= 0) videoControl().close(iFd);
    iFd = -1;
  }

 private:
  int transfer(unsigned long request, v4l2_ext_control& c) {
    openDevice();
    v4l2_ext_controls all{};
    all.ctrl_class = kCameraClass;
    all.count = 1;
    all.controls = &c;
    return videoControl().control(iFd, request, &all);
  }

  void openDevice() {
    if (iFd >= 0) return;
    iFd = videoControl().open(devicePath(kVideoDevice).constData());
    if (iFd < 0)
      raise(ERR_RUNTIME, QStringLiteral("Torch: Failed to open video device: %1: %2")
                             .arg(QLatin1String(kVideoDevice), systemError(errno)));
  }

  int iFd = -1;
};

void on(native::Context& cx) { ext::self<Torch>(cx).set(true); }

void off(native::Context& cx) {
  Torch& t = ext::self<Torch>(cx);
  t.set(false);
  t.closeDevice();
}

void state(native::Context& cx) {
  Torch& t = ext::self<Torch>(cx);
  const bool lit = t.get();
  if (!lit) t.closeDevice();
  native::pushResult(cx.state, lit ? 1 : 0);
}

void coverOpen(native::Context& cx) {
  FILE* f = std::fopen(devicePath(kCoverState).constData(), "rb");
  if (!f)
    raise(ERR_RUNTIME, QStringLiteral("Torch: Failed to fetch camera cover state from: %1: %2")
                           .arg(QLatin1String(kCoverState), systemError(errno)));
  char text[20];
  const size_t n = std::fread(text, 1, sizeof(text) - 1, f);
  text[n] = 0;
  std::fclose(f);
  native::pushResult(cx.state, std::strcmp(text, "open\n") == 0 ? 1 : 0);
}

const native::Operation kRows[] = {
#define EXTENSION_OPERATION EXTENSION_ROW
#include "Torch.def"
#undef EXTENSION_OPERATION
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kTorchOperations, kRows);

NERIM::Extension* createTorch(MVMCallbackInterface*, FrameworkServices* host) {
  return new Torch(*extensionInfo(ID_Torch), host);
}

}  // namespace ext
