; Slots by name: .arg names the parameters, .local the slots a method pushes
; first; the assembler counts each distance from the stack depth there, so
; pushes in between do not shift them. .equ names a number.
.include "runtime.asm"
.equ LIMIT 4
.equ STEP 1

; (a, b) -> a * 10 + b, kept in the first parameter's slot
.method combine params=2
.arg a, b
  ADDR_LOCAL a
  LOAD_LOCAL a
  PUSH_IMM32 10
  MUL
  LOAD_LOCAL b
  ADD
  STORE_WORD
  RETURN 0, 2

.method main export="main"
.local i, total
  PUSH_IMM32 0              ; i
  PUSH_IMM32 0              ; total
loop:
  LOAD_LOCAL i
  PUSH_IMM32 LIMIT
  CMP_LT
  JUMP_IF_FALSE done
  ADDR_LOCAL total
  LOAD_LOCAL total
  LOAD_LOCAL i
  CALL combine
  STORE_WORD
  ADDR_LOCAL i
  PUSH_IMM32 STEP
  ADD_AT
  JUMP loop
done:
  LOAD_LOCAL total
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log
  RESERVE -2
  RETURN 0, 1
; total = ((((0*10+0)*10+1)*10+2)*10+3) = 123
; expect: 123
