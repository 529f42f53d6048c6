; Board 2: sixteen LEDs behind two chained shift-register drivers that sink the
; LED current; scrolling marquee that ends where the length word says.
;
; Chip      AT89C52 or any 8052-class part with 8 KB of code memory (0x0000-0x1FFF).
; Crystal   12 MHz (1 us per machine cycle).
; Pins      P2.0 = /OE of both drivers (high: all LEDs dark), P2.1 = serial data
;           into the first driver, P2.2 = shift clock (rising edge), P2.3 = latch
;           (rising edge); P3.2 = hall sensor, one falling edge per revolution.
; LEDs      16: first driver outputs Q7..Q0 = LED 1..8 (LED 1 is the top dot),
;           second driver Q7..Q0 = LED 9..16; a low output lights its LED.
;           Each column goes out bottom byte first, each byte inverted, most
;           significant bit first.
; Shows     one column every 500 us, lit for 400 us, in canvas order, the
;           first 500 us after the sensor edge, until the next edge; columns past
;           the end of the content stay dark.  Each revolution starts one column further to the
;           right; after the last column of the content it starts at the first.
;           With no sensor edge for 256 columns (motor stopped) it waits dark.
; Content   column c is the two bytes at 0x0280 + 2c, top byte first, top dot in
;           bit 7.  The length word at 0x024E (high byte first) holds the number
;           of content bytes + 16: the content ends before 0x0270 + length.
; Memory    content may fill the code memory up to 0x1FFF (8192 bytes in all);
;           a length word reaching further is cut there.

WIRING = 0
        .include "drivers-length.inc"
