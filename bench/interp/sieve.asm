; Sieve of Eratosthenes over 10^7 with a byte vector (as sieve.lua). The
; loop works on element addresses, as compiled code does.
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
outer:
  LOAD_LOCAL -1
  PUSH_IMM32 10000000
  CMP_LE
  JUMP_IF_FALSE done
  LOAD_LOCAL -3
  LOAD_LOCAL -2
  ADD
  DEREF
  ZERO_EXTEND_BYTE            ; composite[i]
  JUMP_IF_FALSE prime
  JUMP next
prime:
  ADDR_LOCAL -2
  INC_AT                      ; count += 1
  LOAD_LOCAL -1
  PUSH_IMM32 3162             ; i * i <= 10^7 (and fits 32 bits)
  CMP_LE
  JUMP_IF_FALSE next
  LOAD_LOCAL -1
  LOAD_LOCAL -2
  MUL                         ; slot 6: j = i * i
inner:
  LOAD_LOCAL -1
  PUSH_IMM32 10000000
  CMP_LE
  JUMP_IF_FALSE inner_done
  LOAD_LOCAL -4
  LOAD_LOCAL -2
  ADD
  PUSH_IMM32 1
  STORE_BYTE                  ; composite[j] = 1
  ADDR_LOCAL -1
  LOAD_LOCAL -3
  ADD_AT                      ; j += i
  JUMP inner
inner_done:
  RESERVE -1
next:
  ADDR_LOCAL -1
  INC_AT
  JUMP outer
done:
  LOAD_LOCAL -2
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -5
  RETURN 0, 1
