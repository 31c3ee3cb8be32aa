; loop in the other common shape: the condition at the bottom, locals
; updated by load-operate-store and the counter by add-and-store.
.include "runtime.asm"
.method main export="main" locals=2
  PUSH_IMM32 0                ; slot 1: s
  PUSH_IMM32 1                ; slot 2: i
  JUMP test
body:
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  ADD
  STORE_WORD                  ; s = s + i
  LOAD_LOCAL -2
  PUSH_IMM32 1000000000
  CMP_GT
  JUMP_IF_FALSE next
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1000000000
  SUB
  STORE_WORD                  ; s = s - 10^9
next:
  ADDR_LOCAL -1
  LOAD_LOCAL -2
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; i = i + 1
test:
  LOAD_LOCAL -1
  PUSH_IMM32 100000000
  CMP_GT
  JUMP_IF_FALSE body
  LOAD_LOCAL -2
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -2
  RETURN 0, 1
