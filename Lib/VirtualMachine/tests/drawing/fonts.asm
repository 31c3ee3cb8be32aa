; Fonts from bytecode: the native font's metrics (the installed face at
; 40 pixels), a strip font built from an encoded picture, measuring,
; drawing strip text into a bitmap, and the errors of font making.
; expect: 48
; expect: 38
; expect: 101
; expect: 3
; expect: 4
; expect: 0
; expect: 10 VMException: Font: 1
; expect: 5 RangeException: Invalid Range, range out of bounds: 7 > 5
; expect: 13
; expect: 10
; expect: 8
; expect: 1
; expect: ffff0000
; expect: ff000000
; expect: 6 InvalidArgumentException: byte[] is empty
; expect: 6 InvalidArgumentException
; expect: 6 InvalidArgumentException
; expect: 7 IOException: Could not open file: missing.png
; expect: 6 InvalidArgumentException: Filename is empty
; expect: 13
.include "runtime.asm"
.include "drawing.inc"

; [word] -> []: logs what System 12 does with the bytes in globals word 7,
; keeping the font in that globals word.
.method stripFont params=1
  PUSH_GLOBALS
  LOAD_LOCAL -3
  PUSH_IMM32 4
  MUL
  ADD
  PUSH_GLOBALS
  FIELD_ADDR 7
  NATIVE_CALL System 12
  DEREF
  STORE_WORD
  RETURN 0, 2

; [x y] -> []: sets the pixel of the strip in word 1 to blue 255
.method mark params=2
  PUSH_GLOBALS
  FIELD_ADDR 1
  LOAD_LOCAL -4
  LOAD_LOCAL -4
  PUSH_IMM32 0xFF0000FF
  NATIVE_CALL Bitmap 9
  RETURN 0, 3

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ; word 2: the native font
  PUSH_GLOBALS
  FIELD_ADDR 2
  NATIVE_CALL System 10
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 2
  NATIVE_CALL Font 2
  CALL dec
  PUSH_GLOBALS
  FIELD_ADDR 2
  NATIVE_CALL Font 3
  CALL dec
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_STRING_CELL "Hello"
  NATIVE_CALL Font 4
  CALL dec
  ; the first three characters' width fits three
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_STRING_CELL "Hello"
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_STRING_CELL "Hello"
  PUSH_IMM32 0
  PUSH_IMM32 3
  NATIVE_CALL Font 5
  NATIVE_CALL Font 6
  CALL dec
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_STRING_CELL "Hello"
  PUSH_IMM32 1
  PUSH_IMM32 4
  PUSH_IMM32 1000
  NATIVE_CALL Font 7
  CALL dec
  ; a null font measures 0
  PUSH_GLOBALS
  FIELD_ADDR 6
  PUSH_STRING_CELL "Hello"
  NATIVE_CALL Font 4
  CALL dec
  TRY any, f1
  NATIVE_CALL Font 1
  END_TRY -1
f1:
  CALL report
  TRY any, f2
  PUSH_GLOBALS
  FIELD_ADDR 6
  PUSH_STRING_CELL "Hello"
  PUSH_IMM32 3
  PUSH_IMM32 4
  NATIVE_CALL Font 5
  END_TRY -1
f2:
  CALL report
  ; word 1: a 12 by 14 strip, black; ascent marks in rows 0-9, glyph
  ; markers at columns 5 and 9, glyph ' ' coverage at (2, 3)
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 12
  PUSH_IMM32 14
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  PUSH_IMM32 0
  PUSH_IMM32 0
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 9
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 5
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 1
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 2
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 3
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 4
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 6
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 7
  CALL mark
  PUSH_IMM32 0
  PUSH_IMM32 8
  CALL mark
  PUSH_IMM32 5
  PUSH_IMM32 13
  CALL mark
  PUSH_IMM32 9
  PUSH_IMM32 13
  CALL mark
  PUSH_IMM32 2
  PUSH_IMM32 3
  CALL mark
  ; encoded as PNG into word 7, then made a font in word 3
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 2
  NATIVE_CALL Bitmap 13
  DEREF
  STORE_WORD
  PUSH_IMM32 3
  CALL stripFont
  PUSH_GLOBALS
  FIELD_ADDR 3
  NATIVE_CALL Font 2
  CALL dec
  PUSH_GLOBALS
  FIELD_ADDR 3
  NATIVE_CALL Font 3
  CALL dec
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_STRING_CELL " !A"
  NATIVE_CALL Font 4
  CALL dec
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_STRING_CELL " !"
  PUSH_IMM32 7
  NATIVE_CALL Font 6
  CALL dec
  ; strip text in red on a black 20 by 20 bitmap in word 4
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_IMM32 20
  PUSH_IMM32 20
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_STRING_CELL " "
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 0xFFFF0000
  PUSH_GLOBALS
  FIELD_ADDR 3
  NATIVE_CALL Graphics 2
  PUSH_IMM32 0
  PUSH_IMM32 4
  PUSH_IMM32 2
  PUSH_IMM32 4
  CALL pixel
  CALL hex
  PUSH_IMM32 0
  PUSH_IMM32 4
  PUSH_IMM32 2
  PUSH_IMM32 3
  CALL pixel
  CALL hex
  ; font making errors
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_STRING_CELL ""
  NATIVE_CALL Encoder 1
  DEREF
  STORE_WORD
  TRY any, f3
  PUSH_IMM32 5
  CALL stripFont
  END_TRY -1
f3:
  CALL report
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_STRING_CELL "no picture"
  NATIVE_CALL Encoder 1
  DEREF
  STORE_WORD
  TRY any, f4
  PUSH_IMM32 5
  CALL stripFont
  END_TRY -1
f4:
  CALL report
  ; a marker at column 1 is rejected
  PUSH_IMM32 1
  PUSH_IMM32 13
  CALL mark
  PUSH_GLOBALS
  FIELD_ADDR 7
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 2
  NATIVE_CALL Bitmap 13
  DEREF
  STORE_WORD
  TRY any, f5
  PUSH_IMM32 5
  CALL stripFont
  END_TRY -1
f5:
  CALL report
  TRY any, f6
  PUSH_STRING_CELL "missing.png"
  NATIVE_CALL System 11
  END_TRY -1
f6:
  CALL report
  TRY any, f7
  PUSH_STRING_CELL ""
  NATIVE_CALL System 11
  END_TRY -1
f7:
  CALL report
  ; the strip font from a file: the first PNG written out, loaded back
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 1
  PUSH_IMM32 13
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 9
  ALLOC REF_HOLDER, 1
  DUP
  PUSH_STRING_CELL "strip.png"
  PUSH_FALSE
  NATIVE_CALL FileWriter 1
  DUP
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 2
  NATIVE_CALL Bitmap 13
  NATIVE_CALL OutputStream 3
  NATIVE_CALL OutputStream 1
  PUSH_GLOBALS
  FIELD_ADDR 6
  PUSH_STRING_CELL "strip.png"
  NATIVE_CALL System 11
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 6
  NATIVE_CALL Font 2
  CALL dec
  RETURN 0, 1
