; The smallest application: logs one line.
; expect: Hello from the bytecode
.include "runtime.asm"
.tag "hello"

.method main export="main"
  PUSH_STRING_CELL "Hello from the bytecode"
  NATIVE_CALL Debug 1
  RETURN 0, 1
