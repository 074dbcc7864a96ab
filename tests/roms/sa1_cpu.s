; SA-1 test cartridge: the main CPU sets the SA-1's vectors and its own
; switched IRQ vector, starts the SA-1 and waits for its message. The SA-1
; runs its arithmetic unit, the bit reader, BW-RAM (linear and as pixels)
; and a DMA into I-RAM, leaves the results in I-RAM $0100-$0112 and $0200,
; then raises the main CPU's IRQ. The main CPU answers with an IRQ to the
; SA-1, whose handler counts in I-RAM $0302.
;
; Work RAM results: $10 IRQs taken through SIV, $11 SFR read in that IRQ,
; $12 set to $EE when the IRQ came through the ROM vector instead, $2000
; $A5 once the SA-1 has taken the main CPU's IRQ.
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
    stz $12
    ldx #sa1_reset
    stx CRV
    ldx #sa1_nmi
    stx CNV
    ldx #sa1_irq
    stx CIV
    ldx #snes_irq_switched
    stx SIV
    lda #$80
    sta SIE             ; the SA-1 may interrupt the main CPU
    lda #$FF
    sta SIWP
    lda #$20
    sta CCNT            ; held in reset
    stz CCNT            ; released: the SA-1 starts at CRV
    cli
wait_message:
    lda $10
    beq wait_message
    lda #$80
    sta CCNT            ; IRQ to the SA-1
wait_answer:
    lda $3302           ; I-RAM $0302: the SA-1's IRQ count
    beq wait_answer
    lda #$A5
    sta $7E2000
forever:
    bra forever

snes_irq_switched:
    pha
    lda SFR
    sta $11
    lda #$80
    sta SIC             ; acknowledge
    inc $10
    pla
    rti

rom_irq:
    pha
    lda #$EE
    sta $12
    lda #$80
    sta SIC
    pla
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
    sta CIWP            ; I-RAM writable
    lda #$80
    sta CIE             ; IRQ from the main CPU enabled

    stz MCNT            ; multiply $1234 x -3
    ldx #$1234
    stx MA
    ldx #$FFFD
    stx MB
    ldx MR
    stx $0100
    ldx MR+2
    stx $0102

    lda #1              ; divide -7 by 2
    sta MCNT
    ldx #$FFF9
    stx MA
    ldx #2
    stx MB
    ldx MR
    stx $0104
    ldx MR+2
    stx $0106

    lda #2              ; four sums of $7FFF x $7FFF
    sta MCNT
    ldy #4
@sum:
    ldx #$7FFF
    stx MA
    stx MB
    dey
    bne @sum
    ldx MR
    stx $0108
    ldx MR+2
    stx $010A
    lda MR+4
    sta $010C
    lda OF
    sta $010D

    ldx #bits_table     ; bit reader over $12 $34 $56 $78 ...
    stx VDA
    stz VDA+2
    lda #$04
    sta VBD             ; fixed mode: the write moves on 4 bits
    lda VDPL
    sta $0110
    lda #$84
    sta VBD             ; automatic: each high-byte read moves on 4 bits
    lda VDPH
    sta $0111
    lda VDPL
    sta $0112

    lda #$80
    sta CBWE            ; BW-RAM writable in banks $40-$4F
    lda #$5A
    sta $400010
    lda #$0F
    sta $600041         ; pixel $41: high nibble of BW-RAM byte $20

    lda #$80
    sta DCNT            ; DMA from ROM to I-RAM
    ldx #bits_table
    stx SDA
    stz SDA+2
    ldx #8
    stx DTC
    ldx #$0200
    stx DDA             ; the middle byte starts it
    stz DDA+2

    lda #$C5
    sta SCNT            ; IRQ to the main CPU through SIV, message 5
    cli
idle:
    ldx $0300
    inx
    stx $0300
    bra idle

sa1_irq:
    pha
    inc $0302
    lda #$80
    sta CIC
    pla
    rti

sa1_nmi:
    rti

bits_table:
    .byte $12, $34, $56, $78, $9A, $BC, $DE, $F0

sa1_header "VELTRANE SA1 TEST", 5
snes_vectors rom_irq, rom_irq, rom_irq, rom_irq, rom_irq, rom_irq, reset, rom_irq
