; A document larger than the host-memory limit allows: parsing raises
; code 6, which the image catches, and the run goes on.
; args: --memory-limit 5000000
.include "runtime.asm"
.include "ext.inc"
.include "xml.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 1
  CALL put
  ; "<a>" + 100000 times "<b/>" + "</a>": under a megabyte of text, but
  ; over ten of nodes.
  PUSH_STRING_CELL "<a>"
  PUSH_STRING_CELL "<b/>"
  PUSH_IMM32 100000
  NATIVE_CALL String repeated
  NATIVE_CALL String concat
  PUSH_STRING_CELL "</a>"
  NATIVE_CALL String concat
  EXTENSION_CALL XMLParser fromText
  TRY Throwable, caught
  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL XMLParser parse
  CALL log_int
  END_TRY -1
  JUMP after
caught:
  CALL log_caught
after:
; expect: InvalidArgumentException: Host memory limit reached
  RETURN 0, 1
