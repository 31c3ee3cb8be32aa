; Glowcatch: glowing drops fall from the night sky; move the basket with the
; arrow keys or the pointer and catch them. Each catch scores 10 and makes
; the drops fall faster; three missed drops end the game. P pauses, and so
; does going to the background; space (or a tap) resumes or starts again.
; The best score is kept in highscore.txt in the application directory.
;
; Everything the runtime offers an application is here: the entry methods
; (main, draw, keys, pointer, foreground and background, the timer), PNG
; pictures and both font kinds, a file, and the AudioMixer extension, whose
; absence (no sound server) is caught and only logged.
.include "runtime.asm"
.tag "glowcatch"
.globals 96

; The globals object is also the application object. Words 1 to 7 hold
; references, the rest numbers.
.class Globals super=Object refs=1 2 3 4 5 6 7
.equ TILE, 1             ; the sky tile, a bitmap
.equ BASKET, 2           ; the basket, a bitmap
.equ GEM, 3              ; a falling drop, a bitmap
.equ STRIP, 4            ; the strip font (strip.png)
.equ FONT, 5             ; the native font
.equ TIMER, 6            ; the frame timer's cell
.equ SOUND, 7            ; the mixer's holder, 0 without sound
.equ SCORE, 8
.equ BEST, 9
.equ LIVES, 10
.equ STATE, 11
.equ BX, 12              ; the basket's left edge
.equ GX, 13              ; the drop's top left corner
.equ GY, 14
.equ SPEED, 15           ; pixels the drop falls per frame
.equ LEFT, 16            ; -1 while the left arrow is held
.equ RIGHT, 17

; Word 1 holds the native mixer.
.class Holder super=Object refs=1

.equ PLAYING, 0
.equ PAUSED, 1
.equ OVER, 2

.equ FRAME_MS, 33        ; 30 frames a second
.equ GROUND_Y, 448       ; the sky ends and the ground starts here
.equ BASKET_Y, 432
.equ CATCH_Y, 416        ; a drop this low touches the basket's rim
.equ BASKET_MAX, 736     ; 800 less the basket's width
.equ GEM_MAX, 784
.equ KEY_LEFT, 0x01000003
.equ KEY_RIGHT, 0x01000004
.equ KEY_SPACE, 0x20
.equ KEY_P, 0x50
.equ CATCH_SOUND, 0
.equ MISS_SOUND, 1

.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  PUSH_GLOBALS
  NATIVE_CALL System setApplicationObject
  PUSH_GLOBALS
  FIELD_ADDR TILE
  PUSH_STRING_CELL "tile.png"
  NATIVE_CALL Bitmap loadFile
  PUSH_GLOBALS
  FIELD_ADDR BASKET
  PUSH_STRING_CELL "basket.png"
  NATIVE_CALL Bitmap loadFile
  PUSH_GLOBALS
  FIELD_ADDR GEM
  PUSH_STRING_CELL "gem.png"
  NATIVE_CALL Bitmap loadFile
  PUSH_GLOBALS
  FIELD_ADDR STRIP
  PUSH_STRING_CELL "strip.png"
  NATIVE_CALL System loadStripFont
  DEREF
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR FONT
  NATIVE_CALL System newFont
  DEREF
  STORE_WORD
  CALL loadBest
  CALL openSound
  ALLOC REF_HOLDER, 1                ; the frame timer, kept in the globals
  PUSH_GLOBALS
  FIELD_ADDR TIMER
  LOAD_LOCAL -2
  STORE_WORD
  NATIVE_CALL Timer create
  CALL restart
  RETURN 0, 1

; ---------------------------------------------------------------- the game

.method restart
  PUSH_GLOBALS
  FIELD_ADDR SCORE
  PUSH_IMM32 0
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR LIVES
  PUSH_IMM32 3
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR SPEED
  PUSH_IMM32 8
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR BX
  PUSH_IMM32 368                     ; the middle
  STORE_WORD
  CALL dropGem
  PUSH_GLOBALS                       ; the first drop falls straight into the basket
  FIELD_ADDR GX
  PUSH_IMM32 392
  STORE_WORD
  PUSH_STRING_CELL "new game"
  NATIVE_CALL Debug log
  CALL resume
  RETURN 0, 1

; One frame of play: the basket moves, the drop falls and is caught or lost.
.method tick params=1 export="<systemtimerlistener>.systemtimerevent"
  CALL step
  NATIVE_CALL Screen repaintAll
  RETURN 0, 2

.method step
  PUSH_GLOBALS
  FIELD_ADDR LEFT
  DEREF
  JUMP_IF_FALSE step_right
  PUSH_IMM32 -12
  CALL moveBasket
