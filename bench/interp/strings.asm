; String building, counting and splitting (as strings.lua). Temporaries are
; freed as compiled code would: the machine collects only between top-level
; calls, so one main running every round would otherwise keep them all.
.include "runtime.asm"

; Slots: 1 check, 2 r, 3 s, 4 i, 5 t (a number's text), 6 v (the pieces),
; 7 pieces, 8 j, 9 len.
.method main export="main" locals=9 localrefs=3,5,6
  PUSH_IMM32 0                ; check
  PUSH_IMM32 1                ; r
  RESERVE 7
round:
  LOAD_LOCAL -8
  PUSH_IMM32 1000
  CMP_LE
  JUMP_IF_FALSE done
  ADDR_LOCAL -7
  PUSH_STRING_CELL ""
  STORE_WORD                  ; s = ""
  ADDR_LOCAL -6
  PUSH_IMM32 1
  STORE_WORD                  ; i = 1
build:
  LOAD_LOCAL -6
  PUSH_IMM32 2000
  CMP_LE
  JUMP_IF_FALSE built
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
  INC_AT
  JUMP build
built:
  ADDR_LOCAL -9
  LOAD_LOCAL -8
  PUSH_IMM32 55
  NATIVE_CALL String 40
  ADD_AT                      ; check += count of '7'
  ADDR_LOCAL -9
  LOAD_LOCAL -8
  NATIVE_CALL String 10
  ADD_AT                      ; check += #s
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
  LOAD_LOCAL -4
  ADD_AT                      ; check += pieces
  ADDR_LOCAL -1
  PUSH_IMM32 0
  STORE_WORD                  ; len = 0
  ADDR_LOCAL -2
  PUSH_IMM32 0
  STORE_WORD                  ; j = 0
piece:
  LOAD_LOCAL -2
  LOAD_LOCAL -4
  CMP_LT
  JUMP_IF_FALSE pieces_done
  LOAD_LOCAL -4
  LOAD_LOCAL -3
  NATIVE_CALL RefVector 8     ; v[j]
  ADDR_LOCAL -2
  LOAD_LOCAL -2
  NATIVE_CALL String 10
  ADD_AT                      ; len += #v[j]
  FREE_INDIRECT               ; the piece is dead
  ADDR_LOCAL -2
  INC_AT
  JUMP piece
pieces_done:
  ADDR_LOCAL -9
  LOAD_LOCAL -2
  ADD_AT                      ; check += len
  LOAD_LOCAL -4
  PUSH_IMM32 0
  NATIVE_CALL RefVector 7     ; the element block (v is never empty here)
  LOAD_LOCAL -5
  FREE_INDIRECT               ; the vector and its cell
  FREE                        ; then its element block
  LOAD_LOCAL -7
  FREE_INDIRECT               ; s
  ADDR_LOCAL -8
  INC_AT
  JUMP round
done:
  LOAD_LOCAL -9
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -9
  RETURN 0, 1
