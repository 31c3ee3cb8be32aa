; FREE of the globals object is refused: the collector marks from it.
; expect: freeing the globals
; expect fatal: RuntimeException: Invalid address
.include "runtime.asm"
.globals 16
.method main export="main"
  PUSH_STRING_CELL "freeing the globals"
  NATIVE_CALL Debug 1
  PUSH_GLOBALS
  FREE
  PUSH_STRING_CELL "freed"
  NATIVE_CALL Debug 1
  RETURN 0, 1
