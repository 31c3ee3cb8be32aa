; A tokenizer: scans a line of source text into token objects (numbers,
; names, symbols) linked in a list, then walks the list calling each
; token's virtual weight, counting the kinds in an int vector and freeing
; the tokens as compiled code would (as tokens.lua).
.include "runtime.asm"
.include "tokens.inc"

; Slots: 1-2 the counts vector, 3 &counts[0], 4 line, 5 n, 6 check, 7 r,
; 8 head, 9 i, 10 c, 11 j (a number's value, a name's start, the next token).
.method main export="main" locals=11 localvectors=1:data localrefs=4,8
  RESERVE 2
  ADDR_LOCAL -2
  NEW_VECTOR 4
  ADDR_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 4
  NATIVE_CALL IntVector 3     ; four zero counts
  ADDR_LOCAL -2
  PUSH_IMM32 0
  NATIVE_CALL IntVector 6     ; &counts[0]
  PUSH_STRING_CELL "let alpha = beta * 42 + gamma7 - (delta / 3) ; if x1 < 100 then y = y + 1 end"
  LOAD_LOCAL -1
  NATIVE_CALL String 10       ; n
  PUSH_IMM32 0                ; check
  PUSH_IMM32 1                ; r
  RESERVE 4
round:
  LOAD_LOCAL -5
  PUSH_IMM32 100000
  CMP_LE
  JUMP_IF_FALSE done
  ADDR_LOCAL -4
  PUSH_IMM32 0
  STORE_WORD                  ; head = nothing
  ADDR_LOCAL -3
  PUSH_IMM32 0
  STORE_WORD                  ; i = 0
scan:
  LOAD_LOCAL -3
  LOAD_LOCAL -8
  CMP_LT
  JUMP_IF_FALSE scanned
  ADDR_LOCAL -2
  LOAD_LOCAL -9
  LOAD_LOCAL -5
  NATIVE_CALL String 12             ; charAt
  STORE_WORD                  ; c = line[i]
  LOAD_LOCAL -2
  PUSH_IMM32 32
  CMP_EQ
  JUMP_IF_FALSE not_space
  ADDR_LOCAL -3
  INC_AT
  JUMP scan
not_space:
  LOAD_LOCAL -2
  PUSH_IMM32 48
  CMP_GE
  JUMP_IF_FALSE not_digit
  LOAD_LOCAL -2
  PUSH_IMM32 57
  CMP_LE
  JUMP_IF_FALSE not_digit
  ADDR_LOCAL -1
  PUSH_IMM32 0
  STORE_WORD                  ; v = 0
digits:
  ADDR_LOCAL -1
  LOAD_LOCAL -2
  PUSH_IMM32 10
  MUL
  LOAD_LOCAL -4
  ADD
  PUSH_IMM32 48
  SUB
  STORE_WORD                  ; v = v * 10 + c - '0'
  ADDR_LOCAL -3
  INC_AT
  LOAD_LOCAL -3
  LOAD_LOCAL -8
  CMP_LT
  JUMP_IF_FALSE number
  ADDR_LOCAL -2
  LOAD_LOCAL -9
  LOAD_LOCAL -5
  NATIVE_CALL String 12             ; charAt
  STORE_WORD
  LOAD_LOCAL -2
  PUSH_IMM32 48
  CMP_GE
  JUMP_IF_FALSE number
  LOAD_LOCAL -2
  PUSH_IMM32 57
  CMP_LE
  JUMP_IF_FALSE number
  JUMP digits
number:
  ALLOC CLASS_OBJECT, 4
  DUP
  SET_CLASS Num
  DUP
  FIELD_ADDR 1
  PUSH_IMM32 1
  STORE_WORD                  ; kind 1
  DUP
  FIELD_ADDR 2
  LOAD_LOCAL -6
  STORE_WORD                  ; next = head
  DUP
  FIELD_ADDR 3
  LOAD_LOCAL -3
  LOAD_LOCAL -8
  ADD
  STORE_WORD                  ; value = v + r
  ADDR_LOCAL -5
  LOAD_LOCAL -2
  STORE_WORD                  ; head = the token
  RESERVE -1
  JUMP scan
not_digit:
  LOAD_LOCAL -2
  PUSH_IMM32 97
  CMP_GE
  JUMP_IF_FALSE symbol
  LOAD_LOCAL -2
  PUSH_IMM32 122
  CMP_LE
  JUMP_IF_FALSE symbol
  ADDR_LOCAL -1
  LOAD_LOCAL -4
  STORE_WORD                  ; j = i
