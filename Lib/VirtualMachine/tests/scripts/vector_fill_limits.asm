; A fill with a huge count is refused before any host buffer of that size
; is built: code 6 "Vector too large", which the image catches; a count
; that fits the heap but not the host-memory limit is refused by the limit.
; args: --memory-limit 300000000
; expect: InvalidArgumentException: Vector too large
; expect: InvalidArgumentException: Vector too large
; expect: InvalidArgumentException: Host memory limit reached
; expect: 1000 filled
.include "runtime.asm"

; fill16(n): fills a 16-byte-element vector with n copies, logs what it raised.
.method fill16 params=1 locals=2 localvectors=1:data
  RESERVE 2              ; the vector value
  TRY Throwable, caught
  ADDR_LOCAL -2          ; the vector value
  PUSH_IMM32 1
  PUSH_IMM32 2
  PUSH_IMM32 3
  PUSH_IMM32 4
  LOAD_LOCAL -9          ; n
  NATIVE_CALL Int4Vector 3
  END_TRY -1
  ADDR_LOCAL -2
  NATIVE_CALL Int4Vector 11
  INT_TO_STRING
  BOX
  DUP
  PUSH_STRING_CELL " filled"
  NATIVE_CALL String 62
  NATIVE_CALL Debug 1
  RESERVE -2
  RETURN 0, 2
caught:
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
  RESERVE -2
  RETURN 0, 2

.method main export="main"
  PUSH_IMM32 0x7FFFFFFF
  CALL fill16
  PUSH_IMM32 0x08000000  ; 2^27 elements: 2 GiB
  CALL fill16
  PUSH_IMM32 0x06000000  ; 1.5 GiB: fits the heap, not the limit
  CALL fill16
  PUSH_IMM32 1000
  CALL fill16
  RETURN 0, 1
