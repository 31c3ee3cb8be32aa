; calls in the other common shape: the field updated by load-operate-store,
; the loop condition at the bottom and the counter by add-and-store.
.include "runtime.asm"
.class Counter super=Object       ; word 1: n

.virtual "(<int>)<counter>.add<int>"
  Counter add
.end

; add(self, k) -> self.n = self.n + k: result slot, self, k, return address.
.method add params=2 results=1 paramrefs=1
  LOAD_LOCAL -3
  FIELD_ADDR 1
  LOAD_LOCAL -4
  FIELD_ADDR 1
  DEREF
  LOAD_LOCAL -4
  ADD
  STORE_WORD
  ADDR_LOCAL -4
  LOAD_LOCAL -4
  FIELD_ADDR 1
  DEREF
  STORE_WORD
  RETURN 0, 3

.method main export="main" locals=2 localrefs=1
  ALLOC CLASS_OBJECT, 2       ; slot 1: the counter
  DUP
  SET_CLASS Counter
  PUSH_IMM32 1                ; slot 2: i
  JUMP test
body:
  PUSH_IMM32 0                ; result slot
  LOAD_LOCAL -3               ; self
  PUSH_IMM32 1                ; k
  LOAD_LOCAL -2
  DEREF                       ; the receiver's class
  CALL_VIRTUAL "(<int>)<counter>.add<int>"
  RESERVE -1
  ADDR_LOCAL -1
  LOAD_LOCAL -2
  PUSH_IMM32 1
  ADD
  STORE_WORD                  ; i = i + 1
test:
  LOAD_LOCAL -1
  PUSH_IMM32 10000000
  CMP_GT
  JUMP_IF_FALSE body
  LOAD_LOCAL -2
  FIELD_ADDR 1
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -2
  RETURN 0, 1
