; Mode 7 scene: the 1024 x 1024 plane turns and zooms around its middle,
; one matrix per frame from a table of one turn; outside the plane tile 0
; (water) repeats. Translucent orbs circle above it: their palettes take
; part in colour math, which adds half of the sub screen (the plane again)
; to them.
.include "snes.inc"
.include "demo.inc"

PLANE_CENTRE = 512

.segment "CODE"
.a8
.i16

.proc mode7_enter
    lda #$07
    sta BGMODE
    lda #$C0                ; outside the plane: tile 0
    sta M7SEL
    LOAD_VRAM_BYTES $0000, <VMDATAL, $00, plane_map, 16384
    LOAD_VRAM_BYTES $0000, <VMDATAH, $80, plane_tiles, plane_tiles_size
    LOAD_CGRAM 0, plane_palette, 64
    lda #<PLANE_CENTRE      ; the centre of rotation ...
    sta M7X
    lda #>PLANE_CENTRE
    sta M7X
    lda #<PLANE_CENTRE
    sta M7Y
    lda #>PLANE_CENTRE
    sta M7Y
    ldx #PLANE_CENTRE - 128 ; ... in the middle of the picture
    stx bg1hofs
    ldx #PLANE_CENTRE - 112
    stx bg1vofs
    lda #$11                ; BG1 and sprites
    sta TM
    lda #$01                ; BG1 on the sub screen too
    sta TS
    lda #$02                ; colour math adds the sub screen
    sta CGWSEL
    lda #$50                ; halved, for sprites of palettes 4-7
    sta CGADSUB
    jmp set_matrix
.endproc

.proc mode7_update
    jsr set_matrix
    jsr clear_oam_shadow
    ldx #68
    stx spr_x
    lda #12
    sta spr_y
    lda #ATTR_YELLOW
    sta spr_attr
    ldx #text_caption
    jsr add_text_sprites

    ; Eight orbs on an ellipse, 32 steps of the sine apart.
    ldx #0
orb:
    stx tmp2
    txa
    asl
    asl
    asl
    asl
    asl
    sta tmp1
    lda scene_timer
    asl
    clc
    adc tmp1
    sta tmp1                ; angle
    jsr signed_sine
    rep #$20
    .a16
    clc
    adc #120
    sta spr_x
    sep #$20
    .a8
    lda tmp1
    clc
    adc #64
    jsr signed_sine
    rep #$20
    .a16
    cmp #$8000              ; halved, keeping the sign
    ror
    clc
    adc #104
    sep #$20
    .a8
    sta spr_y
    lda tmp2
    clc
    adc scene_timer
    lsr
    lsr
    and #$06
    clc
    adc #TILE_ORB
    sta spr_tile
    lda tmp2
    and #$01
    asl
    ora #ATTR_ORB
    sta spr_attr
    lda #2
    sta spr_large
    jsr add_sprite
    ldx tmp2
    inx
    cpx #8
    bne orb
    rts
.endproc

; 16-bit A = the sine table entry A, sign-extended (-127..127).
.proc signed_sine
    rep #$20
    .a16
    and #$00FF
    tax
    sep #$20
    .a8
    lda f:sine_table,x
    rep #$20
    .a16
    and #$00FF
    cmp #$0080
    bcc :+
    ora #$FF00
:   sep #$20
    .a8
    rts
.endproc

; M7A-M7D for this frame of the turn.
.proc set_matrix
    rep #$20
    .a16
    lda scene_timer
    and #$01FF
    asl
    asl
    asl
    tax
    lda f:plane_matrix,x
    sta m7a
    lda f:plane_matrix + 2,x
    sta m7b
    lda f:plane_matrix + 4,x
    sta m7c
    lda f:plane_matrix + 6,x
    sta m7d
    sep #$20
    .a8
    rts
.endproc

.segment "RODATA"
text_caption: .byte "ROTATE AND ZOOM", 0
