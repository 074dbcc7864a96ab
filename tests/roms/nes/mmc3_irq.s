; MMC3's scanline IRQ through the CPU: the counter is reloaded with 50 in
; each V-blank and acknowledged and re-enabled in the IRQ handler, so four
; IRQs come in each frame (after lines 49, 100, 151 and 202). The NMI
; handler stores each frame's IRQ count at $0400+frame (frames 0-31) and
; the handler stores the bank number it read at $8000 and $A000 after
; switching banks with the MMC3's registers.
;   $0300: $A5 once running   $0301/$0302: bytes at $8000/$A000 after the switch
.include "nes.inc"

nes_header 2, 0, 4, 0

.zeropage
frame:     .res 1
irqs:      .res 1

.segment "BANK0"
    .byte $00
.segment "BANK1"
    .byte $01

.code
reset:
    sei
    cld
    ldx #$FF
    txs
    lda #0
    sta PPUCTRL
    sta PPUMASK
    sta frame
    sta irqs
    lda #$40
    sta JOY2           ; $4017: no frame IRQ from the sound unit
    wait_two_vblanks
    ; R6 = bank 1 at $8000, R7 = bank 0 at $A000
    lda #6
    sta $8000
    lda #1
    sta $8001
    lda #7
    sta $8000
    lda #0
    sta $8001
    lda $8000
    sta $0301
    lda $A000
    sta $0302
    ; background on (an empty screen still renders), NMI on
    lda #$08
    sta PPUMASK
    lda #$80
    sta PPUCTRL
    lda #$A5
    sta $0300
    cli
@wait:
    jmp @wait

nmi:
    pha
    txa
    pha
    ldx frame
    cpx #32
    bcs @skip
    lda irqs
    sta $0400,x
@skip:
    inc frame
    lda #0
    sta irqs
    lda #50
    sta $C000          ; latch
    sta $C001          ; reload
    sta $E001          ; enable
    pla
    tax
    pla
    rti

irq:
    pha
    inc irqs
    sta $E000          ; acknowledge
    sta $E001          ; and enable again
    pla
    rti

nes_vectors nmi, reset, irq
