; The window tests' application: logs every event it receives, one line
; each ("pressed <code> <scan> <text>", "pointer <kind> <x> <y>",
; "foreground", ...). Keys it acts on: F raises an error that escapes the
; machine, Q asks to end the run, X exits.
.include "runtime.asm"
.tag "events"
.class App super=Object

.method main export="main"
  ALLOC CLASS_OBJECT, 1
  DUP
  SET_CLASS App
  NATIVE_CALL System 5               ; the application object
  PUSH_STRING_CELL "started"
  NATIVE_CALL Debug 1
  RETURN 0, 1

; [prefix cell, key event cell] -> []: logs "<prefix><code> <scan> <text>"
.method logKey params=2
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  NATIVE_CALL KeyEvent 1
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  PUSH_STRING_CELL " "
  NATIVE_CALL String 48
  LOAD_LOCAL -3
  NATIVE_CALL KeyEvent 3
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  PUSH_STRING_CELL " "
  NATIVE_CALL String 48
  LOAD_LOCAL -3
  NATIVE_CALL KeyEvent 4
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  RETURN 0, 3

.method keyPressed params=2 export="*<application>.key pressed<keyevent>"
  PUSH_STRING_CELL "pressed "
  LOAD_LOCAL -3
  CALL logKey
  LOAD_LOCAL -2
  NATIVE_CALL KeyEvent 1
  DUP
  PUSH_IMM32 0x46                    ; F: an invalid address, code 11
  CMP_EQ
  JUMP_IF_FALSE notF
  PUSH_IMM32 0x7FFFFFF0
  DEREF
notF:
  DUP
  PUSH_IMM32 0x51                    ; Q: a termination request
  CMP_EQ
  JUMP_IF_FALSE notQ
  PUSH_STRING_CELL "quit"
  NATIVE_CALL System 2
notQ:
  PUSH_IMM32 0x58                    ; X: exit at once
  CMP_EQ
  JUMP_IF_FALSE notX
  NATIVE_CALL System 1
notX:
  RETURN 0, 3

.method keyReleased params=2 export="*<application>.key released<keyevent>"
  PUSH_STRING_CELL "released "
  LOAD_LOCAL -3
  CALL logKey
  RETURN 0, 3

.method pointer params=5 export="*<application>.pointer event<int>at x<int>y<int>modifiers<int>"
  PUSH_STRING_CELL "pointer "
  LOAD_LOCAL -6                      ; kind
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  PUSH_STRING_CELL " "
  NATIVE_CALL String 48
  LOAD_LOCAL -5                      ; x
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  PUSH_STRING_CELL " "
  NATIVE_CALL String 48
  LOAD_LOCAL -4                      ; y
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  RETURN 0, 6

.method foreground params=1 export="*<application>.foreground event"
  PUSH_STRING_CELL "foreground"
  NATIVE_CALL Debug 1
  RETURN 0, 2

.method background params=1 export="*<application>.background event"
  PUSH_STRING_CELL "background"
  NATIVE_CALL Debug 1
  RETURN 0, 2
