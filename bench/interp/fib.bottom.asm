; fib in the other common shape: the test inverted with the base case at the
; bottom, both calls' results kept on the stack and the result set by
; load-operate-store.
.include "runtime.asm"

; fib(n): result slot, n, return address.
.method fib params=1 results=1
  LOAD_LOCAL -2
  PUSH_IMM32 1
  CMP_GT
  JUMP_IF_FALSE small         ; n > 1
  PUSH_IMM32 0
  LOAD_LOCAL -3
  PUSH_IMM32 1
  SUB
  CALL fib                    ; fib(n - 1)
  PUSH_IMM32 0
  LOAD_LOCAL -4
  PUSH_IMM32 2
  SUB
  CALL fib                    ; fib(n - 2)
  ADDR_LOCAL -5
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  ADD
  STORE_WORD                  ; result = fib(n - 1) + fib(n - 2)
  RESERVE -2
  RETURN 0, 2
small:
  ADDR_LOCAL -3
  LOAD_LOCAL -3
  STORE_WORD                  ; result = n
  RETURN 0, 2

.include "fib.inc"
