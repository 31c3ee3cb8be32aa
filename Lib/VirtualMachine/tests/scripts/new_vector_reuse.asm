; NEW_VECTOR into a freed block: the vector is carved where the freed block
; lay, so the target address is now sealed heap metadata or the vector
; itself. The store is refused instead of overwriting them; the heap still
; verifies.
; expect: before
; expect fatal: RuntimeException: Invalid address
.include "runtime.asm"

.method main export="main"
  PUSH_STRING_CELL "before"
  NATIVE_CALL Debug 1
  ALLOC LEAF, 8          ; a block X ...
  DUP
  FREE                   ; ... freed, its address still on the stack
  NEW_VECTOR 4           ; the vector value goes to X
  PUSH_STRING_CELL "after"
  NATIVE_CALL Debug 1
  RETURN 0, 1
