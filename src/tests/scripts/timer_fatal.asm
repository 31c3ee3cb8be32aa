; An error the machine passes outward from a timer event ends the run:
; FATAL with the message, status 1, and no further events.
; expect: tick
; expect fatal: RuntimeException: Invalid mem alloc gc code
.include "runtime.asm"
.globals 8
.class Globals super=Object refs=1

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ALLOC REF_HOLDER, 1
  PUSH_GLOBALS
  FIELD_ADDR 1
  LOAD_LOCAL -2
  STORE_WORD
  DUP
  NATIVE_CALL Timer 1
  LOAD_LOCAL -1
  PUSH_IMM32 0
  NATIVE_CALL Timer 2
  RETURN 0, 1

.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  PUSH_STRING_CELL "tick"
  NATIVE_CALL Debug 1
  ALLOC VECTOR, 1                    ; refused by the machine: code 11
  RETURN 0, 2
