; The assembler follows the stack depth through every path of each method
; and warns where a method cannot be right. None of these methods runs.
.include "runtime.asm"

; A helper that leaves an extra slot: its RETURN reads the wrong slot.
.method extraSlot params=1
  LOAD_LOCAL -2
  PUSH_IMM32 1
  ADD
  RETURN 0, 2

; Two paths reach the join with different depths.
.method unequal params=1
  LOAD_LOCAL -2
  JUMP_IF_FALSE skip
  PUSH_IMM32 7
skip:
  RETURN 0, 2

; A distance counted wrongly: -1 at entry is the return address, -4 is
; below a one-parameter frame, and 3 is above the top.
.method distances params=1
  LOAD_LOCAL -1
  RESERVE -1
  ADDR_LOCAL -4
  RESERVE -1
  LOAD_LOCAL 3
  RESERVE -1
  RETURN 0, 2

; Dropping more than the method pushed.
.method underflows
  RESERVE -5
  RETURN 0, 1

; A native given too few arguments (setRed takes a colour and a value).
.method tooFew
  PUSH_IMM32 1
  NATIVE_CALL Color setRed
  RETURN 0, 1

; A call without its arguments on the stack.
.method needsTwo params=2
  RETURN 0, 3
.method caller
  PUSH_IMM32 1
  CALL needsTwo
  RETURN 0, 1

; Two RETURNs that leave the caller different stacks.
.method twoWays params=1
  LOAD_LOCAL -2
  JUMP_IF_FALSE other
  RETURN 0, 2
other:
  RETURN 0, 1

; No RETURN: it would run on into main.
.method noReturn
  PUSH_STRING_CELL "forgot to return"
  NATIVE_CALL Debug log

.method main export="main"
  RETURN 0, 1

; warning: RETURN 0, 2 at stack depth 1: the return address is 1 below the top (expected RETURN 1, 3)
; warning: RETURN 0, 2 at stack depth 1: the return address is 1 below the top (expected RETURN 1, 3)
; warning: paths meet here with different stack depths (1 and 0)
; warning: LOAD_LOCAL8 -1 at stack depth 0 reaches the return-address slot
; warning: ADDR_LOCAL8 -4 at stack depth 0 reaches below the frame (its lowest slot is -1)
; warning: LOAD_LOCAL8 3 at stack depth 0 reaches above the top of the stack
; warning: RESERVE8 takes 5 slots but the stack holds 0 above the return address here
; warning: NATIVE_CALL takes 2 slots but the stack holds 1 above the return address here
; warning: CALL needs 0 result and 2 parameter slots on the stack, but it holds 1 here
; warning: RETURN 0, 1 drops 0 of the caller's slots where an earlier RETURN drops 1
; warning: method 'noReturn' can fall off its end into 'main' (no RETURN, JUMP or THROW)
