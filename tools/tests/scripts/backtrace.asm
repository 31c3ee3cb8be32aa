; A FATAL error names the method and source line of every active call.
.include "runtime.asm"

.method inner params=1
  LOAD_LOCAL -2
  DEREF                  ; an integer used as an address
  RESERVE -1
  RETURN 0, 2

.method middle params=1
  LOAD_LOCAL -2
  CALL inner
  RETURN 0, 2

.method main export="main"
  PUSH_IMM32 12345
  CALL middle
  RETURN 0, 1

; expect fatal: RuntimeException: Invalid address
; expect stderr:   at inner (backtrace.asm:6)
; expect stderr:   at middle (backtrace.asm:12)
; expect stderr:   at main (backtrace.asm:17)
