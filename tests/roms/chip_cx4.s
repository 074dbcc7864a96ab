; CX4 cartridge (type $F3): fills the chip's RAM, has the chip copy a table
; from ROM into its RAM at $0100 by DMA, waits while the status says busy,
; then every frame copies that RAM back into $7E:2000-$203F and counts
; frames in $7E:0010.
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
    ldx #0
fill:
    txa
    sta $6000,x         ; RAM $000-$0FF
    inx
    cpx #$100
    bne fill
    lda #<table         ; DMA source: the table in bank $00
    sta $7F40
    lda #>table
    sta $7F41
    stz $7F42
    lda #64             ; 64 bytes
    sta $7F43
    stz $7F44
    stz $7F45           ; into RAM $0100
    lda #$01
    sta $7F46
    sta $7F47           ; go
wait:
    bit $7F5E           ; bit 6: busy
    bvs wait
    lda #$80
    sta NMITIMEN
    cli
main:
    wai
    ldx #0
copy:
    lda $7100,x         ; the RAM's mirror at $7000
    sta $7E2000,x
    inx
    cpx #64
    bne copy
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

table:
    .repeat 64, i
    .byte (i * 7 + 3) & $FF
    .endrepeat

.segment "HEADER"
    .byte "VELTRANE CX4 TEST"
    .res 4, $20
    .byte $20           ; LoROM
    .byte $F3           ; CX4
    .byte 5
    .byte 0
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
