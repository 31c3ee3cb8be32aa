; An error the machine passes outward from a timer event ends the run:
; FATAL with the message, status 1, and no further events.
; expect: tick
; expect fatal: RuntimeException: Invalid mem alloc gc code
.include "runtime.asm"
.include "timers.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 1
  PUSH_IMM32 0
  CALL start_global_timer
  RETURN 0, 1

.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  PUSH_STRING_CELL "tick"
  NATIVE_CALL Debug 1
  ALLOC VECTOR, 1                    ; refused by the machine: code 11
  RETURN 0, 2
