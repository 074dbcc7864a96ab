; A LoROM cartridge with 8 KiB of battery RAM: counts its boots in battery
; RAM, so that two runs through the runner leave 1 and then 2 there, and
; copies the count to work RAM.
.include "snes.inc"

SRAM_COUNT = $700000   ; boot count
SRAM_MARK  = $700001   ; "VT" once the RAM has been set up
SRAM_LAST  = $700010   ; a byte at the end of the used part

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
    lda SRAM_MARK
    cmp #'V'
    bne fresh
    lda SRAM_MARK+1
    cmp #'T'
    beq counted
fresh:
    lda #'V'
    sta SRAM_MARK
    lda #'T'
    sta SRAM_MARK+1
    lda #0
    sta SRAM_COUNT
counted:
    lda SRAM_COUNT
    inc
    sta SRAM_COUNT
    sta $7E0100
    lda #$A5
    sta SRAM_LAST
forever:
    bra forever

nmi:
irq:
    rti

; Internal header: cartridge type $02 (ROM and battery RAM), RAM size 3 (8 KiB).
.segment "HEADER"
    .byte "VELTRANE SRAM TEST   "
    .byte $20, $02, $05, $03, $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
