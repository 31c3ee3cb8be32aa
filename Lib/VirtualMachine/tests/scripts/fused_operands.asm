; Fused instruction sequences do what their parts do, for every operand:
; offsets that name the slots the sequence itself writes (the address or
; value it pushed), and the slots it leaves above the top. Each case runs
; fused, then split by a NOP (which is never fused), and logs the same.
; expect: 10
; expect: 10
; expect: 10
; expect: 10
; expect: 19
; expect: 19
; expect: 5
; expect: 5
; expect: 0
; expect: 0
; expect: 1
; expect: 1
; expect: -1
; expect: -1
; expect: 7
; expect: 7
; expect: 7
; expect: 7
; expect: 3
; expect: 3
; expect: 299
; expect: 299
; expect: -1
; expect: -1
.include "runtime.asm"

.method main export="main"
  ; ADD_AT of a local loaded at -1: the address just pushed
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 7
  RESERVE -1
  ADDR_LOCAL -1
  LOAD_LOCAL -1
  ADD_AT
  LOAD_LOCAL -1
  ADDR_LOCAL -2
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; ADD_AT of a local loaded at -1: the address just pushed (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 7
  RESERVE -1
  ADDR_LOCAL -1
  NOP
  LOAD_LOCAL -1
  ADD_AT
  LOAD_LOCAL -1
  ADDR_LOCAL -2
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; SUB_AT of a local loaded at -1
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 7
  RESERVE -1
  ADDR_LOCAL -1
  LOAD_LOCAL -1
  SUB_AT
  LOAD_LOCAL -1
  ADDR_LOCAL -2
  ADD
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; SUB_AT of a local loaded at -1 (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 7
  RESERVE -1
  ADDR_LOCAL -1
  NOP
  LOAD_LOCAL -1
  SUB_AT
  LOAD_LOCAL -1
  ADDR_LOCAL -2
  ADD
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; ADD_AT of a local loaded at 0 (a stale slot)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 0
  PUSH_IMM32 9
  RESERVE -2
  ADDR_LOCAL -1
  LOAD_LOCAL 0
  ADD_AT
  LOAD_LOCAL -1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; ADD_AT of a local loaded at 0 (a stale slot) (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 0
  PUSH_IMM32 9
  RESERVE -2
  ADDR_LOCAL -1
  NOP
  LOAD_LOCAL 0
  ADD_AT
  LOAD_LOCAL -1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; an immediate added at 0: the slot holding the pushed address
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  ADDR_LOCAL 0
  PUSH_IMM32 5
  ADD_AT
  LOAD_LOCAL 0
  ADDR_LOCAL -1
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; an immediate added at 0: the slot holding the pushed address (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  ADDR_LOCAL 0
  NOP
  PUSH_IMM32 5
  ADD_AT
  LOAD_LOCAL 0
  ADDR_LOCAL -1
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; an immediate subtracted at 1: the slot holding the immediate
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  PUSH_IMM32 3
  RESERVE -2
  ADDR_LOCAL 1
  PUSH_IMM32 5
  SUB_AT
  LOAD_LOCAL 1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; an immediate subtracted at 1: the slot holding the immediate (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  PUSH_IMM32 3
  RESERVE -2
  ADDR_LOCAL 1
  NOP
  PUSH_IMM32 5
  SUB_AT
  LOAD_LOCAL 1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; INC_AT at 0
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  ADDR_LOCAL 0
  INC_AT
  LOAD_LOCAL 0
  ADDR_LOCAL -1
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; INC_AT at 0 (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  ADDR_LOCAL 0
  NOP
  INC_AT
  LOAD_LOCAL 0
  ADDR_LOCAL -1
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; DEC_AT at 0
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  ADDR_LOCAL 0
  DEC_AT
  LOAD_LOCAL 0
  ADDR_LOCAL -1
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; DEC_AT at 0 (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  ADDR_LOCAL 0
  NOP
  DEC_AT
  LOAD_LOCAL 0
  ADDR_LOCAL -1
  SUB
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a local plus an immediate leaves the immediate above the top
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  LOAD_LOCAL -1
  PUSH_IMM32 7
  ADD
  RESERVE -1
  LOAD_LOCAL 1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a local plus an immediate leaves the immediate above the top (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 3
  RESERVE -1
  LOAD_LOCAL -1
  NOP
  PUSH_IMM32 7
  ADD
  RESERVE -1
  LOAD_LOCAL 1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a local minus an immediate, read at 0
  PUSH_IMM32 10           ; the local
  LOAD_LOCAL 0
  PUSH_IMM32 7
  SUB
  RESERVE -1
  LOAD_LOCAL 1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a local minus an immediate, read at 0 (split)
  PUSH_IMM32 10           ; the local
  LOAD_LOCAL 0
  NOP
  PUSH_IMM32 7
  SUB
  RESERVE -1
  LOAD_LOCAL 1
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a comparison that branches leaves false and the immediate
  PUSH_IMM32 10           ; the local
  LOAD_LOCAL -1
  PUSH_IMM32 3
  CMP_LT
  JUMP_IF_FALSE l19
l19:
  LOAD_LOCAL 0
  LOAD_LOCAL 0
  ADD
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a comparison that branches leaves false and the immediate (split)
  PUSH_IMM32 10           ; the local
  LOAD_LOCAL -1
  NOP
  PUSH_IMM32 3
  CMP_LT
  JUMP_IF_FALSE l20
l20:
  LOAD_LOCAL 0
  LOAD_LOCAL 0
  ADD
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a comparison that falls through leaves true and the immediate
  PUSH_IMM32 10           ; the local
  LOAD_LOCAL -1
  PUSH_IMM32 300
  CMP_LT
  JUMP_IF_FALSE l21
l21:
  LOAD_LOCAL 0
  LOAD_LOCAL 0
  ADD
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a comparison that falls through leaves true and the immediate (split)
  PUSH_IMM32 10           ; the local
  LOAD_LOCAL -1
  NOP
  PUSH_IMM32 300
  CMP_LT
  JUMP_IF_FALSE l22
l22:
  LOAD_LOCAL 0
  LOAD_LOCAL 0
  ADD
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a comparison against the slot above the top
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 4
  RESERVE -1
  LOAD_LOCAL 0
  PUSH_IMM32 4
  CMP_EQ
  JUMP_IF_FALSE l23
l23:
  LOAD_LOCAL 0
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  ; a comparison against the slot above the top (split)
  PUSH_IMM32 10           ; the local
  PUSH_IMM32 4
  RESERVE -1
  LOAD_LOCAL 0
  NOP
  PUSH_IMM32 4
  CMP_EQ
  JUMP_IF_FALSE l24
l24:
  LOAD_LOCAL 0
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RESERVE -1
  RETURN 0, 1
