; The last method has no RETURN: the assembler warns, and at run time the
; machine stops at the end of the code instead of running past it.
.include "runtime.asm"
.method main export="main"
  PUSH_STRING_CELL "last words"
  NATIVE_CALL Debug log
  RESERVE 0
; warning: method 'main' can fall off its end past the end of the code (no RETURN, JUMP or THROW)
; expect: last words
; expect fatal: RuntimeException: Internal error: invalid opcode 125
; expect stderr:   at the end of the code, after main (fall_off.asm:7)
