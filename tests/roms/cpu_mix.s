; A realistic instruction mix for the CPU benchmark: table walks, 16-bit
; arithmetic, long and indexed accesses, subroutine calls, stack traffic and
; branches, running from ROM against work RAM forever.
.include "snes.inc"

.segment "CODE"

reset:
    sei
    clc
    xce
    rep #$30
    .a16
    .i16
    ldx #$1FFF
    txs
    lda #$0000
    tcd
outer:
    ldx #$0000
    ldy #$0040
inner:
    lda table,x         ; ROM read, 16-bit
    clc
    adc $10             ; direct page
    sta $0200,x         ; work RAM store
    eor #$5A5A
    sta $7E4000,x       ; long indexed store
    lsr a
    bcc @even
    inc $12
@even:
    jsr helper
    inx
    inx
    dey
    bne inner
    sep #$20
    .a8
    lda $10
    pha
    inc a
    sta $10
    pla
    cmp #$80
    rep #$20
    .a16
    bcs @wrap
    bra outer
@wrap:
    stz $10
    bra outer

helper:
    lda $12
    asl a
    ora #$0001
    sta $14
    lda $16             ; direct page word
    and #$00FF
    sta $16
    rts

nmi:
irq:
    rti

.segment "RODATA"
table:
    .repeat 128, i
    .word (i * 517 + 3) & $FFFF
    .endrepeat

snes_header "VELTRANE CPU MIX", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq
