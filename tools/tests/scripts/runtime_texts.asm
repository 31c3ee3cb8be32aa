; Runtime texts of our own say what happened: a virtual call without an
; entry names the method and the receiver's class (after the fixed text).
.include "runtime.asm"
.class Shape
.class Circle super=Shape
.class Square super=Shape

.method circleDraw params=1
  RETURN 0, 2
.virtual "<shape>.draw"
  Circle circleDraw
.end

.method main export="main"
  ALLOC CLASS_OBJECT, 1
  DUP
  SET_CLASS Square
  DUP
  DEREF
  CALL_VIRTUAL "<shape>.draw"
  RETURN 0, 1

; expect fatal: RuntimeException: Invalid type in virtual method call
; expect stderr:   virtual method "<shape>.draw" has no entry for Square (class 4)
; expect stderr:   at main (runtime_texts.asm:20)
