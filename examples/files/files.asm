; Files and a timer: writes a file, reads it back, lists its directory,
; then a timer logs five ticks and the application ends its run.
; expect: wrote 11 bytes
; expect: read back: hello files
; expect: data holds 1 file
; expect: note.txt
; expect: tick 1
; expect: tick 2
; expect: tick 3
; expect: tick 4
; expect: tick 5
; expect: done
.include "runtime.asm"
.tag "files"
.globals 12

; The globals object: word 1 the timer object's cell, word 2 the tick count.
.class Globals super=Object refs=1

; Reader, writer and timer objects are one-word cells that the natives fill.
.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals

  PUSH_STRING_CELL "data"
  NATIVE_CALL FileSystem 8           ; make the directory
  PUSH_STRING_CELL "data/.hidden"
  NATIVE_CALL FileSystem 7           ; never listed

  ; Write, report the size, close.
  ALLOC REF_HOLDER, 1                ; [writer]
  DUP
  PUSH_STRING_CELL "data/note.txt"
  PUSH_FALSE                         ; not appending: start empty
  NATIVE_CALL FileWriter 1
  DUP
  PUSH_STRING_CELL "hello files"
  NATIVE_CALL Encoder 1              ; the bytes
  NATIVE_CALL OutputStream 3
  PUSH_STRING_CELL "wrote "
  LOAD_LOCAL -2
  NATIVE_CALL FileWriter 4           ; size
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  PUSH_STRING_CELL " bytes"
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  NATIVE_CALL OutputStream 1         ; close

  ; Read the whole file back.
  ALLOC REF_HOLDER, 1                ; [reader]
  DUP
  PUSH_STRING_CELL "data/note.txt"
  NATIVE_CALL FileReader 1
  PUSH_STRING_CELL "read back: "
  LOAD_LOCAL -2
  LOAD_LOCAL -1
  NATIVE_CALL FileReader 4           ; size
  NATIVE_CALL InputStream 3          ; that many bytes
  NATIVE_CALL Encoder 2
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  NATIVE_CALL InputStream 1          ; close

  ; The files of the directory: the hidden one is left out.
  PUSH_STRING_CELL "data"
  NATIVE_CALL FileSystem 6           ; [names]
  PUSH_STRING_CELL "data holds "
  LOAD_LOCAL -2
  NATIVE_CALL RefVector 11           ; count
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  PUSH_STRING_CELL " file"
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  PUSH_IMM32 0
  NATIVE_CALL RefVector 8            ; the first name
  NATIVE_CALL Debug 1

  ; A timer every 10 ms, kept alive through the globals.
  ALLOC REF_HOLDER, 1                ; [timer]
  PUSH_GLOBALS
  FIELD_ADDR 1
  LOAD_LOCAL -2
  STORE_WORD
  DUP
  NATIVE_CALL Timer 1
  LOAD_LOCAL -1                      ; the listener: the timer object itself
  PUSH_IMM32 10
  NATIVE_CALL Timer 2
  RETURN 0, 1

.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  PUSH_GLOBALS
  FIELD_ADDR 2
  INC_AT
  PUSH_STRING_CELL "tick "
  PUSH_GLOBALS
  FIELD_ADDR 2
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL String 48
  NATIVE_CALL Debug 1
  PUSH_GLOBALS
  FIELD_ADDR 2
  DEREF
  PUSH_IMM32 5
  CMP_LT
  JUMP_IF_FALSE tick_last
  RETURN 0, 2
tick_last:
  PUSH_GLOBALS
  FIELD_ADDR 1
  DEREF
  NATIVE_CALL Timer 3                ; stop
  PUSH_STRING_CELL "done"
  NATIVE_CALL Debug 1
  PUSH_STRING_CELL "finished"
  NATIVE_CALL System 2               ; end the run: the host tears down in order
  RETURN 0, 2
