; Board 22: sixteen LEDs behind two chained shift-register drivers that sink the
; LED current; scrolling marquee over the whole canvas, read as a loop.
;
; Chip      AT89S52 or any 8052-class part with 8 KB of code memory (0x0000-0x1FFF)
;           and AUXR at 8Eh; Timer 2 paces the column slots.
; Crystal   12 MHz (1 us per machine cycle).
; Pins      P2.0 = /OE of both drivers (high: all LEDs dark), P2.1 = serial data
;           into the first driver, P2.2 = shift clock (rising edge), P2.3 = latch
;           (rising edge); P3.2 = hall sensor, one falling edge per revolution.
; LEDs      16: first driver outputs Q7..Q0 = LED 1..8 (LED 1 is the top dot),
;           second driver Q7..Q0 = LED 9..16; a low output lights its LED.
;           Each column goes out bottom byte first, each byte inverted, most
;           significant bit first.
; Shows     one column every 250 us, lit for 200 us, in canvas order, until
;           the next sensor edge; the first column lights 500 us after the edge
;           (one slot of waiting, one for sending it).  Each revolution
;           starts one column further to the right; after the last column of
;           the canvas come the first ones again.  With no sensor edge for 608
;           columns (motor stopped) it waits dark.
; Content   column c is the two bytes at 0x0280 + 2c, top byte first, top dot in
;           bit 7; the content is the whole 16-LED canvas, 2048 columns, 4096
;           bytes up to 0x127F.  There is no length word.
; Memory    content may fill the code memory up to 0x1FFF (8192 bytes in all).

WIRING = 0
LEADSLOTS = 1
        .include "drivers-canvas.inc"
