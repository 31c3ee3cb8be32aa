; A throw no handler catches names where it was thrown (for a converted
; error: where it was raised) and the calls that led there, before the
; image's own hook logs it.
.include "runtime.asm"

.method divide params=2
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  DIV
  RETURN 1, 4

.method explicit
  ALLOC CLASS_OBJECT, 3
  DUP
  SET_CLASS Throwable
  DUP
  FIELD_ADDR 2
  PUSH_STRING_CELL "thrown on purpose"
  STORE_WORD
  THROW
  RETURN 0, 1

.method main export="main"
  TRY any, caught
  PUSH_IMM32 7
  PUSH_IMM32 0
  CALL divide
  END_TRY -1
  JUMP next
caught:
  RESERVE -1
next:
  CALL explicit
  RETURN 0, 1

; expect stderr: Uncaught exception: Throwable (class 1)
; expect stderr:   at explicit (uncaught.asm:20)
; expect stderr:   at main (uncaught.asm:33)
; expect: Uncaught exception
; expect: thrown on purpose
