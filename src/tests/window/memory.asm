; The window tests' image for the host-memory limit: main asks for a string
; of four megabytes (two bytes a unit), logs whether it got it or the error
; it caught, and exits.
.include "runtime.asm"

.method main export="main"
  TRY Throwable, caught
  PUSH_STRING_CELL "ab"
  PUSH_IMM32 1000000
  NATIVE_CALL String repeated
  PUSH_STRING_CELL "built"
  NATIVE_CALL Debug 1
  NATIVE_CALL System 1
caught:
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
  NATIVE_CALL System 1
  RETURN 0, 1