step_right:
  PUSH_GLOBALS
  FIELD_ADDR RIGHT
  DEREF
  JUMP_IF_FALSE step_fall
  PUSH_IMM32 12
  CALL moveBasket
step_fall:
  PUSH_GLOBALS
  FIELD_ADDR GY
  PUSH_GLOBALS
  FIELD_ADDR SPEED
  DEREF
  ADD_AT
  PUSH_GLOBALS
  FIELD_ADDR GY
  DEREF
  PUSH_IMM32 CATCH_Y
  CMP_LT
  JUMP_IF_FALSE step_low
  RETURN 0, 1                        ; still high in the sky
step_low:
  PUSH_GLOBALS
  FIELD_ADDR GY
  DEREF
  PUSH_IMM32 GROUND_Y
  CMP_LT
  JUMP_IF_FALSE step_lost
  ; caught when the drop's middle is over the basket: 0 <= GX + 8 - BX < 64
  PUSH_GLOBALS
  FIELD_ADDR GX
  DEREF
  PUSH_IMM32 8
  ADD
  PUSH_GLOBALS
  FIELD_ADDR BX
  DEREF
  SUB                                ; [d]
  DUP
  PUSH_IMM32 0
  CMP_GE                             ; [d, d >= 0]
  LOAD_LOCAL -2
  PUSH_IMM32 64
  CMP_LT
  LAND                               ; [d, over the basket]
  JUMP_IF_FALSE step_passing
  RESERVE -1
  CALL caught
  RETURN 0, 1
step_passing:
  RESERVE -1
  RETURN 0, 1
step_lost:
  CALL lost
  RETURN 0, 1

.method caught
  PUSH_GLOBALS
  FIELD_ADDR SCORE
  PUSH_IMM32 10
  ADD_AT
  PUSH_GLOBALS
  FIELD_ADDR SPEED
  INC_AT
  PUSH_STRING_CELL "score "
  PUSH_GLOBALS
  FIELD_ADDR SCORE
  DEREF
  CALL logNumber
  PUSH_IMM32 CATCH_SOUND
  CALL playSound
  CALL dropGem
  RETURN 0, 1

.method lost
  PUSH_GLOBALS
  FIELD_ADDR LIVES
  DEC_AT
  PUSH_IMM32 MISS_SOUND
  CALL playSound
  PUSH_GLOBALS
  FIELD_ADDR LIVES
  DEREF
  PUSH_IMM32 0
  CMP_GT
  JUMP_IF_FALSE lost_last
  CALL dropGem
  RETURN 0, 1
lost_last:
  CALL gameOver
  RETURN 0, 1

; A new drop at the top, somewhere across the sky.
.method dropGem
  PUSH_GLOBALS
  FIELD_ADDR GY
  PUSH_IMM32 0
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR GX
  PUSH_IMM32 0
  PUSH_IMM32 GEM_MAX
  NATIVE_CALL Math randomInt
  STORE_WORD
  RETURN 0, 1

.method gameOver
  PUSH_GLOBALS
  FIELD_ADDR STATE
  PUSH_IMM32 OVER
  STORE_WORD
  CALL stopTimer
  PUSH_STRING_CELL "game over, score "
  PUSH_GLOBALS
  FIELD_ADDR SCORE
  DEREF
  CALL logNumber
  PUSH_GLOBALS
  FIELD_ADDR SCORE
  DEREF
  PUSH_GLOBALS
  FIELD_ADDR BEST
  DEREF
  CMP_GT
  JUMP_IF_FALSE gameOver_shown
  PUSH_GLOBALS
  FIELD_ADDR BEST
  PUSH_GLOBALS
  FIELD_ADDR SCORE
  DEREF
  STORE_WORD
  CALL saveBest
gameOver_shown:
  NATIVE_CALL Screen repaintAll
  RETURN 0, 1

; [delta] -> []
.method moveBasket params=1
.arg delta
  PUSH_GLOBALS
  FIELD_ADDR BX
  LOAD_LOCAL delta
  ADD_AT
  CALL clampBasket
  RETURN 0, 2

.method clampBasket
  PUSH_GLOBALS
  FIELD_ADDR BX
  PUSH_GLOBALS
  FIELD_ADDR BX
  DEREF
  PUSH_IMM32 BASKET_MAX
  NATIVE_CALL Math minInt
  PUSH_IMM32 0
  NATIVE_CALL Math maxInt
  STORE_WORD
  RETURN 0, 1

; -------------------------------------------------- pause, resume, the timer

