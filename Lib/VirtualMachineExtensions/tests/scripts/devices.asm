; Accelerometer and camera cover from a device tree of the test's own, called
; by numbers and by names.
; env: MCB_DEVICE_ROOT={app}/devices
; file: devices/sys/class/i2c-adapter/i2c-3/3-001d/coord: -18 972 36\n
; file: devices/sys/devices/platform/gpio-switch/cam_shutter/state: open\n
.include "runtime.asm"
.include "ext.inc"

.method main export="main"
  ; The file holds y x z in milli-g; each axis is the fixed-point value
  ; nearest 0.972, -0.018, 0.036 toward zero.
  EXTENSION_CALL 20, 11
  CALL log_fixed
; expect: 0.97199999983422458171844482421875
  EXTENSION_CALL 20, 12
  CALL log_fixed
; expect: -0.01799999992363154888153076171875
  EXTENSION_CALL 20, 13
  CALL log_fixed
; expect: 0.0359999998472630977630615234375
  ; Opcode 4 answers a plain 1 for exactly "open\n".
  EXTENSION_CALL 36, 4
  CALL log_int
; expect: 1
  ; The same operations by name.
  EXTENSION_CALL Accelerometer x
  CALL log_fixed   ; expect: 0.97199999983422458171844482421875
  EXTENSION_CALL Accelerometer y
  CALL log_fixed   ; expect: -0.01799999992363154888153076171875
  EXTENSION_CALL Accelerometer z
  CALL log_fixed   ; expect: 0.0359999998472630977630615234375
  EXTENSION_CALL Torch isCoverOpen
  CALL log_int     ; expect: 1
  RETURN 0, 1
