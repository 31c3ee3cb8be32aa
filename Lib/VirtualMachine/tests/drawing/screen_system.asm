; The Screen group and System operation 9 from bytecode: the screen size
; follows the orientation, repaint and blanking reach the host, a listener
; added twice and removed once stays a root; the current date in a zone.
; expect: 480
; expect: 800
; expect: 2
; expect: 800
; expect: 480
; expect: 1
; expect: 10 VMException: Screen: 9
; expect: 1
; expect: 6 InvalidArgumentException: Invalid timezone
; expect: kept
; args: --frames 1
.include "runtime.asm"
.include "drawing.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  NATIVE_CALL Screen 2
  CALL dec
  CALL dec
  NATIVE_CALL Screen 4
  CALL dec
  PUSH_IMM32 1
  NATIVE_CALL Screen 3
  NATIVE_CALL Screen 2
  CALL dec
  CALL dec
  NATIVE_CALL Screen 4
  CALL dec
  NATIVE_CALL Screen 1
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 10
  PUSH_IMM32 10
  NATIVE_CALL Screen 6
  PUSH_IMM32 -1
  NATIVE_CALL Screen 5
  PUSH_IMM32 0
  NATIVE_CALL Screen 5
  TRY any, s1
  NATIVE_CALL Screen 9
  END_TRY -1
s1:
  CALL report
  ; the date now in UTC reports zone 1; zone 2 is refused
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 1
  NATIVE_CALL System 9
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR 1
  NATIVE_CALL DateTime 13
  CALL dec
  TRY any, s2
  PUSH_IMM32 2
  NATIVE_CALL System 9
  END_TRY -1
s2:
  CALL report
  ; a listener nothing else holds, added twice and removed once
  PUSH_STRING_CELL "kept"
  DUP
  NATIVE_CALL Screen 7
  DUP
  NATIVE_CALL Screen 7
  DUP
  NATIVE_CALL Screen 8
  PUSH_GLOBALS
  FIELD_ADDR 9                       ; not a reference word: only the root keeps it
  LOAD_LOCAL -2
  STORE_WORD
  RESERVE -1
  PUSH_GLOBALS
  NATIVE_CALL System 5
  RETURN 0, 1

; After main's collection the listener is still alive: log it.
.method later export="<application>.draw to*<canvas>" params=2
  PUSH_GLOBALS
  FIELD_ADDR 9
  DEREF
  NATIVE_CALL Debug 1
  RETURN 0, 3
