; Satellaview memory pack (memory-pack header): at reset the flash's
; identifier, program, status, erase and read-array modes are tried in
; bank $74 (a part of the pack the program does not run from), then the
; base unit's registers, its RAM and the receiver's B-bus registers; the
; results go to $7E:2000-$200C. Every frame the status is read again.
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
    lda #$90            ; identifier
    sta $700000
    lda $700000
    sta $7E2000
    lda $700001
    sta $7E2001
    lda #$FF            ; read array
    sta $700000
    lda $700000
    sta $7E2002
    lda #$40            ; program $3C
    sta $740000
    lda #$3C
    sta $740000
    lda $740000         ; status
    sta $7E2003
    lda #$FF
    sta $740000
    lda $740000
    sta $7E2004
    lda #$40            ; program $C3 over $3C: bits cannot be set
    sta $740000
    lda #$C3
    sta $740000
    lda $740000
    sta $7E2005
    lda #$50            ; clear the status
    sta $740000
    lda $740000
    sta $7E2006
    lda #$20            ; erase the block
    sta $740000
    lda #$D0
    sta $740000
    lda #$FF
    sta $740000
    lda $740000
    sta $7E2007
    lda #$80            ; base unit register 1
    sta $015000
    lda $015000
    sta $7E2008
    lda $025000
    sta $7E2009
    lda #$77            ; its RAM
    sta $105000
    lda $105000
    sta $7E200A
    lda #$12            ; stream 1 channel
    sta $2188
    lda $2188
    sta $7E200B
    lda $218A           ; stream 1 queue: empty
    sta $7E200C
    lda #$70
    sta $740000
    lda #$80
    sta NMITIMEN
    cli
main:
    wai
    lda $740000
    sta $7E200D
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
    .byte "VELTRANE BSX PACK"
    .res 4, $20
    .byte $20
    .byte $00
    .byte 5
    .byte $20
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
