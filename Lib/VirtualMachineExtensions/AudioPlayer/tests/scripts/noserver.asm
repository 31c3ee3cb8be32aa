; No sound server at all: the first mixer and player operations that need
; one raise code 7, which the image catches; the run goes on, and the next
; attempts fail the same way.
; env: PULSE_RUNTIME_PATH={app}
; file: tone.raw: \x00\x10\x00\x20
.include "runtime.asm"
.include "ext.inc"

.class Holder super=Object refs=1

; [holder] -> []: a new mixer, logging what it raised.
.method try_mixer params=1
  TRY Throwable, caught
  LOAD_LOCAL -2
  EXTENSION_CALL 30, 1
  END_TRY -1
  RETURN 0, 2
caught:
  CALL log_caught
  RETURN 0, 2

; [holder] -> []: play, logging what it raised.
.method try_play params=1
  TRY Throwable, caught_play
  LOAD_LOCAL -2
  EXTENSION_CALL 28, 3
  END_TRY -1
  RETURN 0, 2
caught_play:
  CALL log_caught
  RETURN 0, 2

.method main export="main" locals=2 localrefs=1,2
  ALLOC CLASS_OBJECT, 2   ; slot 1: a mixer holder
  DUP
  SET_CLASS Holder
  ALLOC CLASS_OBJECT, 2   ; slot 2: a player holder
  DUP
  SET_CLASS Holder
  LOAD_LOCAL -2
  CALL try_mixer
; expect: IOException: AudioMixer: Connection refused
  LOAD_LOCAL -2
  CALL try_mixer
; expect: IOException: AudioMixer: Connection refused
  ; Loading needs no server; playing does.
  LOAD_LOCAL -1
  PUSH_STRING_CELL "tone.raw"
  PUSH_IMM32 0
  EXTENSION_CALL 28, 1
  LOAD_LOCAL -1
  CALL try_play
; expect: IOException: AudioPlayer: Connection refused
  LOAD_LOCAL -1
  CALL try_play
; expect: IOException: AudioPlayer: Connection refused
  PUSH_STRING_CELL "still running"
  NATIVE_CALL Debug 1
; expect: still running
  RETURN 2, 3
