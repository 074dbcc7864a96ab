; Satellaview base cartridge (title "Satellaview BS-X"): every frame
; reads bank $C0 into $7E:2000, the pack window (no pack: open bus, the
; last byte of the instruction, $70) into $7E:2001, writes register 3 and
; reads it into $7E:2002, and writes and reads its RAM at $17:5FFF into
; $7E:2003.
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
    lda $C01234
    sta $7E2000
    lda $700000
    sta $7E2001
    lda #$FF
    sta $035000
    lda $035000
    sta $7E2002
    lda #$5C
    sta $175FFF
    lda $175FFF
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
    .byte "Satellaview BS-X"
    .res 5, $20
    .byte $20
    .byte $00
    .byte 5
    .byte $00
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
