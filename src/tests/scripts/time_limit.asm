; A timer that never stops: the time limit ends the run with FATAL.
; args: --time-limit 50
; expect: started
; expect fatal: RuntimeException: Time limit reached
.include "runtime.asm"
.include "timers.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 1
  PUSH_IMM32 5
  CALL start_global_timer
  PUSH_STRING_CELL "started"
  NATIVE_CALL Debug 1
  RETURN 0, 1

.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  RETURN 0, 2
