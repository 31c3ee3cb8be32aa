; sieve in the other common shape: conditions at the bottom, a test against
; zero, and every update by load-operate-store.
.include "runtime.asm"
.method main export="main" locals=5 localvectors=1:data
  RESERVE 2                   ; slots 1-2: the vector value
  ADDR_LOCAL -2
  NEW_VECTOR 1
  ADDR_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 10000001
  NATIVE_CALL ByteVector 3    ; 10^7 + 1 zero bytes
  ADDR_LOCAL -2
  PUSH_IMM32 0
  NATIVE_CALL ByteVector 6    ; slot 3: the address of element 0
  PUSH_IMM32 0                ; slot 4: count
  PUSH_IMM32 2                ; slot 5: i
  JUMP outer_test
outer:
  LOAD_LOCAL -3
  LOAD_LOCAL -2
  ADD
  DEREF
  ZERO_EXTEND_BYTE
  PUSH_IMM32 0
  CMP_EQ
  JUMP_IF_FALSE next          ; composite[i] == 0
  ADDR_LOCAL -2
  LOAD_LOCAL -3
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; count = count + 1
  LOAD_LOCAL -1
  PUSH_IMM32 3162             ; i * i <= 10^7 (and fits 32 bits)
  CMP_LE
  JUMP_IF_FALSE next
  LOAD_LOCAL -1
  LOAD_LOCAL -2
  MUL                         ; slot 6: j = i * i
  JUMP inner_test
inner:
  LOAD_LOCAL -4
  LOAD_LOCAL -2
  ADD
  PUSH_IMM32 1
  STORE_BYTE                  ; composite[j] = 1
  ADDR_LOCAL -1
  LOAD_LOCAL -2
  LOAD_LOCAL -4
  ADD
  STORE_WORD                  ; j = j + i
inner_test:
  LOAD_LOCAL -1
  PUSH_IMM32 10000000
  CMP_GT
  JUMP_IF_FALSE inner
  RESERVE -1
next:
  ADDR_LOCAL -1
  LOAD_LOCAL -2
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; i = i + 1
outer_test:
  LOAD_LOCAL -1
  PUSH_IMM32 10000000
  CMP_GT
  JUMP_IF_FALSE outer
  LOAD_LOCAL -2
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -5
  RETURN 0, 1
