; Draws with every drawing operation: shapes, lines, text in the native
; font and in a strip font (font.png), a picture shipped beside the image
; (picture.png) drawn whole, in part, half transparent, tiled and turned by
; 3.141 radians, and a bitmap written pixel by pixel. It also keeps its
; canvas between frames to show a kept canvas draws nothing later on.
; expect: picture width 16
; expect: corner ffffff00
; expect: strip font ascent 5
; expect stderr: Null BitmapContainer
; expect stderr: Null BitmapContainer
; args: --frames 2
.include "runtime.asm"
.tag "draw"
.globals 32

; Globals: word 1 the picture, 2 the strip font, 3 the native font, 4 a
; small bitmap, 5 the canvas of the last frame, 6 an empty bitmap.
.class Globals super=Object refs=1 2 3 4 5 6

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_GLOBALS
  NATIVE_CALL System 5               ; the globals receive the draw calls
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_STRING_CELL "picture.png"
  NATIVE_CALL Bitmap 3
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_STRING_CELL "font.png"
  NATIVE_CALL System 11
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 3
  NATIVE_CALL System 10
  DEREF
  STORE_WORD
  ; 8 by 8 black, one magenta pixel, a cyan square drawn into it
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_IMM32 8
  PUSH_IMM32 8
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 0xFFFF00FF
  NATIVE_CALL Bitmap 9
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_IMM32 4
  PUSH_IMM32 4
  PUSH_IMM32 4
  PUSH_IMM32 4
  PUSH_IMM32 0xFF00FFFF
  NATIVE_CALL Graphics 4
  PUSH_GLOBALS
  FIELD_ADDR 6
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 1
  ; what was loaded
  PUSH_STRING_CELL "picture width "
  PUSH_GLOBALS
  FIELD_ADDR 1
  NATIVE_CALL Bitmap 8
  RESERVE -1                         ; the height
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  PUSH_STRING_CELL "corner "
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 0
  PUSH_IMM32 0
  NATIVE_CALL Bitmap 7
  PUSH_IMM32 16
  NATIVE_CALL String -121
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  PUSH_STRING_CELL "strip font ascent "
  PUSH_GLOBALS
  FIELD_ADDR 2
  NATIVE_CALL Font 3
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  NATIVE_CALL Screen 1
  RETURN 0, 1

; Each frame: the canvas kept from the previous frame is drawn on first
; (it has ended, so that draws nothing), then the picture.
.method draw params=2 export="<application>.draw to*<canvas>"
  PUSH_GLOBALS
  FIELD_ADDR 5
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 800
  PUSH_IMM32 480
  PUSH_IMM32 0xFFFFFFFF
  NATIVE_CALL Graphics 4
  PUSH_GLOBALS
  FIELD_ADDR 5
  LOAD_LOCAL -3
  DEREF
  STORE_WORD
  ; background, a red box, half-transparent green over it, a yellow line
  LOAD_LOCAL -2
  PUSH_IMM32 0xFF102040
  NATIVE_CALL Graphics 8
  LOAD_LOCAL -2
  PUSH_IMM32 10
  PUSH_IMM32 10
  PUSH_IMM32 100
  PUSH_IMM32 50
  PUSH_IMM32 0xFFFF0000
  NATIVE_CALL Graphics 4
  LOAD_LOCAL -2
  PUSH_IMM32 60
  PUSH_IMM32 10
  PUSH_IMM32 100
  PUSH_IMM32 50
  PUSH_IMM32 0x8000FF00
  NATIVE_CALL Graphics 4
  LOAD_LOCAL -2
  PUSH_IMM32 10
  PUSH_IMM32 80
  PUSH_IMM32 200
  PUSH_IMM32 80
  PUSH_IMM32 0xFFFFFF00
  NATIVE_CALL Graphics 5
  ; text: the native font whole, the strip font over a range
  LOAD_LOCAL -2
  PUSH_STRING_CELL "Draw"
  PUSH_IMM32 10
  PUSH_IMM32 100
  PUSH_IMM32 0xFFFFFFFF
  PUSH_GLOBALS
  FIELD_ADDR 3
  NATIVE_CALL Graphics 2
  LOAD_LOCAL -2
  PUSH_STRING_CELL "<MCB DRAW!>"
  PUSH_IMM32 10
  PUSH_IMM32 160
  PUSH_IMM32 1
  PUSH_IMM32 9
  PUSH_IMM32 0xFFFFFFFF
  PUSH_GLOBALS
  FIELD_ADDR 2
  NATIVE_CALL Graphics 3
  ; the picture: whole, half transparent, a quarter of it, tiled
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 300
  PUSH_IMM32 20
  PUSH_IMM32 255
  NATIVE_CALL Graphics 1
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 320
  PUSH_IMM32 20
  PUSH_IMM32 128
  NATIVE_CALL Graphics 1
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 340
  PUSH_IMM32 20
  PUSH_IMM32 8
  PUSH_IMM32 8
  PUSH_IMM32 8
  PUSH_IMM32 8
  PUSH_IMM32 255
  NATIVE_CALL Graphics 7
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 400
  PUSH_IMM32 20
  PUSH_IMM32 40
  PUSH_IMM32 40
  PUSH_IMM32 8
  PUSH_IMM32 0
  PUSH_IMM32 255
  NATIVE_CALL Graphics 6
  ; turned by 3.141 radians (a half turn) and scaled twice about (500, 100)
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 500
  PUSH_IMM32 100
  PUSH_IMM64 0x324189374
  PUSH_IMM64 0x200000000
  PUSH_IMM64 0x200000000
  PUSH_IMM32 255
  NATIVE_CALL Graphics 10
  ; the bitmap written pixel by pixel and drawn into
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_IMM32 600
  PUSH_IMM32 20
  PUSH_IMM32 255
  NATIVE_CALL Graphics 1
  ; an empty bitmap only warns
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR 6
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 1
  PUSH_IMM32 1
  PUSH_IMM32 255
  NATIVE_CALL Graphics 7
  LOAD_LOCAL -2
  LOAD_LOCAL -3
  LOAD_LOCAL -4
  LOAD_LOCAL -5
  PUSH_IMM32 0
  NATIVE_CALL Graphics 9
  RETURN 0, 3
