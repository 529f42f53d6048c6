; Board 0: sixteen LEDs on two ports, scrolling marquee, columns shown in reverse order.
;
; Chip      AT89C52 or any 8052-class part with 8 KB of code memory (0x0000-0x1FFF).
; Crystal   12 MHz (1 us per machine cycle).
; Pins      P1.0..P1.7 = LED 1..8 (LED 1 is the top dot), P2.0..P2.7 = LED 9..16;
;           every LED from +5 V through its resistor to the pin: a low pin lights it.
;           P3.2 (/INT0) = hall sensor, one falling edge per revolution.
; LEDs      16, two content bytes per column.
; Shows     108 columns per revolution, the right-most column of the window first
;           (the board turns the other way round), 0x40 dwell loops per column;
;           the window moves one column to the right every revolution and
;           starts again at the left edge of the canvas after its right edge;
;           dark until the first sensor edge, after which the window starts at
;           column 58.
; Content   column c of the canvas is the two bytes at 0x0280 + 2c (top byte
;           first, top dot in bit 7); the firmware expects the whole 16-LED
;           canvas, 2048 columns, that is 4096 bytes up to 0x127F.
; Memory    content may fill the code memory up to 0x1FFF (8192 bytes in all).
;
; The settings block at 0x0200 is board 1's; boards 0 and 1 carry the same data
; there.  Firmware 0 has the dwell (0x40) and the columns per revolution (108)
; built in and does not read the block.

        .area CABS (ABS,CODE)

WAITING   = 0x00                ; bit 20h.0: set while the frame waits for the sensor
COLUMNS   = 108
LASTBYTE  = 2*COLUMNS-1         ; offset of the bottom byte of the window's last column
DWELL     = 0x40
CANVAS    = 0x0280
CANVASEND = 0x1280              ; 2048 columns of two bytes
LASTSTART = CANVASEND-2*COLUMNS ; last window start that stays inside the canvas

        .org 0x0000
        sjmp    start

        .org 0x0003
sensor: clr     WAITING         ; hall sensor edge: the waiting frame may start
        reti

start:  mov     dptr,#CANVAS+2*58
frame:  clr     WAITING
; R2 walks down through the window two bytes per column, bottom byte first.
; Right after reset R2 and R6 hold anything: the first pass through here comes
; from the reset jump with the sensor interrupt still off (IE is 00h after
; reset) and goes to wait, dark, for the first sensor edge.
column: mov     a,r2
        movc    a,@a+dptr       ; bottom byte
        cpl     a               ; a lit dot drives its pin low
        acall   wiring
        mov     r4,a
        dec     r2
        mov     a,r2
        jnb     ex0,first
        movc    a,@a+dptr       ; top byte
        cpl     a
        acall   wiring
        mov     p1,a
        mov     p2,r4
        mov     r3,#DWELL
        djnz    r3,.
        dec     r2
        djnz    r6,column
        mov     r3,#34          ; the last column as long as the others
        djnz    r3,.
dark:   mov     a,#0xff         ; dark until the next revolution
        mov     p1,a
        mov     p2,a
        mov     ie,#0x81        ; EA and EX0
        setb    it0             ; on falling edges
        setb    WAITING
        jb      WAITING,.
        inc     dptr            ; one column to the right
        inc     dptr
        mov     a,dpl
        cjne    a,#<(LASTSTART+2),next
        mov     a,dph
        cjne    a,#>(LASTSTART+2),next
        mov     dptr,#CANVAS
next:   mov     r2,#LASTBYTE
        mov     r6,#COLUMNS
        sjmp    frame
first:  mov     dptr,#CANVAS+2*57 ; the first edge moves it to column 58
        sjmp    dark

; Reverses the bit order of A: content bit 7 (the upper dot) goes to pin 0.
        .org 0x0055
wiring: mov     c,acc.0
        mov     b.7,c
        mov     c,acc.1
        mov     b.6,c
        mov     c,acc.2
        mov     b.5,c
        mov     c,acc.3
        mov     b.4,c
        mov     c,acc.4
        mov     b.3,c
        mov     c,acc.5
        mov     b.2,c
        mov     c,acc.6
        mov     b.1,c
        mov     c,acc.7
        mov     b.0,c
        mov     a,b
        ret

; Display settings shared with board 1: revolutions per scroll step, dwell
; loops, bytes per column, columns per revolution.
        .org 0x0200
        .db     0x04, 0x40, 0x02, 0x6c
        .db     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
