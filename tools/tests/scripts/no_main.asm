; An image without a main export assembles with a warning; the host then
; runs only the initialiser, so nothing happens.
.include "runtime.asm"
.method helper export="helper"
  RETURN 0, 1
; warning: no method is exported as "main", so the host runs nothing (add export="main" to a .method)
