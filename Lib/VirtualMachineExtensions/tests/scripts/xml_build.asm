; The XML parser building and editing trees; parsers from bytes and from
; a file; malformed text; refused insertions.
; file: doc.xml: <f a="1"><g/></f>
.include "runtime.asm"
.include "ext.inc"
.include "xml.inc"

; [parser holder, name, value, type, uri, prefix] -> [node holder]
.method create params=6
  ADDR_LOCAL -7
  LOAD_LOCAL -8
  LOAD_LOCAL -8
  LOAD_LOCAL -8
  LOAD_LOCAL -8
  LOAD_LOCAL -8
  LOAD_LOCAL -8
  EXTENSION_CALL XMLParser createNode
  CALL wrap
  STORE_WORD
  RETURN 0, 6

; [parent, child, position] -> []: logs the answer
.method insert params=3
  LOAD_LOCAL -4
  LOAD_LOCAL -4
  LOAD_LOCAL -4
  EXTENSION_CALL XMLParser insert
  CALL log_int
  RETURN 0, 4

; [node] -> []: logs how many children it has
.method log_children params=1
  LOAD_LOCAL -2
  EXTENSION_CALL XMLParser children
  CALL log_count
  RETURN 0, 2

; [node] -> []: logs its name
.method log_name params=1
  LOAD_LOCAL -2
  EXTENSION_CALL XMLParser name
  NATIVE_CALL Debug 1
  RETURN 0, 2

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ; g1: a parser of "<r><a/><b/></r>", parsed; g2: its root r.
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 1
  CALL put
  PUSH_STRING_CELL "<r><a/><b/></r>"
  EXTENSION_CALL XMLParser fromText
  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL XMLParser parse
  CALL log_int
; expect: 1
  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL XMLParser document
  CALL wrap
  EXTENSION_CALL XMLParser children
  PUSH_IMM32 0
  CALL element
  PUSH_IMM32 2
  CALL put

  ; g3: an element without namespace answers its tag name.
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "n"
  PUSH_STRING_CELL ""
  PUSH_IMM32 1
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  DUP
  PUSH_IMM32 3
  CALL put
  CALL log_name
; expect: n
  ; g4: an element in a namespace with a prefix.
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "e"
  PUSH_STRING_CELL ""
  PUSH_IMM32 1
  PUSH_STRING_CELL "urn:q"
  PUSH_STRING_CELL "q"
  CALL create
  DUP
  PUSH_IMM32 4
  CALL put
  DUP
  CALL log_name
; expect: e
  DUP
  EXTENSION_CALL XMLParser prefix
  NATIVE_CALL Debug 1
; expect: q
  EXTENSION_CALL XMLParser namespaceURI
  NATIVE_CALL Debug 1
; expect: urn:q
  ; g5: text, g6: CDATA, g7: comment, g8: attribute z=9, g9: namespaced attribute.
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL "hello"
  PUSH_IMM32 3
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  PUSH_IMM32 5
  CALL put
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL "c<d"
  PUSH_IMM32 4
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  DUP
  PUSH_IMM32 6
  CALL put
  EXTENSION_CALL XMLParser type
  CALL log_int
; expect: 4
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL "remark"
  PUSH_IMM32 8
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  DUP
  PUSH_IMM32 7
  CALL put
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: remark
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "z"
  PUSH_STRING_CELL "9"
  PUSH_IMM32 2
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  PUSH_IMM32 8
  CALL put
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "w"
  PUSH_STRING_CELL "8"
  PUSH_IMM32 2
  PUSH_STRING_CELL "urn:q"
  PUSH_STRING_CELL "q"
  CALL create
  DUP
  PUSH_IMM32 9
  CALL put
  EXTENSION_CALL XMLParser prefix
  NATIVE_CALL Debug 1
; expect: q
  ; Other types make no node.
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "x"
  PUSH_STRING_CELL "y"
  PUSH_IMM32 7
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  EXTENSION_CALL XMLParser createNode
  CALL log_null
