; A picture that changes every frame, for the save-state tests: the NMI
; handler scrolls BG1, rewrites the backdrop colour and one tilemap word,
; and copies a palette row from work RAM by DMA; two HDMA channels change
; the fixed colour (from a ROM table) and BG2's scroll (from a table in
; work RAM that the main loop rewrites after every frame); the H/V timer
; IRQ at line 112 switches to Mode 7 with a matrix taken from the frame
; count, and V-blank switches back to Mode 1. The main loop waits in WAI.
;
; Work RAM: $10 frame count (word), $12 IRQ count (word), $0300 palette
; row (32 bytes), $0400 BG2 scroll HDMA table.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

FRAMES   = $10
IRQS     = $12
PAL_ROW  = $0300
HDMA_TAB = $0400

.segment "RODATA"
setup:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $01
    REG BG1SC, $63              ; 64x64 map at $6000
    REG BG2SC, $60
    REG BG12NBA, $01            ; BG1 4bpp at $1000, BG2 2bpp at $0000
    REG TM, $03
    REG CGADSUB, $20            ; backdrop + fixed colour
    REG M7SEL, $00
    ; Channel 1: fixed colour per line from ROM.
    HDMA_CHANNEL 1, $00, $32, gradient
    ; Channel 2: BG2HOFS twice per entry, from work RAM.
    REG $4320, $02
    REG $4321, $0F
    REG $4322, <HDMA_TAB
    REG $4323, >HDMA_TAB
    REG $4324, $7E
    REG HDMAEN, $06
    REG INIDISP, $0F
    SCENE_END

gradient:
    .repeat 100, line
        .byte 1, $20 | ((line / 4) & 31)
    .endrepeat
    .byte 0

STANDARD_GRAPHICS_DATA

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
    ldx #setup
next_write:
    ldy a:$0000,x
    beq setup_done
    lda a:$0002,x
    sta a:$0000,y
    inx
    inx
    inx
    bra next_write
setup_done:
    rep #$20
    .a16
    stz FRAMES
    stz IRQS
    ldx #0
:   stz PAL_ROW,x
    inx
    inx
    cpx #32
    bne :-
    sep #$20
    .a8
    ; The BG2 scroll table: 7 bands of 32 lines, then its end.
    ldx #0
:   lda #32
    sta HDMA_TAB,x
    stz HDMA_TAB+1,x
    txa                         ; high byte: the band's place (small)
    sta HDMA_TAB+2,x
    inx
    inx
    inx
    cpx #21
    bne :-
    stz HDMA_TAB+21
    ldx #100
    stx HTIMEL
    ldx #112
    stx VTIMEL
    lda #$B1                    ; NMI, H and V timer IRQ, automatic joypad read
    sta NMITIMEN
    cli

main:
    wai
    ; Rewrite the scroll table's low bytes after every interrupt.
    ldx #0
:   lda HDMA_TAB+1,x
    clc
    adc #3
    sta HDMA_TAB+1,x
    inx
    inx
    inx
    cpx #21
    bne :-
    bra main

nmi:
    rep #$30
    .a16
    pha
    phx
    phy
    sep #$20
    .a8
    lda RDNMI
    lda #$01
    sta BGMODE                  ; back to Mode 1 for the top of the picture
    rep #$20
    .a16
    inc FRAMES
    lda FRAMES
    sep #$20
    .a8
    sta BG1HOFS                 ; scroll: low byte, then high byte
    xba
    sta BG1HOFS
    xba
    lsr a
    sta BG1VOFS
    stz BG1VOFS
    ; Backdrop colour from the frame count.
    stz CGADD
    lda FRAMES
    sta CGDATA
    lsr a
    sta CGDATA
    ; One tilemap word per frame.
    lda #$80
    sta VMAIN
    rep #$20
    .a16
    lda FRAMES
    and #$03FF
    ora #$6000
    sta VMADDL
    lda FRAMES
    and #$001F
    sta VMDATAL
    ; Palette row 1 from work RAM by DMA, after changing one of its words.
    lda FRAMES
    and #$000F
    asl a
    tax
    lda FRAMES
    sta PAL_ROW,x
    sep #$20
    .a8
    lda #$10
    sta CGADD
    stz $4300                   ; A to B, one register, increment
    lda #$22
    sta $4301
    ldx #PAL_ROW
    stx $4302
    stz $4304
    ldx #32
    stx $4305
    lda #$01
    sta MDMAEN
    rep #$30
    .a16
    ply
    plx
    pla
    rti

irq:
    rep #$30
    .a16
    pha
    sep #$20
    .a8
    lda TIMEUP                  ; acknowledge
    lda #$07
    sta BGMODE                  ; Mode 7 below line 112
    lda FRAMES
    sta M7A                     ; matrix from the frame count
    lda #$01
    sta M7A
    lda FRAMES
    sta M7B
    stz M7B
    lda FRAMES
    eor #$FF
    sta M7C
    lda #$FF
    sta M7C
    stz M7D
    lda #$01
    sta M7D
    lda FRAMES
    sta M7X
    stz M7X
    rep #$20
    .a16
    inc IRQS
    pla
    rti

snes_header "VELTRANE STATE MOTION", $20, 5
snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
