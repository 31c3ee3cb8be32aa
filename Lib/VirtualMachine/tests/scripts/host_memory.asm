; Host memory outside the heap is limited: a string that keeps doubling is
; refused with code 6, which the image catches; the memory it held comes
; back, so the run goes on and can build strings again.
; args: --memory-limit 8000000
; expect: InvalidArgumentException: Host memory limit reached
; expect: still running
.include "runtime.asm"

.method main export="main"
  PUSH_STRING_CELL "x"
  TRY Throwable, caught
double:
  LOAD_LOCAL -1          ; s
  LOAD_LOCAL -2          ; s
  NATIVE_CALL String 62  ; s += s
  JUMP double
caught:                  ; the throwable replaces everything above the handler
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
  RESERVE -1
  PUSH_STRING_CELL "still running"
  NATIVE_CALL Debug 1
  RETURN 0, 1