.method pause
  PUSH_GLOBALS
  FIELD_ADDR STATE
  PUSH_IMM32 PAUSED
  STORE_WORD
  PUSH_GLOBALS                       ; a key held when the window went away is not held any more
  FIELD_ADDR LEFT
  PUSH_IMM32 0
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR RIGHT
  PUSH_IMM32 0
  STORE_WORD
  CALL stopTimer
  PUSH_STRING_CELL "paused"
  NATIVE_CALL Debug log
  NATIVE_CALL Screen repaintAll
  RETURN 0, 1

.method resume
  PUSH_GLOBALS
  FIELD_ADDR STATE
  PUSH_IMM32 PLAYING
  STORE_WORD
  PUSH_GLOBALS
  FIELD_ADDR TIMER
  DEREF
  DUP                                ; the listener: the timer itself
  PUSH_IMM32 FRAME_MS
  NATIVE_CALL Timer start
  PUSH_STRING_CELL "playing"
  NATIVE_CALL Debug log
  RETURN 0, 1

.method stopTimer
  PUSH_GLOBALS
  FIELD_ADDR TIMER
  DEREF
  NATIVE_CALL Timer stop
  RETURN 0, 1

; Space or a tap: resumes a paused game, starts a new one after the end.
.method action
  PUSH_GLOBALS
  FIELD_ADDR STATE
  DEREF
  PUSH_IMM32 PAUSED
  CMP_EQ
  JUMP_IF_FALSE action_over
  CALL resume
  RETURN 0, 1
action_over:
  PUSH_GLOBALS
  FIELD_ADDR STATE
  DEREF
  PUSH_IMM32 OVER
  CMP_EQ
  JUMP_IF_FALSE action_done
  CALL restart
action_done:
  RETURN 0, 1

; --------------------------------------------------------------- the input

.method keyPressed params=2 export="*<application>.key pressed<keyevent>"
.arg app, event
  LOAD_LOCAL event
  NATIVE_CALL KeyEvent keyCode
  PUSH_TRUE
  CALL onKey
  RETURN 0, 3

.method keyReleased params=2 export="*<application>.key released<keyevent>"
.arg app, event
  LOAD_LOCAL event
  NATIVE_CALL KeyEvent keyCode
  PUSH_FALSE
  CALL onKey
  RETURN 0, 3

; [key code, pressed] -> []: the arrows are held; space and P act on presses.
.method onKey params=2
.arg code, down
  LOAD_LOCAL code
  PUSH_IMM32 KEY_LEFT
  CMP_EQ
  JUMP_IF_FALSE onKey_right
  PUSH_GLOBALS
  FIELD_ADDR LEFT
  LOAD_LOCAL down
  STORE_WORD
  RETURN 0, 3
onKey_right:
  LOAD_LOCAL code
  PUSH_IMM32 KEY_RIGHT
  CMP_EQ
  JUMP_IF_FALSE onKey_press
  PUSH_GLOBALS
  FIELD_ADDR RIGHT
  LOAD_LOCAL down
  STORE_WORD
  RETURN 0, 3
onKey_press:
  LOAD_LOCAL down
  JUMP_IF_FALSE onKey_done
  LOAD_LOCAL code
  PUSH_IMM32 KEY_SPACE
  CMP_EQ
  JUMP_IF_FALSE onKey_p
  CALL action
  RETURN 0, 3
onKey_p:
  LOAD_LOCAL code
  PUSH_IMM32 KEY_P
  CMP_EQ
  JUMP_IF_FALSE onKey_done
  PUSH_GLOBALS
  FIELD_ADDR STATE
  DEREF
  PUSH_IMM32 PLAYING
  CMP_EQ
  JUMP_IF_FALSE onKey_unpause
  CALL pause
  RETURN 0, 3
onKey_unpause:
  CALL action
onKey_done:
  RETURN 0, 3

; Pressing or dragging puts the basket under the pointer; a press while the
; game waits resumes or restarts it.
.method pointer params=5 export="*<application>.pointer event<int>at x<int>y<int>modifiers<int>"
.arg app, kind, x, y, modifiers
  LOAD_LOCAL kind
  PUSH_IMM32 1                       ; released
  CMP_EQ
  JUMP_IF_FALSE pointer_down
  RETURN 0, 6
pointer_down:
  PUSH_GLOBALS
  FIELD_ADDR BX
  LOAD_LOCAL x
  PUSH_IMM32 32
  SUB
  STORE_WORD
  CALL clampBasket
  LOAD_LOCAL kind
  PUSH_IMM32 0                       ; pressed
  CMP_EQ
  JUMP_IF_FALSE pointer_done
  CALL action
