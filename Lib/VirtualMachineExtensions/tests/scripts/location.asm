; Location values and requests without a position source.
.include "runtime.asm"
.include "ext.inc"
.include "xml.inc"

; [] -> [a new date-time cell] for 2010-03-05 07:08:09, or 2011 when [1]
.method date params=1
  ADDR_LOCAL -2
  ALLOC REF_HOLDER, 1
  DUP
  PUSH_IMM32 5
  PUSH_IMM32 3
  PUSH_IMM32 2010
  LOAD_LOCAL -8
  ADD
  PUSH_IMM32 7
  PUSH_IMM32 8
  PUSH_IMM32 9
  PUSH_IMM32 0
  NATIVE_CALL DateTime 4
  STORE_WORD
  RETURN 0, 1

; [location holder] -> []: logs the three coordinates (opcodes 12, 13, 11)
.method log_coordinates params=1
  LOAD_LOCAL -2
  EXTENSION_CALL 27, 12
  CALL log_fixed2
  EXTENSION_CALL 27, 13
  CALL log_fixed2
  EXTENSION_CALL 27, 11
  CALL log_fixed2
  RESERVE -1
  RETURN 0, 2

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ; g2: the date; g3: a location at 60.17, 24.94, 12.5 taken then.
  PUSH_IMM32 0
  CALL date
  PUSH_IMM32 2
  CALL put
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 3
  CALL put
  PUSH_STRING_CELL "60.17"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "24.94"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "12.5"
  NATIVE_CALL Fixed 4
  PUSH_IMM32 2
  CALL get
  EXTENSION_CALL 27, 5
  PUSH_IMM32 3
  CALL get
  CALL log_coordinates
; expect: 60.17
; expect: 24.94
; expect: 12.50
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL 27, 9
  CALL log_int
; expect: 0
  ; Distance and bearing answer 0; 16 the second location's fourth value.
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL 27, 14
  CALL log_fixed2
; expect: 0.00
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL 27, 15
  CALL log_fixed2
; expect: 0.00
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL 27, 16
  CALL log_fixed2
; expect: 0.00

  ; The time stamp comes back as a copy.
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL 27, 10
  DUP
  NATIVE_CALL DateTime 21
  NATIVE_CALL Debug 1
; expect: 2010-03-05 07:08:09
  PUSH_IMM32 2
  CALL get
  NATIVE_CALL DateTime 22
  CALL log_int
; expect: 0
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 1
  CALL date
  EXTENSION_CALL 27, 6
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL 27, 10
  NATIVE_CALL DateTime 21
  NATIVE_CALL Debug 1
; expect: 2011-03-05 07:08:09

  ; New coordinates; opcode 8 takes two values and keeps nothing.
  PUSH_IMM32 3
  CALL get
  PUSH_STRING_CELL "1.5"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "-2.25"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "3"
  NATIVE_CALL Fixed 4
  EXTENSION_CALL 27, 7
  PUSH_IMM32 3
  CALL get
  PUSH_STRING_CELL "8"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "9"
  NATIVE_CALL Fixed 4
  EXTENSION_CALL 27, 8
  PUSH_IMM32 3
  CALL get
  CALL log_coordinates
; expect: 1.50
; expect: -2.25
; expect: 3.00

  ; Requests are accepted; with no position source nothing follows.
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 4
  CALL put
  PUSH_IMM32 1
  PUSH_IMM32 2
  PUSH_IMM32 5
  EXTENSION_CALL 27, 1
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 5
  EXTENSION_CALL 27, 2
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 9
  EXTENSION_CALL 27, 17
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL 27, 3
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL 27, 4
  PUSH_STRING_CELL "requested"
  NATIVE_CALL Debug 1
; expect: requested

  ; A location object without its native object is a NULL pointer.
  TRY Throwable, caught
  PUSH_IMM32 0
  CALL wrap
  EXTENSION_CALL 27, 9
  END_TRY -1
caught:
  CALL log_caught
; expect: NullPointerException: NULL pointer

  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL 27, 18
; expect fatal: RuntimeException: Location: Unknown opcode!
  RETURN 0, 1
