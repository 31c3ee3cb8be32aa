#pragma once
// The calls the torch makes on the camera's video device, behind one seam
// so a test can stand in for the camera. The default is the system's own
// open/ioctl/close.
struct v4l2_ext_controls;

class VideoControl {
 public:
  virtual ~VideoControl() {}
  // As open(2), read-only: a descriptor, or -1 with errno set.
  virtual int open(const char* path) = 0;
  // As ioctl(2) with the extended-controls requests: 0, or -1 with errno set.
  virtual int control(int fd, unsigned long request, v4l2_ext_controls* controls) = 0;
  virtual void close(int fd) = 0;
};

// The one in use; setVideoControl(nullptr) restores the system's.
VideoControl& videoControl();
void setVideoControl(VideoControl* control);