pointer_done:
  RETURN 0, 6

.method foreground params=1 export="*<application>.foreground event"
  PUSH_STRING_CELL "foreground"
  NATIVE_CALL Debug log
  NATIVE_CALL Screen repaintAll
  RETURN 0, 2

.method background params=1 export="*<application>.background event"
  PUSH_GLOBALS
  FIELD_ADDR STATE
  DEREF
  PUSH_IMM32 PLAYING
  CMP_EQ
  JUMP_IF_FALSE background_done
  CALL pause
background_done:
  RETURN 0, 2

; ------------------------------------------------------------------ drawing

.method draw params=2 export="<application>.draw to*<canvas>"
; The drawing natives pop their arguments but give the assembler no plain
; stack effect, so the canvas is counted by hand: -2 whenever the depth is 0.
  ; the sky, tiled, and the ground
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR TILE
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 800
  PUSH_IMM32 GROUND_Y
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 255
  NATIVE_CALL Graphics drawTiled
  LOAD_LOCAL -2
  PUSH_IMM32 0
  PUSH_IMM32 GROUND_Y
  PUSH_IMM32 800
  PUSH_IMM32 32
  PUSH_IMM32 0xFF2E4A1E
  NATIVE_CALL Graphics fillRect
  ; the drop and the basket
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR GEM
  PUSH_GLOBALS
  FIELD_ADDR GX
  DEREF
  PUSH_GLOBALS
  FIELD_ADDR GY
  DEREF
  PUSH_IMM32 255
  NATIVE_CALL Graphics drawBitmap
  LOAD_LOCAL -2
  PUSH_GLOBALS
  FIELD_ADDR BASKET
  PUSH_GLOBALS
  FIELD_ADDR BX
  DEREF
  PUSH_IMM32 BASKET_Y
  PUSH_IMM32 255
  NATIVE_CALL Graphics drawBitmap
  ; the score in the native font, the best score and the lives in the strip font
  LOAD_LOCAL -2
  PUSH_STRING_CELL "Score "
  PUSH_GLOBALS
  FIELD_ADDR SCORE
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL String concat
  PUSH_IMM32 16
  PUSH_IMM32 4
  PUSH_IMM32 0xFFFFE080
  PUSH_GLOBALS
  FIELD_ADDR FONT
  NATIVE_CALL Graphics drawText
  LOAD_LOCAL -2
  PUSH_STRING_CELL "BEST "
  PUSH_GLOBALS
  FIELD_ADDR BEST
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL String concat
  PUSH_IMM32 600
  PUSH_IMM32 12
  PUSH_IMM32 0xFFB0C0FF
  PUSH_GLOBALS
  FIELD_ADDR STRIP
  NATIVE_CALL Graphics drawText
  LOAD_LOCAL -2
  PUSH_STRING_CELL "LIVES "
  PUSH_GLOBALS
  FIELD_ADDR LIVES
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL String concat
  PUSH_IMM32 600
  PUSH_IMM32 40
  PUSH_IMM32 0xFFB0C0FF
  PUSH_GLOBALS
  FIELD_ADDR STRIP
  NATIVE_CALL Graphics drawText
  ; what the game waits for
  PUSH_GLOBALS
  FIELD_ADDR STATE
  DEREF
  PUSH_IMM32 PAUSED
  CMP_EQ
  JUMP_IF_FALSE draw_over
  LOAD_LOCAL -2
  PUSH_STRING_CELL "Paused"
  PUSH_STRING_CELL "P OR SPACE TO GO ON"
  CALL drawBanner
  RETURN 0, 3
draw_over:
  PUSH_GLOBALS
  FIELD_ADDR STATE
  DEREF
  PUSH_IMM32 OVER
  CMP_EQ
  JUMP_IF_FALSE draw_done
  LOAD_LOCAL -2
  PUSH_STRING_CELL "Game over"
  PUSH_STRING_CELL "SPACE OR TAP TO PLAY AGAIN"
  CALL drawBanner
draw_done:
  RETURN 0, 3

; [canvas, title, line] -> []: a dimmed sky with a title and a line under it.
.method drawBanner params=3
  LOAD_LOCAL -4
  PUSH_IMM32 0
  PUSH_IMM32 0
  PUSH_IMM32 800
  PUSH_IMM32 480
  PUSH_IMM32 0xA0000010
  NATIVE_CALL Graphics fillRect
  LOAD_LOCAL -4                      ; the canvas
  LOAD_LOCAL -4                      ; the title
  PUSH_IMM32 300
  PUSH_IMM32 180
  PUSH_IMM32 0xFFFFFFFF
  PUSH_GLOBALS
  FIELD_ADDR FONT
  NATIVE_CALL Graphics drawText
  LOAD_LOCAL -4                      ; the canvas
  LOAD_LOCAL -3                      ; the line
  PUSH_IMM32 240
  PUSH_IMM32 250
  PUSH_IMM32 0xFFFFE080
  PUSH_GLOBALS
  FIELD_ADDR STRIP
  NATIVE_CALL Graphics drawText
  RETURN 0, 4

