; --trace=METHOD prints each instruction of that method with the stack top
; (the top slot last) before it runs; other code runs untraced.
.include "runtime.asm"

.method work
  PUSH_IMM32 3
  PUSH_IMM32 4
  PUSH_IMM32 5
  MUL
  ADD
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log
  RETURN 0, 1

.method main export="main"
  CALL work
  CALL work
  RETURN 0, 1

; args: --trace=work
; expect: 23
; expect: 23
; expect stderr: TRACE: work (trace.asm:9): MUL | sp 4: 3 4 5
; expect stderr: TRACE: work (trace.asm:9): MUL | sp 4: 3 4 5
