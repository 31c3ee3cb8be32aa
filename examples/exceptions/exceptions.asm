; Errors raised by instructions become exceptions the bytecode catches; an
; exception nobody catches reaches the runtime library, which logs it and
; ends the application.
; expect: dividing 7 by 0
; expect: caught code 3: DivisionByZeroException: Division by zero.
; expect: throwing our own
; expect: Uncaught exception
; expect: out of patience
.include "runtime.asm"
.tag "exceptions"

; divide(a, b) -> a / b. Frame: result, a, b, return address.
.method divide params=2 results=1
  ADDR_LOCAL -4          ; the result slot
  LOAD_LOCAL -4          ; a
  LOAD_LOCAL -4          ; b
  DIV
  STORE_WORD
  RETURN 0, 3

.method main export="main"
  PUSH_STRING_CELL "dividing 7 by 0"
  NATIVE_CALL Debug 1
  TRY Throwable, caught
  PUSH_IMM32 0           ; result
  PUSH_IMM32 7
  PUSH_IMM32 0
  CALL divide
  END_TRY -1
  RESERVE -1
  JUMP next
caught:                  ; the throwable is on the top (slot 1)
  PUSH_STRING_CELL "caught code "
  DUP
  LOAD_LOCAL -3          ; the throwable
  FIELD_ADDR 1
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL String 62  ; append, in place
  DUP
  PUSH_STRING_CELL ": "
  NATIVE_CALL String 62
  DUP
  LOAD_LOCAL -3
  FIELD_ADDR 2
  DEREF                  ; the message cell
  NATIVE_CALL String 62
  NATIVE_CALL Debug 1
  RESERVE -1
next:
  PUSH_STRING_CELL "throwing our own"
  NATIVE_CALL Debug 1
  ALLOC CLASS_OBJECT, 3
  DUP
  SET_CLASS Throwable
  DUP
  FIELD_ADDR 2
  PUSH_STRING_CELL "out of patience"
  STORE_WORD
  THROW
