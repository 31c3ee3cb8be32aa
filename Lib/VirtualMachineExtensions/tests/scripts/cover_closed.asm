; The camera cover reads 0 for anything but exactly "open\n"; the torch's
; video device that is no camera fails the control with the system's reason.
; env: MCB_DEVICE_ROOT={app}/devices
; file: devices/sys/devices/platform/gpio-switch/cam_shutter/state: open
; file: devices/dev/video0: not a camera
.include "runtime.asm"
.include "ext.inc"

.method main export="main"
  EXTENSION_CALL Torch isCoverOpen
  CALL log_int
; expect: 0
  EXTENSION_CALL Torch on
; expect fatal: RuntimeException: Torch: Failed to set torch state to ON: Inappropriate ioctl for device
  RETURN 0, 1
