; Starting a running timer again starts another host timer; the live
; timers of one image are capped at 4,096, beyond which code 6 is raised
; and can be caught.
; args: --time-limit 20000
; expect: InvalidArgumentException: Too many timers
; expect: 4096 timers
; expect status: 0
.include "runtime.asm"
.include "timers.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 1
  PUSH_IMM32 100000
  CALL start_global_timer
  PUSH_IMM32 1           ; live timers
  TRY Throwable, caught
again:
  PUSH_IMM32 0
  PUSH_IMM32 1
  CALL global_timer      ; its cell
  LOAD_LOCAL -1          ; the listener
  PUSH_IMM32 100000
  NATIVE_CALL Timer 2    ; one more host timer
  ADDR_LOCAL -1
  INC_AT
  JUMP again
caught:
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
  INT_TO_STRING
  BOX
  DUP
  PUSH_STRING_CELL " timers"
  NATIVE_CALL String 62
  NATIVE_CALL Debug 1
  PUSH_STRING_CELL "done"
  NATIVE_CALL System 2   ; end the run with its timers still live
  RETURN 0, 1
