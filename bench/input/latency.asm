; The input-latency benchmark's application: every key press asks for a
; repaint of the whole screen, and the frame fills it with a colour that
; changes with the count of presses. Escape logs the count and exits, so
; the benchmark can check that every press arrived.
.include "runtime.asm"
.include "app_object.inc"
.tag "latency"

.method main export="main"
  CALL registerApp
  RETURN 0, 1

.method keyPressed params=2 export="*<application>.key pressed<keyevent>"
  LOAD_LOCAL -2
  NATIVE_CALL KeyEvent 1
  PUSH_IMM32 0x01000000
  CMP_EQ
  JUMP_IF_FALSE count
  PUSH_STRING_CELL "presses "
  PUSH_GLOBALS
  FIELD_ADDR 1
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  NATIVE_CALL System 1
count:
  PUSH_GLOBALS
  FIELD_ADDR 1
  INC_AT
  NATIVE_CALL Screen 1
  RETURN 0, 3

.method draw params=2 export="<application>.draw to*<canvas>"
  LOAD_LOCAL -2                      ; the canvas
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 800
  PUSH_IMM32 480
  PUSH_GLOBALS
  FIELD_ADDR 1
  DEREF
  PUSH_IMM32 0x010305
  MUL
  PUSH_IMM32 0xFF000000
  OR
  NATIVE_CALL Graphics 4
  RETURN 0, 3
