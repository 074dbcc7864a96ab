; Picture unit through the whole machine: a sprite-zero split and a $2006
; split on one screen, the backdrop written through its $3F10 mirror, and
; the $2007 read buffer and palette reads stored for the test.
;
; Nametable 0: rows 0-14 alternate tile 1 (colour 1, even rows) and tile 3
; (colour 3, odd rows), rows 15-29 tile 2 (colour 2). Nametable 1 (to the
; right: vertical mirroring) tile 1 in palette 1. The left column of the
; background is clipped, so the backdrop shows at x 0-7.
; Each frame: sprite 0 (behind the background, top row opaque, x 16) hits
; on line 80; the program then scrolls x to 128 for the lines below, waits
; about 80 lines and writes $2006 = $00A0 (row 5 of nametable 0).
.include "nes.inc"

nes_header 2, 1, 0, 1

.zeropage
nmi_count:   .res 1
frames_done: .res 1
row:         .res 1

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
    sta frames_done
    wait_two_vblanks

    ; The read buffer: write two bytes at $2400, read them back (the first
    ; read returns the stale buffer).
    bit PPUSTATUS
    lda #$24
    sta PPUADDR
    lda #$00
    sta PPUADDR
    lda #$11
    sta PPUDATA
    lda #$22
    sta PPUDATA
    lda #$24
    sta PPUADDR
    lda #$00
    sta PPUADDR
    lda PPUDATA
    lda PPUDATA
    sta $0311
    lda PPUDATA
    sta $0312

    ; The palette, then $3F10 (the backdrop's mirror) and $3F14.
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
    lda #$3F
    sta PPUADDR
    lda #$10
    sta PPUADDR
    lda #$21
    sta PPUDATA
    lda #$3F
    sta PPUADDR
    lda #$14
    sta PPUADDR
    lda #$2C
    sta PPUDATA
    ; Palette reads answer at once: $3F04 holds what went to $3F14.
    lda #$3F
    sta PPUADDR
    lda #$04
    sta PPUADDR
    lda PPUDATA
    and #$3F
    sta $0310

    ; Nametable 0.
    lda #$20
    sta PPUADDR
    lda #$00
    sta PPUADDR
    lda #0
    sta row
@rows:
    lda row
    cmp #15
    bcs @lower
    and #1
    beq @even
    lda #3
    bne @fill
@even:
    lda #1
    bne @fill
@lower:
    lda #2
@fill:
    ldx #32
:   sta PPUDATA
    dex
    bne :-
    inc row
    lda row
    cmp #30
    bne @rows
    lda #0                 ; attributes: palette 0
    ldx #64
:   sta PPUDATA
    dex
    bne :-
    ; Nametable 1: tile 1, palette 1 everywhere.
    lda #1
    ldx #0
:   sta PPUDATA            ; 4 x 240 = 960 names
    sta PPUDATA
    sta PPUDATA
    sta PPUDATA
    inx
    cpx #240
    bne :-
    lda #$55
    ldx #64
:   sta PPUDATA
    dex
    bne :-

    ; Sprites through DMA from page 2: sprite 0, the rest hidden.
    ldx #0
    lda #$FF
:   sta $0200, x
    inx
    bne :-
    lda #79
    sta $0200
    lda #4
    sta $0201
    lda #$20
    sta $0202
    lda #16
    sta $0203
    lda #0
    sta OAMADDR
    lda #$02
    sta OAMDMA

    lda #$5A
    sta $0300              ; set up
    bit PPUSTATUS
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$80
    sta PPUCTRL
    lda #$1C               ; background and sprites, background's left column clipped
    sta PPUMASK

main:
    lda nmi_count
:   cmp nmi_count
    beq :-
:   bit PPUSTATUS          ; the hit of the last frame is cleared on the pre-render line
    bvs :-
:   bit PPUSTATUS
    bvc :-
    lda #128
    sta PPUSCROLL
    lda #0
    sta PPUSCROLL
    ; About 80 lines: 7 x 1281 + 128 cycles.
    ldx #7
@outer:
    ldy #255
@inner:
    dey
    bne @inner
    dex
    bne @outer
    ldx #25
:   dex
    bne :-
    lda #$00
    sta PPUADDR
    lda #$A0
    sta PPUADDR
    inc frames_done
    jmp main

nmi:
    pha
    bit PPUSTATUS
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$80
    sta PPUCTRL
    inc nmi_count
    pla
    rti

irq:
    rti

palette:
    .byte $0F, $16, $1A, $12,  $0F, $28, $0F, $0F,  $0F, $0F, $0F, $0F,  $0F, $0F, $0F, $0F
    .byte $0F, $30, $30, $30,  $0F, $0F, $0F, $0F,  $0F, $0F, $0F, $0F,  $0F, $0F, $0F, $0F

nes_vectors nmi, reset, irq

.segment "CHARS"
    .res 16, 0                                  ; tile 0: empty
    .byte $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF, 0,0,0,0,0,0,0,0              ; tile 1: colour 1
    .byte 0,0,0,0,0,0,0,0, $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF              ; tile 2: colour 2
    .byte $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF, $FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF  ; tile 3: colour 3
    .byte $FF,0,0,0,0,0,0,0, 0,0,0,0,0,0,0,0    ; tile 4: top row colour 1
    .res 8192 - 5 * 16, 0
