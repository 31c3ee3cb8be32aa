; Counted loop summing integers, folded below 10^9 (as loop.lua).
.include "runtime.asm"
.method main export="main" locals=2
  PUSH_IMM32 0                ; slot 1: s
  PUSH_IMM32 1                ; slot 2: i
top:
  LOAD_LOCAL -1
  PUSH_IMM32 100000000
  CMP_LE
  JUMP_IF_FALSE done
  ADDR_LOCAL -2
  LOAD_LOCAL -2
  ADD_AT                      ; s += i
  LOAD_LOCAL -2
  PUSH_IMM32 1000000000
  CMP_GT
  JUMP_IF_FALSE next
  ADDR_LOCAL -2
  PUSH_IMM32 1000000000
  SUB_AT
next:
  ADDR_LOCAL -1
  INC_AT                      ; i += 1
  JUMP top
done:
  LOAD_LOCAL -2
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -2
  RETURN 0, 1
