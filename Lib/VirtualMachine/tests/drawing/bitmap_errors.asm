; Every code and message of the Bitmap and Graphics groups, reached from
; bytecode, and the empty-handle rules; a forged handle ends the run. (No
; font the natives make has a kind draw string refuses: NativeStateTest
; reaches that message.)
; expect: 10 VMException: Bitmap: 14
; expect: 10 VMException: Graphics: 11
; expect: 6 InvalidArgumentException: Width should be non-negative
; expect: 6 InvalidArgumentException: Width should be non-negative
; expect: 6 InvalidArgumentException: Height should be non-negative
; expect: 6 InvalidArgumentException: Image too large
; expect: 6 InvalidArgumentException: Source rectangle (0, 0, 1, 1) should be inside the bounds of the source bitmap, the bitmap is empty
; expect: 6 InvalidArgumentException: Source rectangle (1, 0, 4, 3) should be inside the bounds of the source bitmap: (4, 3)
; expect: 6 InvalidArgumentException: Position (1, 2) is outside the bounds of the bitmap, the bitmap is empty
; expect: 6 InvalidArgumentException: Position (4, 0) is outside the bounds of the bitmap: (4, 3)
; expect: 6 InvalidArgumentException: Position is outside the bounds of the bitmap: the bitmap is empty
; expect: 6 InvalidArgumentException: Position (0, -1) is outside the bounds of the bitmap: (4, 3)
; expect: 1 NullPointerException: NULL pointer
; expect: 6 InvalidArgumentException: byte[] is empty
; expect: 6 InvalidArgumentException: size is zero
; expect: 5 RangeException: Invalid Range, range out of bounds: 4 > 3
; expect: 6 InvalidArgumentException: Could not load image
; expect: 10 VMException: Invalid object type ID
; expect: 10 VMException: Invalid bitmap handle
; expect: 10 VMException: Invalid typeid on bitmap
; expect: 5 RangeException: Invalid Range, range out of bounds: 4 > 3
; expect: 6 InvalidArgumentException: File is empty
; expect: edges accepted
; expect: 80
; expect: 78
; expect: 71
; expect: unknown format 0
; expect: drawn into itself ff000000
; expect fatal: RuntimeException: Invalid address
; file: empty.png:
.include "runtime.asm"
.include "drawing.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ; word 1: a 4 by 3 bitmap; word 2: an empty one
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 4
  PUSH_IMM32 3
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 0
  PUSH_IMM32 5
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1

  TRY any, e1
  NATIVE_CALL Bitmap 14
  END_TRY -1
e1:
  CALL report
  TRY any, e2
  NATIVE_CALL Graphics 11
  END_TRY -1
e2:
  CALL report
  TRY any, e3
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 -1
  PUSH_IMM32 5
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 1
  END_TRY -1
e3:
  CALL report
  TRY any, e4
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 -1
  PUSH_IMM32 -1
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 1
  END_TRY -1
e4:
  CALL report
  TRY any, e5
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 5
  PUSH_IMM32 -1
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 1
  END_TRY -1
e5:
  CALL report
  TRY any, e6
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 16385
  PUSH_IMM32 1
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 1
  END_TRY -1
e6:
  CALL report
  ; region copies: an empty source takes only (0, 0, 0, 0)
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 2
  TRY any, e7
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 1
  NATIVE_CALL Bitmap 2
  END_TRY -1
e7:
  CALL report
  TRY any, e8
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 1
  PUSH_IMM32 0
  PUSH_IMM32 4
  PUSH_IMM32 3
  NATIVE_CALL Bitmap 2
  END_TRY -1
e8:
  CALL report
  ; pixel reads and writes out of bounds
  TRY any, e9
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 1
  PUSH_IMM32 2
  NATIVE_CALL Bitmap 7
  END_TRY -1
e9:
  CALL report
  TRY any, e10
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 4
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 7
  END_TRY -1
e10:
  CALL report
  TRY any, e11
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 9
  END_TRY -1
