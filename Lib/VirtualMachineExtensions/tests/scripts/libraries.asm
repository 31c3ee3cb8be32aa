; Extension libraries: an id that is not built in is loaded from
; "<application directory>/<id>.so"; a missing file, a file that is not a
; library, one without the factory and one whose factory refuses each end
; in "DLL not supported", and the run goes on. A failed load is tried again.
; env: MCB_DEVICE_ROOT={app}/devices
.include "runtime.asm"
.include "ext.inc"

; [id] -> []: calls opcode 1 of that extension, logging what it raised.
.method try_library params=1
  TRY Throwable, caught
  PUSH_IMM32 5
  LOAD_LOCAL -3
  PUSH_IMM32 21
  CMP_EQ
  JUMP_IF_FALSE not21
  EXTENSION_CALL 21, 1
  JUMP done
not21:
  LOAD_LOCAL -3
  PUSH_IMM32 41
  CMP_EQ
  JUMP_IF_FALSE not41
  EXTENSION_CALL 41, 1
  JUMP done
not41:
  LOAD_LOCAL -3
  PUSH_IMM32 42
  CMP_EQ
  JUMP_IF_FALSE not42
  EXTENSION_CALL 42, 1
  JUMP done
not42:
  EXTENSION_CALL 43, 1
done:
  END_TRY -1
  RETURN 0, 2
caught:
  CALL log_caught
  RETURN 0, 2

.method main export="main"
  PUSH_IMM32 21
  CALL try_library
  PUSH_IMM32 21
  CALL try_library
  PUSH_IMM32 41
  CALL try_library
  PUSH_IMM32 42
  CALL try_library
  PUSH_IMM32 43
  CALL try_library
; expect: VMException: DLL not supported
; expect: VMException: DLL not supported
; expect: VMException: DLL not supported
; expect: VMException: DLL not supported
; expect: VMException: DLL not supported
; expect stderr: dlopen() failed: {app}/21.so: cannot open shared object file: No such file or directory
; expect stderr: dlopen() failed: {app}/21.so: cannot open shared object file: No such file or directory
; expect stderr: dlopen() failed: {app}/41.so: file too short
; expect stderr: Failed to resolve createExtension(): {app}/42.so: undefined symbol: createExtension
; expect stderr: createExtension() returned no extension: {app}/43.so

  ; The example library keeps one instance: its total survives between calls.
  PUSH_IMM32 5
  EXTENSION_CALL 40, 1
  PUSH_IMM32 7
  EXTENSION_CALL 40, 1
  EXTENSION_CALL 40, 2
  CALL log_int
; expect: 12
  PUSH_STRING_CELL "from the library"
  EXTENSION_CALL 40, 3
; expect: total 12: from the library

  ; A built-in id reads its device without any library.
  EXTENSION_CALL 20, 11
  CALL log_fixed
; expect: 0.0

  ; An unknown opcode is the library's own error, and ends the run.
  EXTENSION_CALL 40, 9
; expect fatal: RuntimeException: Example: Unknown opcode: 9
  RETURN 0, 1
