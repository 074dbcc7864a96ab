; Super Game Boy cartridge (title "Super GAMEBOY"): at reset reads the
; interface's version ($600F) into $7E:2000, the row while the Game Boy is
; held in reset into $7E:2001, then releases it ($6003 bit 7). Every frame
; it reads the packet flag ($6002) into $7E:2002 and the first packet byte
; into $7E:2003, selects buffer 2 and ORs 320 data-port bytes into
; $7E:2004, and waits for the LCD row to come back to 0: $7E:2006 counts
; the frames where it did.
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
    lda $600F
    sta $7E2000
    lda $6000
    sta $7E2001
    lda #$80
    sta $6003
    lda #$80
    sta NMITIMEN
    cli
main:
    wai
    lda $6002
    sta $7E2002
    lda $7000
    sta $7E2003
    lda #$02
    sta $6001
    ldx #320
    lda #0
read_row:
    ora $7800
    dex
    bne read_row
    sta $7E2004
    ldx #$0000
wait_row0:
    dex
    beq main            ; gave up
    lda $6000
    cmp #$08
    bcs wait_row0
    rep #$20
    inc $12
    lda $12
    sta $7E2006
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
    .byte "Super GAMEBOY"
    .res 8, $20
    .byte $20
    .byte $00
    .byte 5
    .byte $00
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
