// The torch against a stand-in camera: the exact control requests, when
// the device is opened and closed, and every failure message.
#include "ExtensionTestSupport.h"
#include "VideoControl.h"

#include <cerrno>
#include <linux/videodev2.h>

namespace {

// A camera with one torch control; failures on demand.
class FakeCamera : public VideoControl {
 public:
  int open(const char* path) override {
    openedPath = path;
    if (openError) return errno = openError, -1;
    ++opens;
    return 77;
  }
  int control(int fd, unsigned long request, v4l2_ext_controls* c) override {
    EXPECT_EQ(fd, 77);
    EXPECT_EQ(c->ctrl_class, 0x009A0000u);
    EXPECT_EQ(c->count, 1u);
    EXPECT_EQ(c->controls[0].id, 0x009A0910u);
    requests.push_back(request);
    if (controlError) return errno = controlError, -1;
    if (request == VIDIOC_S_EXT_CTRLS) torch = c->controls[0].value;
    else c->controls[0].value = torch;
    return 0;
  }
  void close(int fd) override {
    EXPECT_EQ(fd, 77);
    ++closes;
  }
  int opens = 0, closes = 0, openError = 0, controlError = 0, torch = 0;
  std::string openedPath;
  std::vector<unsigned long> requests;
};

class Torch : public ::testing::Test {
 protected:
  void SetUp() override { setVideoControl(&camera); }
  void TearDown() override { setVideoControl(nullptr); }
  RunResult run(const std::string& body) {
    ExtensionRun r(mainWith(body));
    return r.run();
  }
  FakeCamera camera;
};

}  // namespace

TEST_F(Torch, OnStateOffKeepsTheDeviceOpenUntilOff) {
  const RunResult res = run(
      "  EXTENSION_CALL 36, 1\n  EXTENSION_CALL 36, 3\n  CALL log_int\n"
      "  EXTENSION_CALL 36, 2\n  EXTENSION_CALL 36, 3\n  CALL log_int");
  EXPECT_EQ(res.error, "");
  EXPECT_EQ(res.logs, (std::vector<std::string>{"1", "0"}));
  EXPECT_EQ(camera.openedPath, "/dev/video0");
  // Open for "on", kept for the read; closed by "off"; opened again for the
  // read, which finds it off and closes it.
  EXPECT_EQ(camera.opens, 2);
  EXPECT_EQ(camera.closes, 2);
  EXPECT_EQ(camera.requests, (std::vector<unsigned long>{VIDIOC_S_EXT_CTRLS, VIDIOC_G_EXT_CTRLS,
                                                         VIDIOC_S_EXT_CTRLS, VIDIOC_G_EXT_CTRLS}));
}

TEST_F(Torch, OffWhenClosedOpensSetsAndClosesAgain) {
  const RunResult res = run("  EXTENSION_CALL 36, 2");
  EXPECT_EQ(res.error, "");
  EXPECT_EQ(camera.opens, 1);
  EXPECT_EQ(camera.closes, 1);
  EXPECT_EQ(camera.torch, 0);
}

TEST_F(Torch, DeviceTakesTheRootPrefix) {
  setenv("MCB_DEVICE_ROOT", "/tmp/devices/", 1);
  run("  EXTENSION_CALL 36, 1");
  unsetenv("MCB_DEVICE_ROOT");
  EXPECT_EQ(camera.openedPath, "/tmp/devices/dev/video0");
}

TEST_F(Torch, FailuresNameTheStepAndTheSystemsReason) {
  camera.openError = ENOENT;
  EXPECT_EQ(run("  EXTENSION_CALL 36, 3").error,
            "RuntimeException: Torch: Failed to open video device: /dev/video0: No such file or directory");
  camera.openError = 0;
  camera.controlError = EBUSY;
  EXPECT_EQ(run("  EXTENSION_CALL 36, 1").error,
            "RuntimeException: Torch: Failed to set torch state to ON: Device or resource busy");
  EXPECT_EQ(run("  EXTENSION_CALL 36, 2").error,
            "RuntimeException: Torch: Failed to set torch state to OFF: Device or resource busy");
  EXPECT_EQ(run("  EXTENSION_CALL 36, 3").error, "RuntimeException: Torch: Failed to fetch torch state: Device or resource busy");
  // Each failed run's device was closed when its manager went.
  EXPECT_EQ(camera.opens, camera.closes);
}
