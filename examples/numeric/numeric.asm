; Fixed-point arithmetic, 64-bit integers, a date and two digests, each
; result logged. A fixed value is two slots, the low word first.
; expect: 3.75
; expect: 2147483647
; expect: -23
; expect: 1.414214
; expect: 1024
; expect: 3.14159
; expect: -0.125
; expect: 8
; expect: MathException: Division by zero
; expect: -9223372036854775808
; expect: 2010-01-01 23:30:00Z
; expect: 900150983cd24fb0d6963f7d28e17f72
; expect: a9993e364706816aba3e25717850c26c9cd0d89d
.include "runtime.asm"
.tag "numeric"

; logFixed(fixed): every fraction digit. Frame: low, high, return address.
.method logFixed params=2
  ADDR_LOCAL -3          ; the fixed value's address
  NATIVE_CALL Fixed 25
  NATIVE_CALL Debug 1
  RETURN 0, 3

; logFixedDigits(fixed, digits). Frame: low, high, digits, return address.
.method logFixedDigits params=3
  ADDR_LOCAL -4
  LOAD_LOCAL -3          ; digits
  NATIVE_CALL Fixed 24
  NATIVE_CALL Debug 1
  RETURN 0, 4

.method logInt params=1
  LOAD_LOCAL -2
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RETURN 0, 2

; logHex(bytes): the byte vector as lower-case hex digits.
; Frame: bytes, return address, then the text and the index.
.method logHex params=1
  PUSH_STRING_CELL ""
  PUSH_IMM32 0
loop:
  LOAD_LOCAL -1          ; index
  LOAD_LOCAL -5          ; bytes
  NATIVE_CALL ByteVector 11
  CMP_LT
  JUMP_IF_FALSE done
  LOAD_LOCAL -4          ; bytes
  LOAD_LOCAL -2          ; index
  NATIVE_CALL ByteVector 8   ; bytes stay, the index becomes the byte
  PUSH_IMM32 255
  AND
  PUSH_IMM32 256         ; a leading 1 keeps two digits for small bytes
  OR
  PUSH_IMM32 16
  NATIVE_CALL Number 3
  DUP
  NATIVE_CALL String 119 ; drop the leading 1
  LOAD_LOCAL -4          ; the text
  LOAD_LOCAL -2          ; the two digits
  NATIVE_CALL String 62  ; append in place
  RESERVE -2
  PUSH_IMM32 1
  ADD
  JUMP loop
done:
  RESERVE -1
  NATIVE_CALL Debug 1
  RETURN 0, 2

.method main export="main"
  ; 1.5 + 2.25
  PUSH_IMM32 0x80000000
  PUSH_IMM32 1
  PUSH_IMM32 0x40000000
  PUSH_IMM32 2
  NATIVE_CALL Fixed 7
  CALL logFixed

  ; MAX + 1.0 saturates; its floor is the largest integer part
  NATIVE_CALL Fixed 30
  PUSH_IMM32 0
  PUSH_IMM32 1
  NATIVE_CALL Fixed 7
  NATIVE_CALL Fixed 28
  CALL logInt

  ; -7.5 * 3 = -22.5, rounded away from zero
  PUSH_IMM32 0x80000000
  PUSH_IMM32 -8
  PUSH_IMM32 0
  PUSH_IMM32 3
  NATIVE_CALL Fixed 9
  NATIVE_CALL Fixed 26
  CALL logInt

  ; the square root of 2 to six decimals
  PUSH_IMM32 0
  PUSH_IMM32 2
  NATIVE_CALL Math 9
  PUSH_IMM32 6
  CALL logFixedDigits

  ; 2 to the power 10
  PUSH_IMM32 0
  PUSH_IMM32 2
  PUSH_IMM32 0
  PUSH_IMM32 10
  NATIVE_CALL Fixed 11
  NATIVE_CALL Fixed 28
  CALL logInt

  NATIVE_CALL Math 21    ; PI
  PUSH_IMM32 5
  CALL logFixedDigits

  PUSH_STRING_CELL "  -0.125"
  NATIVE_CALL Fixed 4
  CALL logFixed

  ; a zero divisor is a MathException
  TRY Throwable, caught
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL Fixed 10
  END_TRY -1
  RESERVE -2
  JUMP longs
caught:
  DUP
  FIELD_ADDR 1
  DEREF
  CALL logInt
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1

longs:
  ; 1 << 63 divided by -1 wraps back to itself
  PUSH_IMM32 1
  NATIVE_CALL Long 38
  PUSH_IMM32 63
  NATIVE_CALL Long 38
  NATIVE_CALL Long 27
  PUSH_IMM32 -1
  NATIVE_CALL Long 38
  NATIVE_CALL Long 8
  NATIVE_CALL Long 34
  NATIVE_CALL Debug 1

  ; 31 December 2009, 23:30 UTC, one day later
  ALLOC REF_HOLDER, 1
  DUP
  PUSH_IMM32 31
  PUSH_IMM32 12
  PUSH_IMM32 2009
  PUSH_IMM32 23
  PUSH_IMM32 30
  PUSH_IMM32 0
  PUSH_IMM32 1
  NATIVE_CALL DateTime 4
  DUP
  PUSH_IMM32 1
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL DateTime 5
  NATIVE_CALL DateTime 21
  NATIVE_CALL Debug 1

  ; MD5 and SHA-1 of "abc"
  PUSH_STRING_CELL "abc"
  NATIVE_CALL Encoder 1
  PUSH_IMM32 0
  NATIVE_CALL Hash 2
  CALL logHex
  PUSH_STRING_CELL "abc"
  NATIVE_CALL Encoder 1
  PUSH_IMM32 1
  NATIVE_CALL Hash 2
  CALL logHex
  RETURN 0, 1
