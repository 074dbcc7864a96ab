; Sleep probe for the frame driver tests: the program waits in WAI between
; interrupts. Each handler's first instruction writes to page $50, which the
; test maps to a recorder of (line, line clock): $5000 for IRQ, $5001 for
; NMI. Work RAM $0100 counts the wake-ups. The test sets the interrupts.
.include "snes.inc"

.segment "CODE"
.a8
.i8

reset:
    sei
    clc
    xce
    sep #$30
    rep #$10
    .i16
    ldx #$1FFF
    txs
    sep #$10
    .i8
    stz $0100
    cli
sleep:
    wai
    inc $0100
    bra sleep

irq:
    sta $5000
    lda TIMEUP          ; acknowledge the timer
    rti

nmi:
    sta $5001
    lda RDNMI
    rti

snes_header "VELTRANE DRIVER WAIT", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq
