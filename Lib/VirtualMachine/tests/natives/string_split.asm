; Splitting gives a vector of new strings (an empty last piece is dropped).
.include "runtime.asm"

.method main export="main" locals=1 localrefs=1
  PUSH_STRING_CELL "a;b;;c;"
  PUSH_IMM32 59                    ; ';'
  NATIVE_CALL String splitAtChar   ; slot 1: the pieces
  LOAD_LOCAL -1
  NATIVE_CALL RefVector count
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 3
  LOAD_LOCAL -1
  PUSH_IMM32 2
  NATIVE_CALL RefVector get
  NATIVE_CALL Debug log            ; expect: c
  RESERVE -1
  RETURN 0, 1
