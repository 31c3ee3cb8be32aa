; One frame of drawing, the frame benchmark's bytecode side: 1000 fillRect,
; 100 drawBitmap, 1000 setPixel (then that bitmap drawn once) and 100 draw
; string calls on the 800 by 480 canvas. FrameBench.cpp makes the same
; calls directly on QPainter and QImage and compares the pictures.
.include "runtime.asm"
.globals 20

; word 1: the sprite (32 by 32), 2: the pixel bitmap (100 by 100), 3: the
; native font, 4: the text.
.class Globals super=Object refs=1 2 3 4

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_GLOBALS
  NATIVE_CALL System 5
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 32
  PUSH_IMM32 32
  PUSH_IMM32 0xFF3366CC
  NATIVE_CALL Bitmap 1
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 4
  PUSH_IMM32 4
  PUSH_IMM32 8
  PUSH_IMM32 8
  PUSH_IMM32 0xFFFFCC00
  NATIVE_CALL Graphics 4
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 100
  PUSH_IMM32 100
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  PUSH_GLOBALS
  FIELD_ADDR 3
  NATIVE_CALL System 10
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 4
  PUSH_STRING "Frame text"
  STORE_WORD
  RETURN 0, 1

.method draw params=2 locals=1 export="<application>.draw to*<canvas>"
  PUSH_IMM32 0                       ; i
fill:
  LOAD_LOCAL -1
  PUSH_IMM32 1000
  CMP_LT
  JUMP_IF_FALSE fill_done
  LOAD_LOCAL -3                      ; canvas
  LOAD_LOCAL -2
  PUSH_IMM32 13
  MUL
  PUSH_IMM32 780
  REM                                ; x
  LOAD_LOCAL -3
  PUSH_IMM32 7
  MUL
  PUSH_IMM32 470
  REM                                ; y
  PUSH_IMM32 20
  PUSH_IMM32 10
  LOAD_LOCAL -6
  PUSH_IMM32 0x10305
  MUL
  PUSH_IMM32 0xFF000000
  OR                                 ; colour
  NATIVE_CALL Graphics 4
  ADDR_LOCAL -1
  INC_AT
  JUMP fill
fill_done:
  ADDR_LOCAL -1
  PUSH_IMM32 0
  STORE_WORD
sprites:
  LOAD_LOCAL -1
  PUSH_IMM32 100
  CMP_LT
  JUMP_IF_FALSE sprites_done
  LOAD_LOCAL -3
  PUSH_GLOBALS
  FIELD_ADDR 1
  LOAD_LOCAL -3
  PUSH_IMM32 37
  MUL
  PUSH_IMM32 760
  REM
  LOAD_LOCAL -4
  PUSH_IMM32 23
  MUL
  PUSH_IMM32 440
  REM
  PUSH_IMM32 255
  NATIVE_CALL Graphics 1
  ADDR_LOCAL -1
  INC_AT
  JUMP sprites
sprites_done:
  ADDR_LOCAL -1
  PUSH_IMM32 0
  STORE_WORD
pixels:
  LOAD_LOCAL -1
  PUSH_IMM32 1000
  CMP_LT
  JUMP_IF_FALSE pixels_done
  PUSH_GLOBALS
  FIELD_ADDR 2
  LOAD_LOCAL -2
  PUSH_IMM32 100
  REM
  LOAD_LOCAL -3
  PUSH_IMM32 7
  MUL
  PUSH_IMM32 100
  REM
  LOAD_LOCAL -4
  PUSH_IMM32 66051
  MUL
  PUSH_IMM32 0xFF000000
  OR
  NATIVE_CALL Bitmap 9
  ADDR_LOCAL -1
  INC_AT
  JUMP pixels
pixels_done:
  LOAD_LOCAL -3
  PUSH_GLOBALS
  FIELD_ADDR 2
  PUSH_IMM32 700
  PUSH_IMM32 380
  PUSH_IMM32 255
  NATIVE_CALL Graphics 1
  ADDR_LOCAL -1
  PUSH_IMM32 0
  STORE_WORD
texts:
  LOAD_LOCAL -1
  PUSH_IMM32 100
  CMP_LT
  JUMP_IF_FALSE texts_done
  LOAD_LOCAL -3
  PUSH_GLOBALS
  FIELD_ADDR 4
  LOAD_LOCAL -3
  PUSH_IMM32 53
  MUL
  PUSH_IMM32 700
  REM
  LOAD_LOCAL -4
  PUSH_IMM32 29
  MUL
  PUSH_IMM32 430
  REM
  PUSH_IMM32 0xFFFFFFFF
  PUSH_GLOBALS
  FIELD_ADDR 3
  NATIVE_CALL Graphics 2
  ADDR_LOCAL -1
  INC_AT
  JUMP texts
texts_done:
  RESERVE -1
  RETURN 0, 3
