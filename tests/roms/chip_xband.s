; XBAND modem cartridge: every frame reads the modem's two identification
; bytes ($FB:C1B2, $FB:C1BC) and another register ($FB:C000) into
; $7E:2000-$2002, writes its battery RAM at $E0:0010 and reads it back at
; the mirror $60:0010 into $7E:2003.
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
    lda $FBC1B2
    sta $7E2000
    lda $FBC1BC
    sta $7E2001
    lda #$33
    sta $FBC000
    lda $FBC000
    sta $7E2002
    lda $10
    sta $E00010
    lda $600010
    sta $7E2003
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
    .byte "XBAND VIDEOGAME MODEM"
    .byte $20
    .byte $02
    .byte 5
    .byte $03
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
