; Dropping more slots than the stack holds is an underflow, not an overflow.
.include "runtime.asm"
.method main export="main"
  RESERVE -5
  RETURN 0, 1
; expect fatal: RuntimeException: Stack underflow
; expect stderr:   at main (underflow.asm:4)
