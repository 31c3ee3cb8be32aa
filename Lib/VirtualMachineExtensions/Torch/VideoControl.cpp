#include "VideoControl.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class SystemVideoControl : public VideoControl {
 public:
  int open(const char* path) override { return ::open(path, O_RDONLY | O_CLOEXEC); }
  int control(int fd, unsigned long request, v4l2_ext_controls* controls) override {
    return ::ioctl(fd, request, controls);
  }
  void close(int fd) override { ::close(fd); }
};

SystemVideoControl gSystem;
VideoControl* gCurrent = &gSystem;

}  // namespace

VideoControl& videoControl() { return *gCurrent; }
void setVideoControl(VideoControl* control) { gCurrent = control ? control : &gSystem; }
