; The runtime library every application includes first.
;
; It defines the root class (id 0), the base exception class Throwable and
; the three hooks the machine calls by name:
;   vminternalthrow<int>,<string>       an error raised by an instruction or
;                                       a native becomes a Throwable
;   vmprintthrowable<throwable>         logs a throwable
;   vmprintthrowableandexit<throwable>  an uncaught throw: log and exit
;
; Throwable layout: word 0 class id, word 1 error code, word 2 message (a
; string cell, so it can go straight to the string natives).

.class Object
.class Throwable super=Object refs=2

; Arguments: code (level 0), message (a string cell: the "**" asks for the
; message boxed twice, and the machine passes one level less).
; Stack on entry: code at -2 and message at -1 below the return slot.
.method vminternalthrow params=2 paramrefs=1 export="vminternalthrow<int>,**<string>"
  ALLOC CLASS_OBJECT, 3
  DUP
  SET_CLASS Throwable
  DUP
  FIELD_ADDR 1
  LOAD_LOCAL -5          ; the code
  STORE_WORD
  DUP
  FIELD_ADDR 2
  LOAD_LOCAL -4          ; the message cell
  STORE_WORD
  THROW

; Logs the message of the throwable argument.
.method vmprintthrowable params=1 paramrefs=0 export="vmprintthrowable*<throwable>"
  LOAD_LOCAL -2
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
  RETURN 0, 2

; Logs the uncaught throwable and ends the application. The frame was pushed
; by the machine, but there is nowhere sensible to return to.
.method vmprintthrowableandexit params=1 paramrefs=0 export="vmprintthrowableandexit*<throwable>"
  PUSH_STRING_CELL "Uncaught exception"
  NATIVE_CALL Debug 1
  LOAD_LOCAL -2
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug 1
  NATIVE_CALL System 1       ; exit
  PUSH_STRING_CELL "exit"    ; a host that does not exit at once: end the run
  NATIVE_CALL System 2
  RETURN 0, 2                ; not reached
