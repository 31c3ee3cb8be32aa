; Trees built by insertion stay within the depth the host can free: a
; chain of 1100 elements, each inserted into the previous, takes 1023
; insertions below the first element and refuses the rest.
.include "runtime.asm"
.include "ext.inc"
.include "xml.inc"

; [] -> [new element holder] of the parser in g1
.method element_of_parser params=0 results=1
  ADDR_LOCAL -2
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "e"
  PUSH_STRING_CELL ""
  PUSH_IMM32 1
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  EXTENSION_CALL XMLParser createNode
  CALL wrap
  STORE_WORD
  RETURN 0, 1

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 1
  CALL put
  PUSH_STRING_CELL ""
  EXTENSION_CALL XMLParser fromText
  ; g2: the innermost element so far; g3 (a plain word): accepted; g4: the loop counter.
  PUSH_IMM32 0
  CALL element_of_parser
  PUSH_IMM32 2
  CALL put
loop:
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 1100
  CMP_LT
  JUMP_IF_FALSE done
  PUSH_IMM32 0
  CALL element_of_parser        ; [child]
  PUSH_IMM32 2
  CALL get                      ; [child parent]
  LOAD_LOCAL -2                 ; [child parent child]
  PUSH_IMM32 0
  EXTENSION_CALL XMLParser insert         ; [child answer]
  JUMP_IF_FALSE refused
  PUSH_IMM32 2
  CALL put                      ; the child is the new innermost
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 1
  ADD
  PUSH_IMM32 3
  CALL put
  JUMP next
refused:
  RESERVE -1
next:
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 1
  ADD
  PUSH_IMM32 4
  CALL put
  JUMP loop
done:
  PUSH_IMM32 3
  CALL get
  CALL log_int
; expect: 1023
  RETURN 0, 1
