; Two timers take turns; a third, whose object nothing keeps, is stopped
; when the collector frees its handle. When the last timer stops the run
; ends by itself, status 0, the heap checked at the end.
; expect: slow
; expect: fast 1
; expect: fast 2
; expect: fast 3
; expect: slow
; expect: last
.include "runtime.asm"
.include "timers.inc"
; globals word 1: the fast timer, word 2: the slow one, word 3: the fast count

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 1
  PUSH_IMM32 40
  CALL start_global_timer
  PUSH_IMM32 2
  PUSH_IMM32 0
  CALL start_global_timer
  ALLOC REF_HOLDER, 1                ; dropped at once
  PUSH_IMM32 0
  CALL start_timer
  RETURN 0, 1

; The slow timer fires first (delay 0), waits while the fast one ticks
; three times, and stops after its second event.
.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  LOAD_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 2
  CALL global_timer
  CMP_EQ
  JUMP_IF_FALSE tick_fast
  PUSH_STRING_CELL "slow"
  NATIVE_CALL Debug 1
  PUSH_IMM32 0
  PUSH_IMM32 2
  CALL global_timer
  PUSH_GLOBALS
  FIELD_ADDR 3
  DEREF
  JUMP_IF_FALSE tick_first_slow
  PUSH_STRING_CELL "last"
  NATIVE_CALL Debug 1
  NATIVE_CALL Timer 3
  RETURN 0, 2
tick_first_slow:
  PUSH_IMM32 1000000
  NATIVE_CALL Timer 4                ; far off: the fast timer runs out first
  RETURN 0, 2
tick_fast:
  PUSH_GLOBALS
  FIELD_ADDR 3
  INC_AT
  PUSH_STRING_CELL "fast "
  PUSH_GLOBALS
  FIELD_ADDR 3
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  PUSH_GLOBALS
  FIELD_ADDR 3
  DEREF
  PUSH_IMM32 3
  CMP_LT
  JUMP_IF_FALSE tick_fast_done
  RETURN 0, 2
tick_fast_done:
  PUSH_IMM32 0
  PUSH_IMM32 1
  CALL global_timer
  NATIVE_CALL Timer 3
  PUSH_IMM32 0
  PUSH_IMM32 2
  CALL global_timer
  PUSH_IMM32 0
  NATIVE_CALL Timer 4                ; the slow timer comes back now
  RETURN 0, 2