e11:
  CALL report
  TRY any, e12
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 0
  PUSH_IMM32 -1
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 9
  END_TRY -1
e12:
  CALL report
  TRY any, e13
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 6
  END_TRY -1
e13:
  CALL report
  ; byte loaders: word 7 holds an empty byte vector
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_STRING_CELL ""
  NATIVE_CALL Encoder 1
  DEREF
  STORE_WORD
  TRY any, e14
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 7
  NATIVE_CALL Bitmap 4
  END_TRY -1
e14:
  CALL report
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_STRING_CELL "abc"
  NATIVE_CALL Encoder 1
  DEREF
  STORE_WORD
  TRY any, e15
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_IMM32 1
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 5
  END_TRY -1
e15:
  CALL report
  TRY any, e16
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_IMM32 1
  PUSH_IMM32 3
  NATIVE_CALL Bitmap 5
  END_TRY -1
e16:
  CALL report
  TRY any, e17
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 7
  NATIVE_CALL Bitmap 4
  END_TRY -1
e17:
  CALL report
  ; forged handles: a plain block of kind 0, then kind 1 (a canvas)
  PUSH_GLOBALS
  FIELD_ADDR 5
  ALLOC LEAF, 3
  STORE_WORD
  TRY any, e18
  PUSH_GLOBALS
  FIELD_ADDR 5
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 0
  NATIVE_CALL Graphics 4
  END_TRY -1
e18:
  CALL report
  PUSH_GLOBALS
  FIELD_ADDR 5
  DEREF
  PUSH_IMM32 1
  STORE_WORD
  TRY any, e19
  PUSH_GLOBALS
  FIELD_ADDR 5
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 7
  END_TRY -1
e19:
  CALL report
  TRY any, e20
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_GLOBALS
  FIELD_ADDR 5
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 255
  NATIVE_CALL Graphics 7
  END_TRY -1
e20:
  CALL report
  ; draw string tests its range before anything is drawn
  TRY any, e21
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_STRING_CELL "abc"
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 3
  PUSH_IMM32 0xFFFFFFFF
  PUSH_IMM32 0
  NATIVE_CALL Graphics 3
  END_TRY -1
e21:
  CALL report
  TRY any, e22
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_STRING_CELL "empty.png"
  NATIVE_CALL Bitmap 3
  END_TRY -1
e22:
  CALL report
  ; a region reaching exactly the right and bottom edges
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 3
  PUSH_IMM32 2
  NATIVE_CALL Bitmap 2
  PUSH_STRING_CELL "edges accepted"
  NATIVE_CALL Debug 1
  ; encoding: format 2 gives a PNG file, format 7 nothing
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 2
  NATIVE_CALL Bitmap 13
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_IMM32 1
  NATIVE_CALL ByteVector 8           ; leaves the vector below the byte
  CALL dec
  RESERVE -1
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_IMM32 2
  NATIVE_CALL ByteVector 8           ; leaves the vector below the byte
  CALL dec
  RESERVE -1
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_IMM32 3
  NATIVE_CALL ByteVector 8           ; leaves the vector below the byte
  CALL dec
  RESERVE -1
  PUSH_STRING_CELL "unknown format "
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 7
  NATIVE_CALL Bitmap 13
  NATIVE_CALL ByteVector 11
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  ; a bitmap drawn into itself changes nothing
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 255
  NATIVE_CALL Graphics 1
  PUSH_STRING_CELL "drawn into itself "
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 3
  PUSH_IMM32 2
  NATIVE_CALL Bitmap 7
  PUSH_IMM32 16
  NATIVE_CALL String -121
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  ; a forged bitmap handle holding a string object where the bitmap
  ; belongs: only a bitmap object passes
  PUSH_GLOBALS
  FIELD_ADDR 5
  DEREF
  PUSH_IMM32 2
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 5
  DEREF
  FIELD_ADDR 2
  PUSH_STRING_CELL "not a bitmap"
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 5
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 7
  RETURN 0, 1
