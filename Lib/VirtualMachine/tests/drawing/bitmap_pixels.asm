; Bitmap pixels from bytecode: a set pixel reads back with all 32 bits; a
; fill below full alpha leaves exactly that word; an opaque fill and
; drawing are seen by the next read; size, copies and resizing.
; expect: ff000000
; expect: 80123456
; expect: 80ff0000
; expect: 80ff0000
; expect: ff00ff00
; expect: ffff0000
; expect: ff00ff00
; expect: 3
; expect: 4
; expect: ffff0000
; expect: 20
; expect: 10
; expect: ffff0000
; expect: ffff0000
; expect: ff000000
; expect: 0
; expect: 0
; expect: ff000000
.include "runtime.asm"
.include "drawing.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ; 1: a 4 by 3 opaque black bitmap
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 4
  PUSH_IMM32 3
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 3
  PUSH_IMM32 2
  CALL pixel
  CALL hex
  ; setPixel / getPixel keep the word, alpha included
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 0x80123456
  NATIVE_CALL Bitmap 9
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 1
  CALL pixel
  CALL hex
  ; a fill at alpha 128 (Graphics clear on a bitmap) leaves the raw word
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 0x80FF0000
  NATIVE_CALL Graphics 8
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 0
  PUSH_IMM32 0
  CALL pixel
  CALL hex
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 3
  PUSH_IMM32 2
  CALL pixel
  CALL hex
  ; an opaque fill
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 0xFF00FF00
  NATIVE_CALL Graphics 8
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 2
  PUSH_IMM32 2
  CALL pixel
  CALL hex
  ; drawing into the bitmap, then reading it
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 2
  PUSH_IMM32 1
  PUSH_IMM32 0xFFFF0000
  NATIVE_CALL Graphics 4
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 2
  PUSH_IMM32 1
  CALL pixel
  CALL hex
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 2
  PUSH_IMM32 2
  CALL pixel
  CALL hex
  ; size: height on top
  PUSH_GLOBALS
  FIELD_ADDR 1
  NATIVE_CALL Bitmap 8
  CALL dec
  CALL dec
  ; 2: a copy of it, resized to 10 by 20 (fast): the red pixel (2, 1) scales
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_GLOBALS
  FIELD_ADDR 1
  NATIVE_CALL Bitmap 6
  PUSH_IMM32 0
  PUSH_IMM32 2
  PUSH_IMM32 2
  PUSH_IMM32 1
  CALL pixel
  CALL hex
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 10
  PUSH_IMM32 20
  NATIVE_CALL Bitmap 10
  PUSH_GLOBALS
  FIELD_ADDR 2
  NATIVE_CALL Bitmap 8
  CALL dec
  CALL dec
  PUSH_IMM32 0
  PUSH_IMM32 2
  PUSH_IMM32 5
  PUSH_IMM32 7
  CALL pixel
  CALL hex
  ; 3: the region (2, 1, 1, 1)
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 2
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 1
  NATIVE_CALL Bitmap 2
  PUSH_IMM32 0
  PUSH_IMM32 3
  PUSH_IMM32 0
  PUSH_IMM32 0
  CALL pixel
  CALL hex
  ; resizing to zero empties the handle; resizing an empty one makes black
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 0
  PUSH_IMM32 7
  NATIVE_CALL Bitmap 12
  PUSH_GLOBALS
  FIELD_ADDR 3
  PUSH_IMM32 3
  PUSH_IMM32 3
  NATIVE_CALL Bitmap 11
  PUSH_IMM32 0
  PUSH_IMM32 3
  PUSH_IMM32 2
  PUSH_IMM32 2
  CALL pixel
  CALL hex
  ; an empty bitmap (0 by 5) measures (0, 0)
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_IMM32 0
  PUSH_IMM32 5
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  PUSH_GLOBALS
  FIELD_ADDR 4
  NATIVE_CALL Bitmap 8
  CALL dec
  CALL dec
  PUSH_IMM32 0
  PUSH_IMM32 3
  PUSH_IMM32 0
  PUSH_IMM32 0
  CALL pixel
  CALL hex
  RETURN 0, 1
