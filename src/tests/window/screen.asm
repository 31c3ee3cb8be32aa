; The window tests' drawing application. Its frame: a grey ground, red,
; green and blue marks at fixed pixmap places, and a square whose colour
; follows the count of ordinary key presses. Keys: O portrait, L
; landscape (both log the screen size), S logs it, B pauses blanking, N
; ends the pause, R asks for a repaint of (10, 20, 30, 40); every other
; key counts and asks for a repaint of the whole screen.
.include "runtime.asm"
.include "app_object.inc"
.tag "screen"

.method main export="main"
  CALL registerApp
  PUSH_STRING_CELL "started"
  NATIVE_CALL Debug 1
  RETURN 0, 1

; Logs "size <width> <height>".
.method logSize
  NATIVE_CALL Screen 2
  PUSH_STRING_CELL "size "
  LOAD_LOCAL -3
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  PUSH_STRING_CELL " "
  NATIVE_CALL String 48
  LOAD_LOCAL -2
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  RESERVE -2
  RETURN 0, 1

.method keyPressed params=2 export="*<application>.key pressed<keyevent>"
  LOAD_LOCAL -2
  NATIVE_CALL KeyEvent 1
  DUP
  PUSH_IMM32 0x4F
  CMP_EQ
  JUMP_IF_FALSE notO
  PUSH_IMM32 1
  NATIVE_CALL Screen 3
  CALL logSize
  JUMP done
notO:
  DUP
  PUSH_IMM32 0x4C
  CMP_EQ
  JUMP_IF_FALSE notL
  PUSH_IMM32 2
  NATIVE_CALL Screen 3
  CALL logSize
  JUMP done
notL:
  DUP
  PUSH_IMM32 0x53
  CMP_EQ
  JUMP_IF_FALSE notS
  CALL logSize
  JUMP done
notS:
  DUP
  PUSH_IMM32 0x42
  CMP_EQ
  JUMP_IF_FALSE notB
  PUSH_IMM32 -1
  NATIVE_CALL Screen 5
  PUSH_STRING_CELL "paused"
  NATIVE_CALL Debug 1
  JUMP done
notB:
  DUP
  PUSH_IMM32 0x4E
  CMP_EQ
  JUMP_IF_FALSE notN
  PUSH_IMM32 0
  NATIVE_CALL Screen 5
  PUSH_STRING_CELL "resumed"
  NATIVE_CALL Debug 1
  JUMP done
notN:
  DUP
  PUSH_IMM32 0x52
  CMP_EQ
  JUMP_IF_FALSE notR
  PUSH_IMM32 10
  PUSH_IMM32 20
  PUSH_IMM32 30
  PUSH_IMM32 40
  NATIVE_CALL Screen 6
  JUMP done
notR:
  PUSH_GLOBALS
  FIELD_ADDR 1
  INC_AT
  PUSH_STRING_CELL "counted"
  NATIVE_CALL Debug 1
  NATIVE_CALL Screen 1
done:
  RESERVE -1
  RETURN 0, 3

.method draw params=2 export="<application>.draw to*<canvas>"
  LOAD_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 800
  PUSH_IMM32 800
  PUSH_IMM32 0xFF808080
  NATIVE_CALL Graphics 4
  LOAD_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 100
  PUSH_IMM32 50
  PUSH_IMM32 0xFFFF0000
  NATIVE_CALL Graphics 4
  LOAD_LOCAL -2
  PUSH_IMM32 300
  PUSH_IMM32 100
  PUSH_IMM32 50
  PUSH_IMM32 20
  PUSH_IMM32 0xFF00FF00
  NATIVE_CALL Graphics 4
  LOAD_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 430
  PUSH_IMM32 100
  PUSH_IMM32 50
  PUSH_IMM32 0xFF0000FF
  NATIVE_CALL Graphics 4
  LOAD_LOCAL -2
  PUSH_IMM32 200
  PUSH_IMM32 200
  PUSH_IMM32 60
  PUSH_IMM32 60
  PUSH_GLOBALS
  FIELD_ADDR 1
  DEREF
  PUSH_IMM32 0x102030
  MUL
  PUSH_IMM32 0xFF000000
  OR
  NATIVE_CALL Graphics 4
  PUSH_STRING_CELL "draw"
  NATIVE_CALL Debug 1
  RETURN 0, 3
