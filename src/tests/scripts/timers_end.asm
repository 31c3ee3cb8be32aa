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
.globals 16
; word 1 the fast timer, word 2 the slow one, word 3 the fast count
.class Globals super=Object refs=1 2

; [timer cell] -> [] : starts it with itself as the listener
.method start params=2 paramrefs=0
  LOAD_LOCAL -3
  NATIVE_CALL Timer 1
  LOAD_LOCAL -3
  LOAD_LOCAL -1
  LOAD_LOCAL -4
  NATIVE_CALL Timer 2
  RETURN 0, 3

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ALLOC REF_HOLDER, 1
  PUSH_GLOBALS
  FIELD_ADDR 1
  LOAD_LOCAL -2
  STORE_WORD
  PUSH_IMM32 40
  CALL start
  ALLOC REF_HOLDER, 1
  PUSH_GLOBALS
  FIELD_ADDR 2
  LOAD_LOCAL -2
  STORE_WORD
  PUSH_IMM32 0
  CALL start
  ALLOC REF_HOLDER, 1                ; dropped at once
  PUSH_IMM32 0
  CALL start
  RETURN 0, 1

; The slow timer fires first (delay 0) and stops after its second event,
; which comes after the fast one stopped.
.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 2
  DEREF
  CMP_EQ
  JUMP_IF_FALSE tick_fast
  PUSH_GLOBALS
  FIELD_ADDR 3
  DEREF
  JUMP_IF_FALSE tick_first_slow
  PUSH_STRING_CELL "slow"
  NATIVE_CALL Debug 1
  PUSH_STRING_CELL "last"
  NATIVE_CALL Debug 1
  PUSH_GLOBALS
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Timer 3
  RETURN 0, 2
tick_first_slow:
  PUSH_STRING_CELL "slow"
  NATIVE_CALL Debug 1
  PUSH_GLOBALS
  FIELD_ADDR 2
  DEREF
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
  PUSH_GLOBALS
  FIELD_ADDR 1
  DEREF
  NATIVE_CALL Timer 3
  PUSH_GLOBALS
  FIELD_ADDR 2
  DEREF
  PUSH_IMM32 0
  NATIVE_CALL Timer 4                ; the slow timer comes back now
  RETURN 0, 2