; expect: null

  ; r has a and b. Position 2 (the count) appends; 4 is past the end.
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 2
  CALL insert
; expect: 1
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 5
  CALL get
  PUSH_IMM32 4
  CALL insert
; expect: 0
  ; Position 0 goes first, position 2 after the second child.
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 5
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 7
  CALL get
  PUSH_IMM32 2
  CALL insert
; expect: 1
  ; r: hello, a, remark, b, n
  PUSH_IMM32 2
  CALL get
  EXTENSION_CALL XMLParser children
  DUP
  PUSH_IMM32 0
  CALL element
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: hello
  DUP
  PUSH_IMM32 2
  CALL element
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: remark
  PUSH_IMM32 4
  CALL element
  CALL log_name
; expect: n
  ; A childless parent takes the child whatever the position.
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 6
  CALL get
  PUSH_IMM32 7
  CALL insert
; expect: 1
  ; Attributes go on the element, the position ignored.
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 8
  CALL get
  PUSH_IMM32 5
  CALL insert
; expect: 1
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 9
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 3
  CALL get
  PUSH_STRING_CELL "z"
  EXTENSION_CALL XMLParser attribute
  CALL wrap
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: 9
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL XMLParser attributes
  CALL log_count
; expect: 2
  ; Setting it again changes nothing; another z replaces it.
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 8
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "z"
  PUSH_STRING_CELL "10"
  PUSH_IMM32 2
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL XMLParser attributes
  CALL log_count
; expect: 2
  PUSH_IMM32 3
  CALL get
  PUSH_STRING_CELL "z"
  EXTENSION_CALL XMLParser attribute
  CALL wrap
  EXTENSION_CALL XMLParser value
  NATIVE_CALL Debug 1
; expect: 10
  ; An ancestor, the document and an attribute where no element takes it
  ; are refused.
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 0
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL XMLParser document
  CALL wrap
  PUSH_IMM32 0
  CALL insert
; expect: 0
  PUSH_IMM32 6
  CALL get
  PUSH_IMM32 8
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 0
  ; Only elements, documents and fragments take children: not the CDATA
  ; section, nor an attribute (an element inside one would own itself).
  PUSH_IMM32 6
  CALL get
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 0
  PUSH_IMM32 8
  CALL get
  PUSH_IMM32 4
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 0
  ; Removing n from r leaves four children and n without parent.
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL XMLParser remove
  PUSH_IMM32 2
  CALL get
  CALL log_children
; expect: 4
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL XMLParser parent
  CALL log_null
; expect: null

  ; Malformed text parses (answer 1) into an empty document.
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 10
  CALL put
  PUSH_STRING_CELL "<a><b></a>"
  EXTENSION_CALL XMLParser fromText
  PUSH_IMM32 10
  CALL get
  EXTENSION_CALL XMLParser parse
  CALL log_int
; expect: 1
  PUSH_IMM32 10
  CALL get
  EXTENSION_CALL XMLParser document
  CALL wrap
  CALL log_children
; expect: 0
  ; Nodes of one document do not go into another.
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 10
  CALL get
  PUSH_STRING_CELL "x"
  PUSH_STRING_CELL ""
  PUSH_IMM32 1
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  PUSH_IMM32 0
  CALL insert
; expect: 0

  ; From bytes (UTF-8).
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 11
  CALL put
  PUSH_STRING_CELL "<h>\xc3\xa9t\xc3\xa9</h>"
  NATIVE_CALL Encoder 1
  EXTENSION_CALL XMLParser fromBytes
  PUSH_IMM32 11
  CALL get
  EXTENSION_CALL XMLParser parse
  CALL log_int
