; ST018 cartridge (title "NIDAN MORITASHOGI2"): resets the chip at $3804,
; then every frame sends the frame count at $3802, waits for the answer
; (status bit 0), reads it from $3800 into $7E:2000 and the status after
; the read into $7E:2001; the word at $7E:2002 counts completed handshakes.
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
    stz $12
    stz $13
    lda #$01
    sta $3804
    stz $3804
    lda #$80
    sta NMITIMEN
    cli
main:
    wai
    lda $10
    sta $3802
wait_answer:
    lda $3804
    and #$01
    beq wait_answer
    lda $3800
    sta $7E2000
    lda $3804
    sta $7E2001
    rep #$20
    inc $12
    lda $12
    sta $7E2002
    sep #$20
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
    .byte "NIDAN MORITASHOGI2"
    .res 3, $20
    .byte $20
    .byte $00
    .byte 5
    .byte $00
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