letters:
  ADDR_LOCAL -3
  INC_AT
  LOAD_LOCAL -3
  LOAD_LOCAL -8
  CMP_LT
  JUMP_IF_FALSE name
  ADDR_LOCAL -2
  LOAD_LOCAL -9
  LOAD_LOCAL -5
  NATIVE_CALL String 12             ; charAt
  STORE_WORD
  LOAD_LOCAL -2
  PUSH_IMM32 97
  CMP_GE
  JUMP_IF_FALSE name_digit
  LOAD_LOCAL -2
  PUSH_IMM32 122
  CMP_LE
  JUMP_IF_FALSE name_digit
  JUMP letters
name_digit:
  LOAD_LOCAL -2
  PUSH_IMM32 48
  CMP_GE
  JUMP_IF_FALSE name
  LOAD_LOCAL -2
  PUSH_IMM32 57
  CMP_LE
  JUMP_IF_FALSE name
  JUMP letters
name:
  ALLOC CLASS_OBJECT, 4
  DUP
  SET_CLASS Name
  DUP
  FIELD_ADDR 1
  PUSH_IMM32 2
  STORE_WORD                  ; kind 2
  DUP
  FIELD_ADDR 2
  LOAD_LOCAL -6
  STORE_WORD                  ; next = head
  DUP
  FIELD_ADDR 3
  LOAD_LOCAL -10
  LOAD_LOCAL -4
  LOAD_LOCAL -7
  LOAD_LOCAL -6
  SUB
  NATIVE_CALL String -106           ; substring (first, count)
  STORE_WORD                  ; text = line[j, i)
  ADDR_LOCAL -5
  LOAD_LOCAL -2
  STORE_WORD                  ; head = the token
  RESERVE -1
  JUMP scan
symbol:
  ALLOC CLASS_OBJECT, 4
  DUP
  SET_CLASS Sym
  DUP
  FIELD_ADDR 1
  PUSH_IMM32 3
  STORE_WORD                  ; kind 3
  DUP
  FIELD_ADDR 2
  LOAD_LOCAL -6
  STORE_WORD                  ; next = head
  DUP
  FIELD_ADDR 3
  LOAD_LOCAL -4
  STORE_WORD                  ; code = c
  ADDR_LOCAL -5
  LOAD_LOCAL -2
  STORE_WORD                  ; head = the token
  RESERVE -1
  ADDR_LOCAL -3
  INC_AT
  JUMP scan
scanned:
walk:
  LOAD_LOCAL -4
  PUSH_IMM32 0
  CMP_NE
  JUMP_IF_FALSE walked
  ADDR_LOCAL -6
  LOAD_LOCAL -7
  PUSH_IMM32 0                ; the result slot
  LOAD_LOCAL -7
  LOAD_LOCAL -8
  DEREF                       ; the token's class
  CALL_VIRTUAL "(<int>)<token>.weight"
  ADD
  STORE_WORD                  ; check += weight
  LOAD_LOCAL -9
  LOAD_LOCAL -5
  FIELD_ADDR 1
  DEREF
  PUSH_IMM32 4
  MUL
  ADD
  INC_AT                      ; counts[kind] += 1
  ADDR_LOCAL -1
  LOAD_LOCAL -5
  FIELD_ADDR 2
  DEREF
  STORE_WORD                  ; j = next
  LOAD_LOCAL -4
  FIELD_ADDR 1
  DEREF
  PUSH_IMM32 2
  CMP_EQ
  JUMP_IF_FALSE plain
  LOAD_LOCAL -4
  FIELD_ADDR 3
  DEREF
  FREE_INDIRECT               ; a name's text
plain:
  LOAD_LOCAL -4
  FREE                        ; the token
  ADDR_LOCAL -4
  LOAD_LOCAL -2
  STORE_WORD                  ; head = next
  JUMP walk
walked:
  ADDR_LOCAL -5
  INC_AT
  JUMP round
done:
  LOAD_LOCAL -6
  LOAD_LOCAL -10
  FIELD_ADDR 1
  DEREF
  ADD
  LOAD_LOCAL -10
  FIELD_ADDR 2
  DEREF
  PUSH_IMM32 3
  MUL
  ADD
  LOAD_LOCAL -10
  FIELD_ADDR 3
  DEREF
  PUSH_IMM32 7
  MUL
  ADD                         ; check + numbers + 3 names + 7 symbols
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -11
  RETURN 0, 1
