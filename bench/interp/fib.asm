; Recursive fib(35) (as fib.lua).
.include "runtime.asm"

; fib(n): result slot, n, return address.
.method fib params=1 results=1
  LOAD_LOCAL -2
  PUSH_IMM32 2
  CMP_LT
  JUMP_IF_FALSE recurse
  ADDR_LOCAL -3
  LOAD_LOCAL -3
  STORE_WORD                  ; result = n
  RETURN 0, 2
recurse:
  ADDR_LOCAL -3
  PUSH_IMM32 0
  LOAD_LOCAL -4
  PUSH_IMM32 1
  SUB
  CALL fib
  PUSH_IMM32 0
  LOAD_LOCAL -5
  PUSH_IMM32 2
  SUB
  CALL fib
  ADD
  STORE_WORD                  ; result = fib(n - 1) + fib(n - 2)
  RETURN 0, 2

.include "fib.inc"
