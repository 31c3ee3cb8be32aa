; sort in the other common shape: loop conditions at the bottom, counters by
; add-and-store, and every element reached by its index (base + index * 4)
; where it is used instead of through element addresses kept in locals.
.include "runtime.asm"

; sift(base, root, last); locals: child, t.
.method sift params=3 locals=2
  RESERVE 2
loop:
  ADDR_LOCAL -2
  LOAD_LOCAL -6
  PUSH_IMM32 2
  MUL
  STORE_WORD                  ; child = root * 2
  LOAD_LOCAL -2
  LOAD_LOCAL -5
  CMP_LE
  JUMP_IF_FALSE out           ; child <= last
  LOAD_LOCAL -2
  LOAD_LOCAL -5
  CMP_LT
  JUMP_IF_FALSE pick          ; child < last
  LOAD_LOCAL -6
  LOAD_LOCAL -3
  PUSH_IMM32 4
  MUL
  ADD
  DEREF                       ; a[child]
  LOAD_LOCAL -7
  LOAD_LOCAL -4
  PUSH_IMM32 4
  MUL
  ADD
  FIELD_ADDR 1
  DEREF                       ; a[child + 1]
  CMP_LT
  JUMP_IF_FALSE pick
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; child = child + 1
pick:
  LOAD_LOCAL -6
  LOAD_LOCAL -6
  PUSH_IMM32 4
  MUL
  ADD
  DEREF                       ; a[root]
  LOAD_LOCAL -7
  LOAD_LOCAL -4
  PUSH_IMM32 4
  MUL
  ADD
  DEREF                       ; a[child]
  CMP_LT
  JUMP_IF_FALSE out           ; a[root] < a[child]
  ADDR_LOCAL -1
  LOAD_LOCAL -7
  LOAD_LOCAL -7
  PUSH_IMM32 4
  MUL
  ADD
  DEREF
  STORE_WORD                  ; t = a[root]
  LOAD_LOCAL -6
  LOAD_LOCAL -6
  PUSH_IMM32 4
  MUL
  ADD
  LOAD_LOCAL -7
  LOAD_LOCAL -4
  PUSH_IMM32 4
  MUL
  ADD
  DEREF
  STORE_WORD                  ; a[root] = a[child]
  LOAD_LOCAL -6
  LOAD_LOCAL -3
  PUSH_IMM32 4
  MUL
  ADD
  LOAD_LOCAL -2
  STORE_WORD                  ; a[child] = t
  ADDR_LOCAL -5
  LOAD_LOCAL -3
  STORE_WORD                  ; root = child
  JUMP loop
out:
  RETURN 2, 6

; Slots: 1-2 the vector value, 3 check, 4 x, 5 r, 6 base (&a[0]), 7 i,
; 8 last.
.method main export="main" locals=8 localvectors=1:data
  RESERVE 2
  ADDR_LOCAL -2
  NEW_VECTOR 4
  PUSH_IMM32 0                ; check
  PUSH_IMM32 1                ; x
  PUSH_IMM32 1                ; r
  RESERVE 3
round:
  ADDR_LOCAL -8
  PUSH_IMM32 0
  PUSH_IMM32 100001
  NATIVE_CALL IntVector 3     ; a fresh array
  ADDR_LOCAL -3
  ADDR_LOCAL -9
  PUSH_IMM32 0
  NATIVE_CALL IntVector 6
  STORE_WORD                  ; base = &a[0]
  ADDR_LOCAL -2
  PUSH_IMM32 1
  STORE_WORD                  ; i = 1
fill:
  ADDR_LOCAL -5
  LOAD_LOCAL -6
  PUSH_IMM32 1103515245
  MUL
  PUSH_IMM32 12345
  ADD
  PUSH_IMM32 0x7fffffff
  AND
  STORE_WORD                  ; x = next LCG value
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  PUSH_IMM32 4
  MUL
  ADD
  LOAD_LOCAL -6
  STORE_WORD                  ; a[i] = x
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; i = i + 1
  LOAD_LOCAL -2
  PUSH_IMM32 100000
  CMP_GT
  JUMP_IF_FALSE fill
  ADDR_LOCAL -2
  PUSH_IMM32 50000
  STORE_WORD
heapify:
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  PUSH_IMM32 100000
  CALL sift                   ; sift(i, n)
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1
  SUB
  STORE_WORD                  ; i = i - 1
  LOAD_LOCAL -2
  PUSH_IMM32 1
  CMP_LT
  JUMP_IF_FALSE heapify
  ADDR_LOCAL -1
  PUSH_IMM32 100000
  STORE_WORD
extract:
  LOAD_LOCAL -3
  FIELD_ADDR 1                ; &a[1]
  LOAD_LOCAL -4
  LOAD_LOCAL -3
  PUSH_IMM32 4
  MUL
  ADD                         ; &a[last]
  LOAD_LOCAL -2
  DEREF
  LOAD_LOCAL -2
  DEREF                       ; &a[1], &a[last], a[1], a[last]
  LOAD_LOCAL -4
  LOAD_LOCAL -2
  STORE_WORD                  ; a[1] = a[last]
  RESERVE -1
  STORE_WORD                  ; a[last] = old a[1]
  RESERVE -1
  LOAD_LOCAL -3
  PUSH_IMM32 1
  LOAD_LOCAL -3
  PUSH_IMM32 1
  SUB
  CALL sift                   ; sift(1, last - 1)
  ADDR_LOCAL -1
  LOAD_LOCAL -2
  PUSH_IMM32 1
  SUB
  STORE_WORD                  ; last = last - 1
  LOAD_LOCAL -1
  PUSH_IMM32 2
  CMP_LT
  JUMP_IF_FALSE extract
  ADDR_LOCAL -2
  PUSH_IMM32 2
  STORE_WORD
order:
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  PUSH_IMM32 4
  MUL
  ADD
  PUSH_IMM32 4
  SUB
  DEREF                       ; a[i - 1]
  LOAD_LOCAL -4
  LOAD_LOCAL -4
  PUSH_IMM32 4
  MUL
  ADD
  DEREF                       ; a[i]
  CMP_LE
  JUMP_IF_FALSE unsorted
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; i = i + 1
  LOAD_LOCAL -2
  PUSH_IMM32 100000
  CMP_GT
  JUMP_IF_FALSE order
  ADDR_LOCAL -2
  PUSH_IMM32 1
  STORE_WORD
fold:
  ADDR_LOCAL -6
  LOAD_LOCAL -7
  PUSH_IMM32 31
  MUL
  LOAD_LOCAL -5
  LOAD_LOCAL -5
  PUSH_IMM32 4
  MUL
  ADD
  DEREF
  ADD
  PUSH_IMM32 0x7fffffff
  AND
  STORE_WORD                  ; check = (check * 31 + a[i]) & 0x7fffffff
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; i = i + 1
  LOAD_LOCAL -2
  PUSH_IMM32 100000
  CMP_GT
  JUMP_IF_FALSE fold
  ADDR_LOCAL -4
  LOAD_LOCAL -5
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; r = r + 1
  LOAD_LOCAL -4
  PUSH_IMM32 5
  CMP_GT
  JUMP_IF_FALSE round
  LOAD_LOCAL -6
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -8
  RETURN 0, 1
unsorted:
  PUSH_STRING_CELL "unsorted"
  NATIVE_CALL Debug 1
  RESERVE -8
  RETURN 0, 1
