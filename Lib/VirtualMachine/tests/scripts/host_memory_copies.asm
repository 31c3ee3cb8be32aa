; Host copies that natives make of image data count against the host-memory
; limit while they live: appending a byte vector to itself copies it first,
; so doubling one ends with code 6 once that copy would pass the limit, though
; the vector itself lives in the heap. The image catches it and goes on.
; args: --memory-limit 1000000
; expect: InvalidArgumentException: Host memory limit reached
; expect: 1048576 bytes
.include "runtime.asm"

.method main export="main" locals=2 localvectors=1:data
  RESERVE 2              ; the vector value
  ADDR_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 1
  NATIVE_CALL ByteVector 3   ; one zero byte
  TRY Throwable, caught
double:
  ADDR_LOCAL -2
  ADDR_LOCAL -3
  NATIVE_CALL ByteVector 18  ; v += v
  JUMP double
caught:
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
  ADDR_LOCAL -2
  NATIVE_CALL ByteVector 11
  INT_TO_STRING
  BOX
  DUP
  PUSH_STRING_CELL " bytes"
  NATIVE_CALL String 62
  NATIVE_CALL Debug 1
  RESERVE -2
  RETURN 0, 1
