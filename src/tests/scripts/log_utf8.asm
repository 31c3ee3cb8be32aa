; Log lines reach standard error as UTF-8, beyond Latin-1 too.
; expect: déjà vu
; expect: 世界 ← ok
.include "runtime.asm"
.method main export="main"
  PUSH_STRING_CELL "déjà vu"
  NATIVE_CALL Debug 1
  PUSH_STRING_CELL "世界 ← ok"
  NATIVE_CALL Debug 1
  RETURN 0, 1
