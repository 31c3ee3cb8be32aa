; Bitmap pixels count against the host-memory limit: nothing is collected
; during one call, so a loop making bitmaps stops with code 6 instead of
; exhausting the host; a picture past the limit is refused before the
; toolkit is asked.
; args: --memory-limit 4000000 --frames 1
; expect: 6 InvalidArgumentException: Host memory limit reached
; expect: stopped before 100
; expect: 6 InvalidArgumentException: Host memory limit reached
.include "runtime.asm"
.include "drawing.inc"

.method main export="main" locals=1
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 0                       ; i
  TRY any, full
more:
  ALLOC REF_HOLDER, 1
  PUSH_IMM32 100
  PUSH_IMM32 100
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1               ; 80 000 bytes counted each, none freed
  ADDR_LOCAL -1
  INC_AT
  LOAD_LOCAL -1
  PUSH_IMM32 100
  CMP_LT
  JUMP_IF_FALSE enough
  JUMP more
enough:
  END_TRY -1
  PUSH_STRING_CELL "no limit met"
  NATIVE_CALL Debug 1
  JUMP after
full:
  CALL report
  LOAD_LOCAL -1
  PUSH_IMM32 100
  CMP_LT
  JUMP_IF_FALSE after
  PUSH_STRING_CELL "stopped before 100"
  NATIVE_CALL Debug 1
after:
  RESERVE -1
  PUSH_GLOBALS
  NATIVE_CALL System 5
  RETURN 0, 1

; The next call starts after a collection freed them all: a 2000 by 2000
; picture is still too much for the limit.
.method draw params=2 export="<application>.draw to*<canvas>"
  TRY any, big
  PUSH_GLOBALS
  FIELD_ADDR 1
  PUSH_IMM32 2000
  PUSH_IMM32 2000
  PUSH_IMM32 0xFF000000
  NATIVE_CALL Bitmap 1
  END_TRY -1
  RETURN 0, 3
big:
  CALL report
  RETURN 0, 3
