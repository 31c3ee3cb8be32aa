; An error inside the hook that converts errors into throwables would be
; converted by the same hook again, for ever (this hook drops its
; arguments first, so the slot stack does not fill either). The run ends
; with a code 11 error naming the hook instead.
; args: --budget 100000
; expect: dividing
; expect fatal: RuntimeException: Error inside vminternalthrow<int>,<string>: NullPointerException: NULL pointer
.class Object
.class Throwable super=Object refs=2

.method vminternalthrow params=2 paramrefs=1 export="vminternalthrow<int>,**<string>"
  RESERVE -4             ; its arguments and what the fault left
  PUSH_IMM32 0
  DEREF                  ; faults, leaving one slot
  THROW

.method main export="main"
  PUSH_STRING_CELL "dividing"
  NATIVE_CALL Debug 1
  PUSH_IMM32 1
  PUSH_IMM32 0
  DIV
  RETURN 0, 1
