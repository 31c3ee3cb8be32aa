; Classes with a superclass, fields, virtual methods and type tests.
; expect: square
; expect: 16
; expect: circle
; expect: 27
; expect: a circle is a shape
; expect: a circle is not a square
.include "runtime.asm"
.tag "classes"

; Shape: word 1 holds the size.
.class Shape super=Object
.class Square super=Shape
.class Circle super=Shape

; Virtual calls find the method by the receiver's exact class.
.virtual "<shape>.name"
  Square square_name
  Circle circle_name
.end
.virtual "(<int>)<shape>.area"
  Square square_area
  Circle circle_area
.end

.method square_name params=1 paramrefs=0
  PUSH_STRING_CELL "square"
  NATIVE_CALL Debug 1
  RETURN 0, 2

.method circle_name params=1 paramrefs=0
  PUSH_STRING_CELL "circle"
  NATIVE_CALL Debug 1
  RETURN 0, 2

; area: result slot, shape, return address.
.method square_area params=1 results=1 paramrefs=1
  ADDR_LOCAL -3          ; the result slot
  LOAD_LOCAL -3          ; the shape
  FIELD_ADDR 1
  DEREF
  DUP
  MUL
  STORE_WORD
  RETURN 0, 2

.method circle_area params=1 results=1 paramrefs=1
  ADDR_LOCAL -3
  LOAD_LOCAL -3
  FIELD_ADDR 1
  DEREF
  DUP
  MUL
  PUSH_IMM32 3
  MUL
  STORE_WORD
  RETURN 0, 2

; report(shape): logs its name and area.
.method report params=1 paramrefs=0
  LOAD_LOCAL -2          ; the shape as the argument
  DUP
  DEREF                  ; its class id selects the method
  CALL_VIRTUAL "<shape>.name"
  PUSH_IMM32 0           ; the result slot
  LOAD_LOCAL -3
  DUP
  DEREF
  CALL_VIRTUAL "(<int>)<shape>.area"
  INT_TO_STRING
  BOX
  NATIVE_CALL Debug 1
  RETURN 0, 2

; make(class id is set by the caller): a two-word object with the size.
.method main export="main" locals=2 localrefs=1,2
  ALLOC CLASS_OBJECT, 2  ; slot 1: a square of size 4
  DUP
  SET_CLASS Square
  DUP
  FIELD_ADDR 1
  PUSH_IMM32 4
  STORE_WORD
  ALLOC CLASS_OBJECT, 2  ; slot 2: a circle of size 3
  DUP
  SET_CLASS Circle
  DUP
  FIELD_ADDR 1
  PUSH_IMM32 3
  STORE_WORD
  LOAD_LOCAL -2
  CALL report
  LOAD_LOCAL -1
  CALL report
  LOAD_LOCAL -1
  INSTANCE_OF Shape
  JUMP_IF_FALSE not_shape
  PUSH_STRING_CELL "a circle is a shape"
  NATIVE_CALL Debug 1
not_shape:
  LOAD_LOCAL -1
  INSTANCE_OF Square
  JUMP_IF_FALSE not_square
  PUSH_STRING_CELL "a circle is a square"
  NATIVE_CALL Debug 1
  JUMP done
not_square:
  PUSH_STRING_CELL "a circle is not a square"
  NATIVE_CALL Debug 1
done:
  RESERVE -2
  RETURN 0, 1
