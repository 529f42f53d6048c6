; Board 1: sixteen LEDs on two ports, scrolling marquee driven by a settings block.
;
; Chip      AT89C52 or any 8052-class part with 8 KB of code memory (0x0000-0x1FFF).
; Crystal   12 MHz (1 us per machine cycle).
; Pins      P1.7..P1.0 = LED 1..8 (LED 1 is the top dot), P2.7..P2.0 = LED 9..16;
;           every LED from +5 V through its resistor to the pin: a low pin lights it.
;           P3.2 (/INT0) = hall sensor, one falling edge per revolution.
; LEDs      16: the first content byte of a column on P1, the second on P2.
; Shows     per revolution, right after the sensor edge, a window of columns in
;           canvas order, left column first; every few revolutions the window
;           moves one column to the right, and after the right edge of the
;           canvas it starts again at the left edge.  The settings block at
;           0x0200 gives: revolutions per step (4), dwell loops per column
;           (0x40), bytes per column (2; with 1 the P2 LEDs stay dark) and
;           columns per revolution (108).
; Content   column c is the bytes from 0x0280 + c * (bytes per column), top
;           byte first, top dot in bit 7; the firmware expects the whole canvas
;           up to 0x127F (2048 columns of two bytes).
; Memory    content may fill the code memory up to 0x1FFF (8192 bytes in all).

        .area CABS (ABS,CODE)

WAITING  = 0x00                 ; bit 20h.0: set while the frame waits for the sensor
OFFSET   = 0x4f                 ; 4Fh/50h: offset of the column within the window
START    = 0x51                 ; 51h/52h: window start (address of its first column)
STEPREVS = 0x53                 ; settings, copied from the block at 0x0200
DWELL    = 0x54
COLBYTES = 0x55
COLUMNS  = 0x56
LIMIT    = 0x57                 ; 57h/58h: last window start inside the canvas
REVCOUNT = 0x59                 ; revolutions left until the next step
CANVAS    = 0x0280
CANVASEND = 0x1280
SETTINGS  = 0x0200

        .org 0x0000
        sjmp    start

        .org 0x0003
sensor: clr     WAITING         ; hall sensor edge: the waiting frame may start
        reti

start:  setb    ea
        setb    ex0
        setb    it0             ; the sensor interrupts on falling edges
        mov     dptr,#CANVAS+2*64 ; the window starts 64 columns into the canvas
        mov     START,dpl
        mov     START+1,dph

        mov     dptr,#SETTINGS
        clr     a
        movc    a,@a+dptr
        mov     STEPREVS,a
        mov     REVCOUNT,a
        mov     a,#1
        movc    a,@a+dptr
        mov     DWELL,a
        mov     a,#2
        movc    a,@a+dptr
        mov     COLBYTES,a
        mov     a,#3
        movc    a,@a+dptr
        mov     COLUMNS,a
        mov     b,COLBYTES      ; LIMIT = canvas end - window size in bytes
        mul     ab
        mov     r7,a
        clr     c
        mov     a,#<CANVASEND
        subb    a,r7
        mov     LIMIT,a
        mov     a,#>CANVASEND
        subb    a,b
        mov     LIMIT+1,a

; P1 and P2 are FFh after reset: every LED is dark until the first sensor edge.
wait:   setb    WAITING
        jb      WAITING,.
show:   clr     a
        mov     OFFSET,a
        mov     OFFSET+1,a
        mov     r6,COLUMNS
column: acall   address
        mov     r3,#0xff        ; the P2 LEDs stay dark for one byte per column
        mov     a,COLBYTES
        dec     a
        jz      onebyte
        mov     a,#1
        movc    a,@a+dptr
        cpl     a               ; a lit dot drives its pin low
        mov     r3,a
onebyte:
        clr     a
        movc    a,@a+dptr
        cpl     a
        mov     p1,a            ; both ports at once: no half-changed column
        mov     p2,r3
        mov     r7,DWELL
        djnz    r7,.
        mov     a,OFFSET
        add     a,COLBYTES
        mov     OFFSET,a
        clr     a
        addc    a,OFFSET+1
        mov     OFFSET+1,a
        djnz    r6,column
        mov     r7,#11          ; the last column as long as the others
        djnz    r7,.
        mov     a,#0xff         ; dark until the next sensor edge
        mov     p1,a
        mov     p2,a
; The window moves after it has been shown STEPREVS times, the first window too.
        djnz    REVCOUNT,wait
        mov     REVCOUNT,STEPREVS
        mov     a,START         ; one column to the right
        add     a,COLBYTES
        mov     START,a
        clr     a
        addc    a,START+1
        mov     START+1,a
        clr     c               ; past the last start: back to the left edge
        mov     a,LIMIT
        subb    a,START
        mov     a,LIMIT+1
        subb    a,START+1
        jnc     wait
        mov     START,#<CANVAS
        mov     START+1,#>CANVAS
        sjmp    wait

; DPTR = window start + offset of the column.
        .org 0x00cc
address:
        mov     a,OFFSET
        add     a,START
        mov     dpl,a
        mov     a,OFFSET+1
        addc    a,START+1
        mov     dph,a
        ret

        .org SETTINGS
        .db     0x04, 0x40, 0x02, 0x6c
