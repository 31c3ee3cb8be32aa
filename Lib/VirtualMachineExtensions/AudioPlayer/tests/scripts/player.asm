; The player from bytecode, on the fixture's sound server: player objects
; from a file and from a byte vector, repeats, play queued until the
; connection is ready, stop; the codes and messages of a file that is not
; there and of an opcode the player lacks.
; file: tone.raw: \x00\x10\x00\x20\x00\x30\x00\x20
.include "runtime.asm"
.include "ext.inc"

; Holder: word 1 is the native player.
.class Holder super=Object refs=1

; [holder, path] -> []: opcode 1, logging "loaded" or what it raised.
.method try_load params=2
  TRY Throwable, caught
  LOAD_LOCAL -3
  LOAD_LOCAL -3
  PUSH_IMM32 0
  EXTENSION_CALL 28, 1
  PUSH_STRING_CELL "loaded"
  NATIVE_CALL Debug 1
  END_TRY -1
  RETURN 0, 3
caught:
  CALL log_caught
  RETURN 0, 3

.method main export="main" locals=3 localrefs=1 localvectors=2:data
  ALLOC CLASS_OBJECT, 2   ; slot 1: the holder
  DUP
  SET_CLASS Holder
  RESERVE 2               ; slots 2-3: a byte vector of 4410 zero bytes
  ADDR_LOCAL -2
  NEW_VECTOR 1
  ADDR_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 4410
  NATIVE_CALL ByteVector 3
  LOAD_LOCAL -3
  PUSH_STRING_CELL "missing.raw"
  CALL try_load
; expect: IOException: Could not open file: missing.raw
  LOAD_LOCAL -3
  PUSH_STRING_CELL "tone.raw"
  CALL try_load
; expect: loaded
  LOAD_LOCAL -3
  PUSH_IMM32 2
  PUSH_IMM32 0
  EXTENSION_CALL 28, 14   ; repeats 2
  LOAD_LOCAL -3
  EXTENSION_CALL 28, 3    ; play, queued
  LOAD_LOCAL -3
  EXTENSION_CALL 28, 3    ; play again: still one stream
  ; Opcodes 6, 9 and 11 only pop; 7, 8, 10, 12 and 13 answer 0 in place.
  PUSH_IMM32 5
  EXTENSION_CALL 28, 6
  PUSH_IMM32 5
  PUSH_IMM32 6
  EXTENSION_CALL 28, 9
  PUSH_IMM32 5
  PUSH_IMM32 6
  EXTENSION_CALL 28, 11
  PUSH_IMM32 9
  EXTENSION_CALL 28, 7
  EXTENSION_CALL 28, 8
  EXTENSION_CALL 28, 10
  EXTENSION_CALL 28, 12
  EXTENSION_CALL 28, 13
  CALL log_int
; expect: 0
  ; A second player from the vector replaces the first in the holder.
  LOAD_LOCAL -3
  ADDR_LOCAL -3
  PUSH_IMM32 0
  EXTENSION_CALL 28, 2
  LOAD_LOCAL -3
  EXTENSION_CALL 28, 3
  LOAD_LOCAL -3
  EXTENSION_CALL 28, 4    ; stop, queued after the play
  LOAD_LOCAL -3
  EXTENSION_CALL 28, 5
; expect fatal: RuntimeException: AudioPlayer: Unknown opcode!
  RETURN 3, 4
