; Measuring text hands the toolkit a copy of it, which counts against the
; host-memory limit while it lives: a string that fits under the limit by
; itself cannot be measured once the copy would pass it (code 6, caught).
; args: --memory-limit 500000
; expect: built
; expect: InvalidArgumentException: Host memory limit reached
; expect: short text measured
.include "runtime.asm"

.method main export="main"
  PUSH_STRING_CELL "ab"
  PUSH_IMM32 75000
  NATIVE_CALL String repeated   ; 150,000 units: 300,000 bytes
  PUSH_STRING_CELL "built"
  NATIVE_CALL Debug 1
  TRY Throwable, caught
  NATIVE_CALL System 10
  LOAD_LOCAL -2
  NATIVE_CALL Font 4
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  JUMP short
caught:
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
short:                   ; a short text still measures
  NATIVE_CALL System 10
  PUSH_STRING_CELL "x"
  NATIVE_CALL Font 4
  PUSH_IMM32 0
  CMP_GT
  JUMP_IF_FALSE done
  PUSH_STRING_CELL "short text measured"
  NATIVE_CALL Debug 1
done:
  RESERVE -1
  RETURN 0, 1
