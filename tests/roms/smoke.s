; Smallest useful cartridge: switches to native mode, counts NMIs in work
; RAM and spins in the main loop counting iterations.
.include "snes.inc"

.segment "CODE"
.a8
.i16

reset:
    sei
    clc
    xce                 ; native mode
    rep #$10            ; 16-bit index
    sep #$20            ; 8-bit accumulator
    ldx #$1FFF
    txs
    stz $10             ; NMI counter
    stz $11
    stz $12             ; main loop counter
    stz $13
    lda #$A5
    sta $7E2000         ; marker that the program started
    lda #$80
    sta NMITIMEN        ; NMI on
    cli
main:
    rep #$20
    inc $12
    sep #$20
    bra main

nmi:
    rep #$20
    pha
    lda RDNMI           ; acknowledge
    inc $10
    pla
    sep #$20
    rti

irq:
    rti

snes_header "VELTRANE SMOKE TEST", $20, 5
snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
