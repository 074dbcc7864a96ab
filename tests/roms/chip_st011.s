; ST011 cartridge (title "2DAN MORITA SHOUGI"): every frame writes $5A to
; the data register ($60:0000), reads the status ($60:0001) into $7E:2000
; and the data into $7E:2001; writes $A5 to the chip's RAM at $68:0123 and
; reads it back through its mirror $68:1123 into $7E:2002.
.include "snes.inc"

.segment "CODE"
.a8
.i16

reset:
    sei
    clc
    xce
    rep #$10
    sep #$20
    ldx #$1FFF
    txs
    stz $10
    stz $11
    lda #$80
    sta NMITIMEN
    cli
main:
    wai
    lda #$5A
    sta $600000
    lda $600001
    sta $7E2000
    lda $600000
    sta $7E2001
    lda #$A5
    sta $680123
    lda $681123
    sta $7E2002
    bra main

nmi:
    rep #$20
    pha
    lda RDNMI
    inc $10
    pla
    sep #$20
    rti

irq:
    rti

.segment "HEADER"
    .byte "2DAN MORITA SHOUGI"
    .res 3, $20
    .byte $20
    .byte $00
    .byte 5
    .byte $00
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