; ------------------------------------------------------ the high-score file

.method loadBest
  PUSH_STRING_CELL "highscore.txt"
  NATIVE_CALL FileSystem fileExists
  JUMP_IF_FALSE loadBest_none
  TRY Throwable, loadBest_failed
  ALLOC REF_HOLDER, 1                ; [reader]
  DUP
  PUSH_STRING_CELL "highscore.txt"
  NATIVE_CALL FileReader open
  PUSH_GLOBALS
  FIELD_ADDR BEST
  LOAD_LOCAL -2
  LOAD_LOCAL -1
  NATIVE_CALL FileReader size
  NATIVE_CALL InputStream read       ; [reader, &best, bytes]
  NATIVE_CALL Encoder fromUtf8
  NATIVE_CALL String parseDecimal
  STORE_WORD
  NATIVE_CALL InputStream close
  END_TRY -1
loadBest_none:
  RETURN 0, 1
loadBest_failed:
  CALL logError
  RETURN 0, 1

.method saveBest
  TRY Throwable, saveBest_failed
  ALLOC REF_HOLDER, 1                ; [writer]
  DUP
  PUSH_STRING_CELL "highscore.txt"
  PUSH_FALSE                         ; replace what was there
  NATIVE_CALL FileWriter open
  DUP
  PUSH_GLOBALS
  FIELD_ADDR BEST
  DEREF
  INT_TO_STRING
  BOX
  NATIVE_CALL Encoder toUtf8
  NATIVE_CALL OutputStream write
  NATIVE_CALL OutputStream close
  END_TRY -1
  PUSH_STRING_CELL "high score saved: "
  PUSH_GLOBALS
  FIELD_ADDR BEST
  DEREF
  CALL logNumber
  RETURN 0, 1
saveBest_failed:
  CALL logError
  RETURN 0, 1

; ------------------------------------------------------------------- sound

; The mixer and its two sounds; without a sound server the game is silent.
.method openSound
  TRY Throwable, openSound_failed
  ALLOC CLASS_OBJECT, 2              ; [holder]
  DUP
  SET_CLASS Holder
  DUP
  EXTENSION_CALL AudioMixer create   ; the mixer
  DUP
  PUSH_STRING_CELL "catch.raw"       ; sound 0
  EXTENSION_CALL AudioMixer loadSound
  RESERVE -1
  DUP
  PUSH_STRING_CELL "miss.raw"        ; sound 1
  EXTENSION_CALL AudioMixer loadSound
  RESERVE -1
  PUSH_GLOBALS
  FIELD_ADDR SOUND
  LOAD_LOCAL -2
  STORE_WORD
  RESERVE -1
  END_TRY -1
  RETURN 0, 1
openSound_failed:
  PUSH_STRING_CELL "no sound: "
  LOAD_LOCAL -2
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL String concat
  NATIVE_CALL Debug log
  RESERVE -1
  RETURN 0, 1

; [sound index] -> []. A server that went away silences the rest of the run.
.method playSound params=1
  PUSH_GLOBALS
  FIELD_ADDR SOUND
  DEREF
  JUMP_IF_FALSE playSound_off
  TRY Throwable, playSound_failed
  PUSH_GLOBALS
  FIELD_ADDR SOUND
  DEREF
  LOAD_LOCAL -3
  EXTENSION_CALL AudioMixer play
  END_TRY -1
playSound_off:
  RETURN 0, 2
playSound_failed:
  CALL logError
  PUSH_GLOBALS
  FIELD_ADDR SOUND
  PUSH_IMM32 0
  STORE_WORD
  RETURN 0, 2

; ----------------------------------------------------------------- logging

; [prefix cell, number] -> []
.method logNumber params=2
.arg prefix, value
  LOAD_LOCAL prefix
  LOAD_LOCAL value
  INT_TO_STRING
  BOX
  NATIVE_CALL String concat
  NATIVE_CALL Debug log
  RETURN 0, 3

; [throwable] -> []: logs its message.
.method logError params=1
  LOAD_LOCAL -2
  FIELD_ADDR 2
  DEREF
  NATIVE_CALL Debug log
  RETURN 0, 2
