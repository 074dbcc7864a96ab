; The smallest NES program that shows the side runs: counts NMIs and
; main-loop passes, and turns on an NMI per frame.
.include "nes.inc"

nes_header 2, 1, 0, 1

.zeropage
nmi_count:  .res 1
loop_count: .res 2

.code
reset:
    sei
    cld
    ldx #$FF
    txs
    lda #0
    sta PPUCTRL
    sta PPUMASK
    sta nmi_count
    sta loop_count
    sta loop_count+1
    wait_two_vblanks
    lda #$5A
    sta $0300          ; marks that the program got here
    lda #$80
    sta PPUCTRL        ; NMI at each V-blank
main:
    inc loop_count
    bne main
    inc loop_count+1
    jmp main

nmi:
    inc nmi_count
    rti

irq:
    rti

nes_vectors nmi, reset, irq

.segment "CHARS"
    .res 8192, 0
