; The String group's search and count families: with and without the case
; flag, with ranges and characters, and the two-slot (index, length) result.
.include "runtime.asm"

.method main export="main" locals=1 localrefs=1
  PUSH_STRING_CELL "Hello hello"   ; slot 1: s
  LOAD_LOCAL -1
  PUSH_STRING_CELL "hello"
  PUSH_IMM32 1
  NATIVE_CALL String indexOfWithFlag
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 6
  LOAD_LOCAL -1
  PUSH_STRING_CELL "hello"
  PUSH_IMM32 0
  NATIVE_CALL String indexOfWithFlag
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 0
  LOAD_LOCAL -1
  PUSH_STRING_CELL "HELLO"
  PUSH_IMM32 1
  PUSH_IMM32 -1                    ; from 1 to the end
  NATIVE_CALL String indexOfInRange
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 6
  LOAD_LOCAL -1
  PUSH_STRING_CELL "LLO"
  NATIVE_CALL String indexOf       ; (index, length of the text)
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 3
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 2
  LOAD_LOCAL -1
  PUSH_IMM32 108                   ; 'l'
  NATIVE_CALL String lastIndexOfChar
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 9
  LOAD_LOCAL -1
  PUSH_STRING_CELL "HELLO"
  NATIVE_CALL String count
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 2
  LOAD_LOCAL -1
  PUSH_IMM32 72                    ; 'H', case counts
  PUSH_IMM32 1
  NATIVE_CALL String countCharWithFlag
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 1
  LOAD_LOCAL -1
  PUSH_IMM32 0
  PUSH_IMM32 5
  PUSH_IMM32 0
  NATIVE_CALL String mostFrequentInRangeWithFlag
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug log            ; expect: 108
  RESERVE -1
  RETURN 0, 1
