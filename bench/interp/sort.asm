; Heap sort of 10^5 pseudo-random integers (31-bit LCG), 5 rounds (as
; sort.lua). The array is an int vector of n + 1 elements so that indices
; run from 1 as in Lua; elements are reached by address arithmetic from
; element 0, as compiled code does.
.include "runtime.asm"

; sift(base, root, last); locals: child, ca (&a[child]), ra (&a[root]),
; vr (a[root]).
.method sift params=3 locals=4
  RESERVE 4
loop:
  ADDR_LOCAL -4
  LOAD_LOCAL -8
  LOAD_LOCAL -9
  ADD
  STORE_WORD                  ; child = 2 * root
  LOAD_LOCAL -4
  LOAD_LOCAL -7
  CMP_GT
  JUMP_IF_FALSE inside
  RETURN 4, 8
inside:
  ADDR_LOCAL -3
  LOAD_LOCAL -9
  LOAD_LOCAL -6
  PUSH_IMM32 2
  SHL
  ADD
  STORE_WORD                  ; ca = &a[child]
  LOAD_LOCAL -4
  LOAD_LOCAL -7
  CMP_LT
  JUMP_IF_FALSE one_child
  LOAD_LOCAL -3
  DEREF
  LOAD_LOCAL -4
  FIELD_ADDR 1
  DEREF
  CMP_LT
  JUMP_IF_FALSE one_child     ; a[child] < a[child + 1]
  ADDR_LOCAL -4
  INC_AT
  ADDR_LOCAL -3
  PUSH_IMM32 4
  ADD_AT
one_child:
  ADDR_LOCAL -2
  LOAD_LOCAL -9
  LOAD_LOCAL -9
  PUSH_IMM32 2
  SHL
  ADD
  STORE_WORD                  ; ra = &a[root]
  ADDR_LOCAL -1
  LOAD_LOCAL -3
  DEREF
  STORE_WORD                  ; vr = a[root]
  LOAD_LOCAL -1
  LOAD_LOCAL -4
  DEREF
  CMP_GE
  JUMP_IF_FALSE swap
  RETURN 4, 8
swap:
  LOAD_LOCAL -2
  LOAD_LOCAL -4
  DEREF
  STORE_WORD                  ; a[root] = a[child]
  LOAD_LOCAL -3
  LOAD_LOCAL -2
  STORE_WORD                  ; a[child] = vr
  ADDR_LOCAL -7
  LOAD_LOCAL -5
  STORE_WORD                  ; root = child
  JUMP loop

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
  LOAD_LOCAL -4
  PUSH_IMM32 5
  CMP_LE
  JUMP_IF_FALSE done
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
  STORE_WORD
fill:
  LOAD_LOCAL -2
  PUSH_IMM32 100000
  CMP_LE
  JUMP_IF_FALSE filled
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
  PUSH_IMM32 2
  SHL
  ADD
  LOAD_LOCAL -6
  STORE_WORD                  ; a[i] = x
  ADDR_LOCAL -2
  INC_AT
  JUMP fill
filled:
  ADDR_LOCAL -2
  PUSH_IMM32 50000
  STORE_WORD
heapify:
  LOAD_LOCAL -2
  PUSH_IMM32 1
  CMP_GE
  JUMP_IF_FALSE heaped
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  PUSH_IMM32 100000
  CALL sift                   ; sift(i, n)
  ADDR_LOCAL -2
  DEC_AT
  JUMP heapify
heaped:
  ADDR_LOCAL -1
  PUSH_IMM32 100000
  STORE_WORD
extract:
  LOAD_LOCAL -1
  PUSH_IMM32 2
  CMP_GE
  JUMP_IF_FALSE sorted
  LOAD_LOCAL -3
  FIELD_ADDR 1                ; &a[1]
  LOAD_LOCAL -4
  LOAD_LOCAL -3
  PUSH_IMM32 2
  SHL
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
  DEC_AT
  JUMP extract
sorted:
  ADDR_LOCAL -2
  PUSH_IMM32 2
  STORE_WORD
order:
  LOAD_LOCAL -2
  PUSH_IMM32 100000
  CMP_LE
  JUMP_IF_FALSE ordered
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  PUSH_IMM32 2
  SHL
  ADD
  PUSH_IMM32 4
  SUB
  DEREF                       ; a[i - 1]
  LOAD_LOCAL -4
  LOAD_LOCAL -4
  PUSH_IMM32 2
  SHL
  ADD
  DEREF                       ; a[i]
  CMP_GT
  JUMP_IF_FALSE in_order
  PUSH_STRING_CELL "unsorted"
  NATIVE_CALL Debug 1
  RESERVE -8
  RETURN 0, 1
in_order:
  ADDR_LOCAL -2
  INC_AT
  JUMP order
ordered:
  ADDR_LOCAL -2
  PUSH_IMM32 1
  STORE_WORD
fold:
  LOAD_LOCAL -2
  PUSH_IMM32 100000
  CMP_LE
  JUMP_IF_FALSE folded
  ADDR_LOCAL -6
  LOAD_LOCAL -7
  PUSH_IMM32 31
  MUL
  LOAD_LOCAL -5
  LOAD_LOCAL -5
  PUSH_IMM32 2
  SHL
  ADD
  DEREF
  ADD
  PUSH_IMM32 0x7fffffff
  AND
  STORE_WORD                  ; check = (check * 31 + a[i]) & 0x7fffffff
  ADDR_LOCAL -2
  INC_AT
  JUMP fold
folded:
  ADDR_LOCAL -4
  INC_AT
  JUMP round
done:
  LOAD_LOCAL -6
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -8
  RETURN 0, 1
