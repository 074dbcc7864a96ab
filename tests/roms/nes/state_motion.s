; A picture that changes every frame, for save-state round trips: a
; background of striped tiles scrolled by the frame count, one sprite
; moving down, a pulse tone whose pitch follows the frame count.
.include "nes.inc"

nes_header 2, 1, 0, 1

.zeropage
frame: .res 1

.bss
.align 256
oam: .res 256

.code
reset:
    sei
    cld
    ldx #$FF
    txs
    lda #0
    sta PPUCTRL
    sta PPUMASK
    wait_two_vblanks
    ; palette
    lda #$3F
    sta PPUADDR
    lda #$00
    sta PPUADDR
    ldx #0
@pal:
    lda palette,x
    sta PPUDATA
    inx
    cpx #32
    bne @pal
    ; nametable 0: tile (x + y) & 3
    lda #$20
    sta PPUADDR
    lda #$00
    sta PPUADDR
    ldy #0
@rows:
    ldx #0
@cols:
    txa
    sta $00F0
    tya
    clc
    adc $00F0
    and #3
    sta PPUDATA
    inx
    cpx #32
    bne @cols
    iny
    cpy #30
    bne @rows
    ; attributes: mixed palettes
    ldx #0
@attr:
    txa
    sta PPUDATA
    inx
    cpx #64
    bne @attr
    ; sprite 0 at (frame, frame)
    ldx #0
    lda #$F0
@hide:
    sta oam,x
    inx
    bne @hide
    lda #1
    sta APUSTATUS      ; pulse 1 on
    lda #$BF
    sta $4000
    lda #$08
    sta $4001
    lda #$80
    sta PPUCTRL
@wait:
    jmp @wait

nmi:
    inc frame
    lda frame
    sta oam+0          ; y
    lda #2
    sta oam+1          ; tile
    lda #1
    sta oam+2
    lda frame
    asl a
    sta oam+3          ; x
    lda #0
    sta OAMADDR
    lda #>oam
    sta OAMDMA
    lda frame
    sta PPUSCROLL
    lsr a
    sta PPUSCROLL
    lda #$80
    sta PPUCTRL
    lda #$1E
    sta PPUMASK
    lda frame
    ora #$40
    sta $4002
    lda #$01
    sta $4003
    rti

irq:
    rti

.rodata
palette:
    .byte $0F, $16, $27, $18,  $0F, $1A, $2C, $30,  $0F, $12, $22, $32,  $0F, $04, $14, $24
    .byte $0F, $16, $27, $30,  $0F, $1A, $2C, $30,  $0F, $12, $22, $32,  $0F, $04, $14, $24

nes_vectors nmi, reset, irq

.segment "CHARS"
    ; tile 0 empty, 1 vertical stripes, 2 a solid block, 3 checkerboard
    .res 16, 0
    .byte $AA, $AA, $AA, $AA, $AA, $AA, $AA, $AA,  $00, $00, $00, $00, $00, $00, $00, $00
    .byte $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF,  $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF
    .byte $AA, $55, $AA, $55, $AA, $55, $AA, $55,  $CC, $33, $CC, $33, $CC, $33, $CC, $33
    .res 8192 - 64, 0
