; Reads HVBJOY in a tight loop and writes each value to $5000, which the
; test maps to a recorder of (line, line clock, value).
.include "snes.inc"

.segment "CODE"
.a8
.i8

reset:
    sei
    clc
    xce
    sep #$30
loop:
    lda HVBJOY
    sta $5000
    bra loop

nmi:
irq:
    rti

snes_header "VELTRANE DRIVER PROBE", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq
