; A termination request (code 12) ends the run normally: nothing after it
; runs, and a timer already started never fires.
; expect: before
; expect status: 0
.include "runtime.asm"
.include "timers.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 1
  PUSH_IMM32 0
  CALL start_global_timer
  PUSH_STRING_CELL "before"
  NATIVE_CALL Debug 1
  PUSH_STRING_CELL "stop"
  NATIVE_CALL System 2
  PUSH_STRING_CELL "after"
  NATIVE_CALL Debug 1
  RETURN 0, 1

.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  PUSH_STRING_CELL "tick"
  NATIVE_CALL Debug 1
  RETURN 0, 2
