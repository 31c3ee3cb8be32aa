; The mixer from bytecode, on the fixture's sound server: a mixer object in
; the first field of the image's object, sounds by index, volumes, play and
; stop; indexes outside the list are refused with code 2.
; file: beep.raw: \x10\x00\x20\x00\x30
.include "runtime.asm"
.include "ext.inc"

; Holder: word 1 is the native mixer.
.class Holder super=Object refs=1

; [holder, index] -> []: play, logging what it raised.
.method try_play params=2
  TRY Throwable, caught
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  EXTENSION_CALL 30, 4
  END_TRY -1
  RETURN 0, 3
caught:
  CALL log_caught
  RETURN 0, 3

.method main export="main" locals=1 localrefs=1
  ALLOC CLASS_OBJECT, 2   ; slot 1: the holder
  DUP
  SET_CLASS Holder
  LOAD_LOCAL -1
  EXTENSION_CALL 30, 1
  ; Sound 0 is the file's two samples (the odd byte is left out); a file
  ; that is not there gives -1.
  LOAD_LOCAL -1
  PUSH_STRING_CELL "beep.raw"
  EXTENSION_CALL 30, 2
  CALL log_int
; expect: 0
  LOAD_LOCAL -1
  PUSH_STRING_CELL "missing.raw"
  EXTENSION_CALL 30, 2
  CALL log_int
; expect: -1
  LOAD_LOCAL -1
  PUSH_STRING_CELL "beep.raw"
  EXTENSION_CALL 30, 2
  CALL log_int
; expect: 1
  LOAD_LOCAL -1
  PUSH_IMM32 1
  EXTENSION_CALL 30, 7
  CALL log_int
; expect: 256
  LOAD_LOCAL -1
  PUSH_IMM32 1
  PUSH_IMM32 100
  EXTENSION_CALL 30, 6
  LOAD_LOCAL -1
  PUSH_IMM32 1
  EXTENSION_CALL 30, 7
  CALL log_int
; expect: 100
  LOAD_LOCAL -1
  PUSH_IMM32 0
  CALL try_play
  LOAD_LOCAL -1
  PUSH_IMM32 0
  EXTENSION_CALL 30, 5
  LOAD_LOCAL -1
  PUSH_IMM32 2
  CALL try_play
; expect: IndexOutOfBoundsException: AudioMixer: no sound 2
  LOAD_LOCAL -1
  PUSH_IMM32 -1
  CALL try_play
; expect: IndexOutOfBoundsException: AudioMixer: no sound -1
  ; Opcodes 3, 8 and 9 do nothing (9 answers 0).
  LOAD_LOCAL -1
  PUSH_IMM32 5
  EXTENSION_CALL 30, 3
  PUSH_IMM32 1
  PUSH_IMM32 2
  PUSH_IMM32 3
  EXTENSION_CALL 30, 8
  LOAD_LOCAL -1
  PUSH_IMM32 7
  EXTENSION_CALL 30, 9
  CALL log_int
; expect: 0
  LOAD_LOCAL -1
  EXTENSION_CALL 30, 10
; expect fatal: RuntimeException: AudioMixer: Unknown opcode!
  RETURN 1, 2
