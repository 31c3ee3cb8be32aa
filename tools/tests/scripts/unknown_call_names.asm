; Names a call cannot take: each is refused at its own line and column, and
; an unknown group or extension is reported once, at its name.
.include "runtime.asm"

.method main export="main"
  EXTENSION_CALL XmlParser parse
  EXTENSION_CALL XMLParser frob
  EXTENSION_CALL 21, load
  EXTENSION_CALL String indexOf
  NATIVE_CALL XMLParser parse
  NATIVE_CALL String frob
  EXTENSION_CALL XMLParser parse
  RETURN 0, 1
; expect error: 6:18: unknown extension 'XmlParser'
; expect error: 7:28: unknown operation 'frob' of extension 23
; expect error: 8:22: unknown operation 'load' of extension 21
; expect error: 9:18: unknown extension 'String'
; expect error: 10:15: unknown native group 'XMLParser'
; expect error: 11:22: unknown operation 'frob' of native group 8
