; Picture unit through the whole machine: 8x16 sprites from both pattern
; tables (and flipped), sprite priority behind the background, eight
; sprites a line with the overflow flag, sprites' left-column clipping.
; The status byte read in each NMI (its overflow bit) goes to $0320.
.include "nes.inc"

nes_header 2, 1, 0, 1

.zeropage
nmi_count: .res 1
row:       .res 1

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
    wait_two_vblanks

    bit PPUSTATUS
    lda #$3F
    sta PPUADDR
    lda #$00
    sta PPUADDR
    ldx #0
:   lda palette, x
    sta PPUDATA
    inx
    cpx #32
    bne :-

    ; Nametable 0: rows 12 and 13 (lines 96-111) tile 1, the rest tile 0.
    lda #$20
    sta PPUADDR
    lda #$00
    sta PPUADDR
    lda #0
    sta row
@rows:
    lda row
    cmp #12
    beq @full
    cmp #13
    beq @full
    lda #0
    beq @fill
@full:
    lda #1
@fill:
    ldx #32
:   sta PPUDATA
    dex
    bne :-
    inc row
    lda row
    cmp #32                ; rows 30 and 31 are the attributes: zero
    bne @rows

    ; OAM through DMA from page 2.
    ldx #0
    lda #$FF
:   sta $0200, x
    inx
    bne :-
    ldx #0
:   lda sprites, x
    sta $0200, x
    inx
    cpx #sprites_end - sprites
    bne :-
    lda #0
    sta OAMADDR
    lda #$02
    sta OAMDMA

    lda #$5A
    sta $0300
    bit PPUSTATUS
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$A0               ; NMI, 8x16 sprites
    sta PPUCTRL
    lda #$1A               ; background with its left column, sprites without theirs
    sta PPUMASK
main:
    jmp main

nmi:
    pha
    lda PPUSTATUS
    and #$20
    sta $0320
    inc nmi_count
    pla
    rti

irq:
    rti

palette:
    .byte $0F, $16, $1A, $12,  $0F, $0F, $0F, $0F,  $0F, $0F, $0F, $0F,  $0F, $0F, $0F, $0F
    .byte $0F, $30, $27, $0F,  $0F, $14, $1C, $11,  $0F, $0F, $0F, $0F,  $0F, $0F, $0F, $0F

; y (the line above the top), tile, attributes, x
sprites:
    .byte 49, $03, $00, 40     ; 0: $1000 tiles 2 (colour 1) over 3 (colour 2)
    .byte 49, $03, $80, 60     ; 1: the same upside down
    .byte 49, $02, $01, 80     ; 2: $0000 tiles 2 over 3, palette 1
    .byte 99, $03, $20, 100    ; 3: behind the background rows
    .byte 99, $03, $00, 120    ; 4: in front of them
    .byte 149, $03, $00, 16    ; 5-13: nine on lines 150-165
    .byte 149, $03, $00, 32
    .byte 149, $03, $00, 48
    .byte 149, $03, $00, 64
    .byte 149, $03, $00, 80
    .byte 149, $03, $00, 96
    .byte 149, $03, $00, 112
    .byte 149, $03, $00, 128
    .byte 149, $03, $00, 200   ; 13: the ninth, dropped
    .byte 199, $03, $00, 4     ; 14: partly in the clipped left column
sprites_end:

nes_vectors nmi, reset, irq

.segment "CHARS"
    ; $0000: tile 1 colour 1, tile 2 colour 2, tile 3 colour 3.
    .res 16, 0
    .byte $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF, 0,0,0,0,0,0,0,0
    .byte 0,0,0,0,0,0,0,0, $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
    .byte $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF, $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
    .res 4096 - 4 * 16, 0
    ; $1000: tile 2 colour 1, tile 3 colour 2.
    .res 32, 0
    .byte $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF, 0,0,0,0,0,0,0,0
    .byte 0,0,0,0,0,0,0,0, $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
    .res 4096 - 4 * 16, 0
