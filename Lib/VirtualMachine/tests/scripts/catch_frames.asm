; A handler that catches a throw from its callees drops their frame
; records: 20,000 such catches in one call do not run out of them.
; expect: 20000 catches
.include "runtime.asm"

.method thrower
  PUSH_IMM32 1
  PUSH_IMM32 0
  DIV                    ; converted, thrown by the runtime hook
  RETURN 0, 1

.method nested
  CALL thrower
  RETURN 0, 1

.method main export="main"
  PUSH_IMM32 0           ; the counter
loop:
  LOAD_LOCAL -1
  PUSH_IMM32 20000
  CMP_LT
  JUMP_IF_FALSE done
  TRY Throwable, caught
  CALL nested
  END_TRY -1
caught:
  RESERVE -1             ; the throwable
  ADDR_LOCAL -1
  INC_AT
  JUMP loop
done:
  INT_TO_STRING
  BOX
  DUP
  PUSH_STRING_CELL " catches"
  NATIVE_CALL String 62  ; append, in place
  NATIVE_CALL Debug 1
  RETURN 0, 1
