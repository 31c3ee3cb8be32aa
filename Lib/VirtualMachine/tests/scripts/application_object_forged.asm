; The application object must be a live block: the address of one the image
; freed is refused before it becomes a root (a root there would have the
; next collection mark a free block), and the run ends with code 11.
; expect: live object set
; expect fatal: RuntimeException: Invalid address
.include "runtime.asm"
.method main export="main"
  ALLOC CLASS_OBJECT, 2
  DUP
  SET_CLASS Object
  NATIVE_CALL System 5
  PUSH_STRING_CELL "live object set"
  NATIVE_CALL Debug 1
  ALLOC CLASS_OBJECT, 2
  DUP
  SET_CLASS Object
  DUP
  FREE
  NATIVE_CALL System 5   ; the freed block's address
  PUSH_STRING_CELL "forged object set"
  NATIVE_CALL Debug 1
  RETURN 0, 1
