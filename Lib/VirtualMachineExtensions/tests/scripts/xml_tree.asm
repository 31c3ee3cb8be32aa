; The XML parser from text: walking a parsed tree through every query.
.include "runtime.asm"
.include "ext.inc"
.include "xml.inc"

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ; g1: the parser
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 1
  CALL put
  PUSH_STRING_CELL "<r xmlns:p=\"urn:p\"><a>one</a>\n  <p:b k=\"v\" p:n=\"w\"><![CDATA[x<y]]><!--note--></p:b></r>"
  EXTENSION_CALL XMLParser fromText

  ; No document before parsing.
  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL XMLParser document
  CALL log_null
; expect: null
  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL XMLParser parse
  CALL log_int
; expect: 1

  ; g2: the document node
  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL XMLParser document
  CALL wrap
  DUP
  PUSH_IMM32 2
  CALL put
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 9

  ; g3: the root element, the document's only child
  PUSH_IMM32 2
  CALL get
  EXTENSION_CALL XMLParser children
  DUP
  CALL log_count
; expect: 1
  PUSH_IMM32 0
  CALL element
  DUP
  PUSH_IMM32 3
  CALL put
  DUP
  EXTENSION_CALL XMLParser name
  NATIVE_CALL Debug 1
; expect: r
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 1

  ; Its children: a, the white space between, p:b (g4, g5, g6).
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL XMLParser children
  DUP
  CALL log_count
; expect: 3
  DUP
  PUSH_IMM32 0
  CALL element
  PUSH_IMM32 4
  CALL put
  DUP
  PUSH_IMM32 1
  CALL element
  PUSH_IMM32 5
  CALL put
  PUSH_IMM32 2
  CALL element
  PUSH_IMM32 6
  CALL put
  PUSH_IMM32 5
  CALL get
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 13

  ; p:b: local name, prefix, namespace.
  PUSH_IMM32 6
  CALL get
  EXTENSION_CALL XMLParser name
  NATIVE_CALL Debug 1
; expect: b
  PUSH_IMM32 6
  CALL get
  EXTENSION_CALL XMLParser prefix
  NATIVE_CALL Debug 1
; expect: p
  PUSH_IMM32 6
  CALL get
  EXTENSION_CALL XMLParser namespaceURI
  NATIVE_CALL Debug 1
; expect: urn:p

  ; Attributes by name, and all of them.
  PUSH_IMM32 6
  CALL get
  PUSH_STRING_CELL "k"
  EXTENSION_CALL XMLParser attribute
  CALL wrap
  DUP
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: v
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 2
  PUSH_IMM32 6
  CALL get
  PUSH_STRING_CELL "missing"
  EXTENSION_CALL XMLParser attribute
  CALL log_null
; expect: null
  PUSH_IMM32 6
  CALL get
  PUSH_STRING_CELL "n"           ; a namespaced attribute is found by its local name
  EXTENSION_CALL XMLParser attribute
  CALL wrap
  DUP
  EXTENSION_CALL XMLParser name
  NATIVE_CALL Debug 1
; expect: n
  EXTENSION_CALL XMLParser namespaceURI
  NATIVE_CALL Debug 1
; expect: urn:p
  PUSH_IMM32 6
  CALL get
  EXTENSION_CALL XMLParser attributes
  CALL log_count
; expect: 2

  ; p:b holds a CDATA section and a comment.
  PUSH_IMM32 6
  CALL get
  EXTENSION_CALL XMLParser children
  DUP
  PUSH_IMM32 0
  CALL element
  DUP
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 4
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: x<y
  PUSH_IMM32 1
  CALL element
  DUP
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 8
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: note

  ; Neighbours of a: parent r, next the white space, no previous.
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL XMLParser parent
  CALL wrap
  EXTENSION_CALL XMLParser name
  NATIVE_CALL Debug 1
; expect: r
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL XMLParser nextSibling
  CALL wrap
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 13
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL XMLParser previousSibling
  CALL log_null
; expect: null
  PUSH_IMM32 2
  CALL get
  EXTENSION_CALL XMLParser parent
  CALL log_null
; expect: null

  ; An element has no value; its text child does, and takes new data.
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect:
  PUSH_IMM32 4
  CALL get
  PUSH_STRING_CELL "two"
  EXTENSION_CALL XMLParser setData
  CALL log_int
; expect: 0
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL XMLParser children
  PUSH_IMM32 0
  CALL element
  DUP
  PUSH_STRING_CELL "two"
  EXTENSION_CALL XMLParser setData
  CALL log_int
; expect: 1
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: two

  ; A missing node is the null reference: using it is a NULL pointer.
  TRY Throwable, caught
  PUSH_IMM32 4
  CALL get
  EXTENSION_CALL XMLParser previousSibling
  CALL wrap
  EXTENSION_CALL XMLParser name
  END_TRY -1
caught:
  CALL log_caught
; expect: NullPointerException: NULL pointer
  RETURN 0, 1
