; The instruction budget ends an endless loop with FATAL.
; args: --budget 1000
; expect: looping
; expect fatal: RuntimeException: Instruction budget exhausted
.include "runtime.asm"
.method main export="main"
  PUSH_STRING_CELL "looping"
  NATIVE_CALL Debug 1
forever:
  JUMP forever
