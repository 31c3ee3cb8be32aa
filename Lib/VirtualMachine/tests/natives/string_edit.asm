; The String group's in-place edits and new strings, and a range error
; caught as code 5.
.include "runtime.asm"

.method main export="main" locals=1 localrefs=1
  PUSH_STRING_CELL "Hello hello"   ; slot 1: s
  LOAD_LOCAL -1
  PUSH_STRING_CELL "HELLO"
  PUSH_STRING_CELL "bye"
  NATIVE_CALL String replaceAll
  LOAD_LOCAL -1
  NATIVE_CALL Debug log            ; expect: bye bye
  LOAD_LOCAL -1
  PUSH_STRING_CELL "bye"
  NATIVE_CALL String removeFirst
  LOAD_LOCAL -1
  NATIVE_CALL Debug log            ; expect:  bye
  LOAD_LOCAL -1
  PUSH_IMM32 1
  PUSH_IMM32 -1                    ; from 1 to the end
  NATIVE_CALL String substring
  NATIVE_CALL Debug log            ; expect: bye
  LOAD_LOCAL -1
  PUSH_IMM32 33                    ; '!'
  NATIVE_CALL String appendChar
  LOAD_LOCAL -1
  NATIVE_CALL String length
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 5
  TRY any, bad
  LOAD_LOCAL -1
  PUSH_IMM32 -1                    ; a negative first: code 5
  PUSH_IMM32 2
  NATIVE_CALL String substring
  END_TRY -1
  RESERVE -1
  JUMP after
bad:
  FIELD_ADDR 1
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 5
after:
  RESERVE -1
  RETURN 0, 1
