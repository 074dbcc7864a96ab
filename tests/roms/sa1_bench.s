; SA-1 benchmark cartridge: the SA-1 works all frame (a shift-register
; sequence through its multiplier into BW-RAM and I-RAM), while the main
; CPU waits for V-blank and shows the SA-1's latest sum as the backdrop
; colour. Work RAM $10 counts frames.
.include "snes.inc"
.include "sa1.inc"

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
    sta INIDISP         ; forced blank while setting up
    stz BGMODE
    stz TM              ; backdrop only
    ldx #sa1_reset
    stx CRV
    lda #$20
    sta CCNT
    stz CCNT            ; start the SA-1
    lda #$0F
    sta INIDISP
    lda #$80
    sta NMITIMEN
    cli
main:
    wai
    bra main

nmi:
    pha
    lda RDNMI
    stz CGADD
    lda $6000           ; BW-RAM: the SA-1's sum
    sta CGDATA
    lda $6001
    and #$7F
    sta CGDATA
    inc $10
    bne :+
    inc $11
:   pla
    rti

irq:
    rti

; --- the SA-1's program
sa1_reset:
    sei
    clc
    xce
    rep #$10
    sep #$20
    ldx #$07FF
    txs
    lda #$FF
    sta CIWP
    stz MCNT            ; multiply
    rep #$20
.a16
    lda #$ACE1
    sta $10             ; seed
    ldy #0
sa1_loop:
    lda $10             ; next value of the shift register
    asl
    bcc :+
    eor #$1D87
:   sta $10
    sta MA
    lda factors,y
    sta MB
    lda MR
    clc
    adc $6000           ; BW-RAM window at 0
    sta $6000
    iny
    iny
    cpy #16
    bne :+
    ldy #0
:   inc $12
    bra sa1_loop

.a8
factors:
    .word 3, 5, 7, 11, 13, 17, 19, 23

sa1_header "VELTRANE SA1 BENCH", 5
snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
