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

; [location holder] -> []: logs the three coordinates (first, second, third)
.method log_coordinates params=1
  LOAD_LOCAL -2
  EXTENSION_CALL Location first
  CALL log_fixed2
  EXTENSION_CALL Location second
  CALL log_fixed2
  EXTENSION_CALL Location third
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
  EXTENSION_CALL Location createLocation
  PUSH_IMM32 3
  CALL get
  CALL log_coordinates
; expect: 60.17
; expect: 24.94
; expect: 12.50
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL Location extra
  CALL log_int
; expect: 0
  ; Distance and bearing answer 0; 16 the second location's fourth value.
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL Location distance
  CALL log_fixed2
; expect: 0.00
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL Location bearing
  CALL log_fixed2
; expect: 0.00
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL Location fourthOfSecond
  CALL log_fixed2
; expect: 0.00

  ; The time stamp comes back as a copy.
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL Location timeStamp
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
  EXTENSION_CALL Location setTimeStamp
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL Location timeStamp
  NATIVE_CALL DateTime 21
  NATIVE_CALL Debug 1
; expect: 2011-03-05 07:08:09

  ; New coordinates; ignore takes two values and keeps nothing.
  PUSH_IMM32 3
  CALL get
  PUSH_STRING_CELL "1.5"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "-2.25"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "3"
  NATIVE_CALL Fixed 4
  EXTENSION_CALL Location setCoordinates
  PUSH_IMM32 3
  CALL get
  PUSH_STRING_CELL "8"
  NATIVE_CALL Fixed 4
  PUSH_STRING_CELL "9"
  NATIVE_CALL Fixed 4
  EXTENSION_CALL Location ignore
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
  EXTENSION_CALL Location createRequestor
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 5
  EXTENSION_CALL Location setInterval
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 9
  EXTENSION_CALL Location setB
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL Location start
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL Location stop
  PUSH_STRING_CELL "requested"
  NATIVE_CALL Debug 1
; expect: requested

  ; A location object without its native object is a NULL pointer.
  TRY Throwable, caught
  PUSH_IMM32 0
  CALL wrap
  EXTENSION_CALL Location extra
  END_TRY -1
caught:
  CALL log_caught
; expect: NullPointerException: NULL pointer

  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL 27, 18
; expect fatal: RuntimeException: Location: Unknown opcode!
  RETURN 0, 1
