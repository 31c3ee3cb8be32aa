; The time limit holds while bytecode runs, not only between events: a
; main that never returns is ended.
; args: --time-limit 300
; expect: looping
; expect fatal: RuntimeException: Time limit reached
.include "runtime.asm"
.method main export="main"
  PUSH_STRING_CELL "looping"
  NATIVE_CALL Debug 1
forever:
  JUMP forever
