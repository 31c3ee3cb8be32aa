; FREE of a registered root (the application object) is refused, directly
; and through FREE_INDIRECT; a plain object frees as before.
; expect: plain object freed
; expect fatal: RuntimeException: Invalid address
.include "runtime.asm"
.method main export="main"
  ALLOC CLASS_OBJECT, 2
  DUP
  SET_CLASS Object
  FREE
  PUSH_STRING_CELL "plain object freed"
  NATIVE_CALL Debug 1
  ALLOC CLASS_OBJECT, 2
  DUP
  SET_CLASS Object
  DUP
  NATIVE_CALL System 5   ; the application object: a heap root
  BOX                    ; a cell holding it
  FREE_INDIRECT
  PUSH_STRING_CELL "root freed"
  NATIVE_CALL Debug 1
  RETURN 0, 1