; expect: 1
  PUSH_IMM32 11
  CALL get
  EXTENSION_CALL XMLParser document
  CALL wrap
  EXTENSION_CALL XMLParser children
  PUSH_IMM32 0
  CALL element
  EXTENSION_CALL XMLParser children
  PUSH_IMM32 0
  CALL element
  EXTENSION_CALL XMLParser value
  NATIVE_CALL String 10         ; three characters: the bytes were read as UTF-8
  CALL log_int
; expect: 3

  ; From a file of the application; a missing file answers 0.
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 12
  CALL put
  PUSH_STRING_CELL "doc.xml"
  EXTENSION_CALL XMLParser fromFile
  PUSH_IMM32 12
  CALL get
  EXTENSION_CALL XMLParser parse
  CALL log_int
; expect: 1
  PUSH_IMM32 12
  CALL get
  EXTENSION_CALL XMLParser document
  CALL wrap
  EXTENSION_CALL XMLParser children
  PUSH_IMM32 0
  CALL element
  DUP
  CALL log_name
; expect: f
  CALL log_children
; expect: 1
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_STRING_CELL "missing.xml"
  EXTENSION_CALL XMLParser fromFile
  EXTENSION_CALL XMLParser parse
  CALL log_int
; expect: 0

  ; QDom files attributes under their local names and, taking one out,
  ; drops all filed under its name. g13: an element m; g14, g15: two q:w.
  ; The second replaces the first; a plain w then joins it.
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "m"
  PUSH_STRING_CELL ""
  PUSH_IMM32 1
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  PUSH_IMM32 13
  CALL put
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "w"
  PUSH_STRING_CELL "1"
  PUSH_IMM32 2
  PUSH_STRING_CELL "urn:q"
  PUSH_STRING_CELL "q"
  CALL create
  PUSH_IMM32 14
  CALL put
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "w"
  PUSH_STRING_CELL "2"
  PUSH_IMM32 2
  PUSH_STRING_CELL "urn:q"
  PUSH_STRING_CELL "q"
  CALL create
  PUSH_IMM32 15
  CALL put
  PUSH_IMM32 13
  CALL get
  PUSH_IMM32 14
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 13
  CALL get
  PUSH_IMM32 15
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 14
  CALL get
  EXTENSION_CALL XMLParser parent
  CALL log_null
; expect: null
  PUSH_IMM32 13
  CALL get
  PUSH_IMM32 1
  CALL get
  PUSH_STRING_CELL "w"
  PUSH_STRING_CELL "3"
  PUSH_IMM32 2
  PUSH_STRING_CELL ""
  PUSH_STRING_CELL ""
  CALL create
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 13
  CALL get
  EXTENSION_CALL XMLParser attributes
  CALL log_count
; expect: 2
  ; Now q:w shares its name: replacing it or moving it away is refused.
  PUSH_IMM32 13
  CALL get
  PUSH_IMM32 14
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 0
  PUSH_IMM32 3
  CALL get
  PUSH_IMM32 15
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 0
  PUSH_IMM32 15
  CALL get
  EXTENSION_CALL XMLParser parent
  CALL wrap
  CALL log_name
; expect: m
  ; z=9 (g8), replaced on n, has no parent, and moving it to m leaves n's
  ; z=10 in place.
  PUSH_IMM32 8
  CALL get
  EXTENSION_CALL XMLParser parent
  CALL log_null
; expect: null
  PUSH_IMM32 13
  CALL get
  PUSH_IMM32 8
  CALL get
  PUSH_IMM32 0
  CALL insert
; expect: 1
  PUSH_IMM32 3
  CALL get
  EXTENSION_CALL XMLParser attributes
  CALL log_count
; expect: 2
  PUSH_IMM32 13
  CALL get
  EXTENSION_CALL XMLParser attributes
  CALL log_count
; expect: 3

  PUSH_IMM32 1
  CALL get
  EXTENSION_CALL 23, 6
; expect fatal: RuntimeException: XMLParser: Unknown opcode: 6
  RETURN 0, 1
