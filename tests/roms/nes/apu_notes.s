; Plays notes on the sound unit, a second each, and counts its IRQs:
;   frames   0- 59: pulse 1, 50 % duty, volume 15, period $0FD (440 Hz)
;   frames  60-119: triangle, period $0FD (220 Hz)
;   frames 120-179: pulse 2, 50 % duty, volume 8, period $0A9 (658 Hz)
;   frames 180-   : silence; then a DMC sample of 17 bytes with its IRQ
; The frame counter runs in 4-step mode with its IRQ on throughout; the IRQ
; handler counts the frame IRQs at $0310-$0311 and the DMC IRQs at $0312.
; $0300 = $A5 once the DMC part is started.
.include "nes.inc"

nes_header 2, 1, 0, 1

.zeropage
frame:      .res 2

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
    sta frame+1
    sta $0300
    sta $0310
    sta $0311
    sta $0312
    wait_two_vblanks
    ; Pulse 1 plays at once.
    lda #$01
    sta APUSTATUS
    lda #$BF            ; 50 %, halt, constant volume 15
    sta $4000
    lda #$08            ; sweep off, negate: no overflow muting
    sta $4001
    lda #$FD
    sta $4002
    lda #$00
    sta $4003
    lda #$00            ; 4-step mode, IRQ on
    sta $4017
    lda #$80
    sta PPUCTRL         ; NMI at each V-blank
    cli
main:
    jmp main

nmi:
    pha
    inc frame
    bne :+
    inc frame+1
:   lda frame+1
    bne done            ; past 255 frames: nothing more to do
    lda frame
    cmp #60
    beq triangle
    cmp #120
    beq pulse2
    cmp #180
    beq silence
    cmp #200
    beq dmc
done:
    pla
    rti

triangle:
    lda #$04
    sta APUSTATUS       ; pulse 1 off, triangle on
    lda #$FF            ; control: the linear counter holds
    sta $4008
    lda #$FD
    sta $400A
    lda #$00
    sta $400B
    jmp done

pulse2:
    lda #$02
    sta APUSTATUS
    lda #$B8            ; 50 %, halt, constant volume 8
    sta $4004
    lda #$08
    sta $4005
    lda #$A9
    sta $4006
    lda #$00
    sta $4007
    jmp done

silence:
    lda #$00
    sta APUSTATUS
    jmp done

dmc:
    lda #$8F            ; IRQ on, no loop, fastest rate
    sta $4010
    lda #<((dmc_sample - $C000) / 64)
    sta $4012
    lda #$01            ; 17 bytes
    sta $4013
    lda #$10
    sta APUSTATUS
    lda #$A5
    sta $0300
    jmp done

irq:
    pha
    txa
    pha
    lda APUSTATUS       ; reading acknowledges the frame IRQ
    tax
    and #$40
    beq not_frame
    inc $0310
    bne not_frame
    inc $0311
not_frame:
    txa
    bpl not_dmc
    inc $0312           ; the DMC's IRQ: writing $4015 acknowledges it
    lda #$00
    sta APUSTATUS
not_dmc:
    pla
    tax
    pla
    rti

.segment "DMC"
dmc_sample:
    .res 17, $F0

nes_vectors nmi, reset, irq

.segment "CHARS"
    .res 8192, 0
