; DMA and interrupts: the test enables a timer IRQ that falls inside a long
; general DMA. The program marks the end of the DMA by writing $5001 right
; after the instruction that started it; the IRQ handler writes $5000.
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
    lda #$80
    sta INIDISP         ; forced blank: VRAM takes DMA at any time
    ; wait for the test to set things up (it writes $7E1F00)
@wait:
    lda $7E1F00
    cmp #$01
    bne @wait
    cli
    ; channel 0: 16 KiB from ROM bank 0 to $2118/$2119 (mode 1)
    lda #$01
    sta DMAP0
    lda #$18
    sta BBAD0
    ldx #$8000
    stx A1T0L
    stz A1B0
    ldx #$4000
    stx DAS0L
    lda #$01
    sta $5002           ; mark: about to start
    sta MDMAEN
    sta $5001           ; the first instruction after the transfer
@idle:
    bra @idle

irq:
    sta $5000
    lda TIMEUP
    rti

nmi:
    rti

snes_header "VELTRANE DMA IRQ", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq
