; strings in the other common shape: loop conditions at the bottom, the
; counters by add-and-store and the checksum by load-operate-store around
; the natives' results instead of ADD_AT.
.include "runtime.asm"

; Slots: 1 check, 2 r, 3 s, 4 i, 5 t (a number's text), 6 v (the pieces),
; 7 pieces, 8 j, 9 len.
.method main export="main" locals=9 localrefs=3,5,6
  PUSH_IMM32 0                ; check
  PUSH_IMM32 1                ; r
  RESERVE 7
  JUMP round_test
round:
  ADDR_LOCAL -7
  PUSH_STRING_CELL ""
  STORE_WORD                  ; s = ""
  ADDR_LOCAL -6
  PUSH_IMM32 1
  STORE_WORD                  ; i = 1
build:
  ADDR_LOCAL -5
  LOAD_LOCAL -7
  LOAD_LOCAL -10
  MUL
  INT_TO_STRING
  BOX
  STORE_WORD                  ; t = tostring(i * r)
  LOAD_LOCAL -7
  LOAD_LOCAL -6
  NATIVE_CALL String 62       ; s += t
  LOAD_LOCAL -5
  FREE_INDIRECT               ; t is dead
  LOAD_LOCAL -7
  PUSH_IMM32 59
  NATIVE_CALL String 63       ; s += ';'
  ADDR_LOCAL -6
  LOAD_LOCAL -7
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; i = i + 1
  LOAD_LOCAL -6
  PUSH_IMM32 2000
  CMP_GT
  JUMP_IF_FALSE build
  ADDR_LOCAL -9
  LOAD_LOCAL -10
  LOAD_LOCAL -9
  PUSH_IMM32 55
  NATIVE_CALL String 40
  ADD
  STORE_WORD                  ; check = check + count of '7'
  ADDR_LOCAL -9
  LOAD_LOCAL -10
  LOAD_LOCAL -9
  NATIVE_CALL String 10
  ADD
  STORE_WORD                  ; check = check + #s
  ADDR_LOCAL -4
  LOAD_LOCAL -8
  PUSH_IMM32 59
  NATIVE_CALL String 52
  STORE_WORD                  ; v = split(s, ';')
  ADDR_LOCAL -3
  LOAD_LOCAL -5
  NATIVE_CALL RefVector 11
  STORE_WORD                  ; pieces = #v
  ADDR_LOCAL -9
  LOAD_LOCAL -10
  LOAD_LOCAL -5
  ADD
  STORE_WORD                  ; check = check + pieces
  ADDR_LOCAL -1
  PUSH_IMM32 0
  STORE_WORD                  ; len = 0
  ADDR_LOCAL -2
  PUSH_IMM32 0
  STORE_WORD                  ; j = 0
  JUMP piece_test
piece:
  LOAD_LOCAL -4
  LOAD_LOCAL -3
  NATIVE_CALL RefVector 8     ; v[j]
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  NATIVE_CALL String 10
  ADD
  STORE_WORD                  ; len = len + #v[j]
  FREE_INDIRECT               ; the piece is dead
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; j = j + 1
piece_test:
  LOAD_LOCAL -2
  LOAD_LOCAL -4
  CMP_GE
  JUMP_IF_FALSE piece
  ADDR_LOCAL -9
  LOAD_LOCAL -10
  LOAD_LOCAL -3
  ADD
  STORE_WORD                  ; check = check + len
  LOAD_LOCAL -4
  PUSH_IMM32 0
  NATIVE_CALL RefVector 7     ; the element block (v is never empty here)
  LOAD_LOCAL -5
  FREE_INDIRECT               ; the vector and its cell
  FREE                        ; then its element block
  LOAD_LOCAL -7
  FREE_INDIRECT               ; s
  ADDR_LOCAL -8
  LOAD_LOCAL -9
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; r = r + 1
round_test:
  LOAD_LOCAL -8
  PUSH_IMM32 1000
  CMP_GT
  JUMP_IF_FALSE round
  LOAD_LOCAL -9
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -9
  RETURN 0, 1
