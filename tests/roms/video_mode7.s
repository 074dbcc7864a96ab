; Mode 7 scenes: the identity matrix, rotation, scaling, each screen-over
; setting, flips, mosaic, direct colour, EXTBG on either screen, sprites
; around the plane, and a heavy scene (128 sprites over a plane whose
; matrix HDMA rewrites on every line) shared with the video benchmark.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

; VRAM: the plane in words $0000-$3FFF, sprite name tables at $4000 and
; $5000 (OBJSEL name base 2).
.macro PLANE_SCENE
    MODE7_PLANE_LOAD mode7_map, mode7_pixels
    VRAM_LOAD $4000, sprite_sheet, 8192
    VRAM_LOAD $5000, sprite_sheet + 18 * 32, 8192
    CGRAM_LOAD 0, palette, 512
    OAM_LOAD oam_around
    REG OBJSEL, $62             ; 16 and 32 pixels
    REG BGMODE, $07
.endmacro

.macro MATRIX ma, mb, mc, md
    REG16 M7A, ma
    REG16 M7B, mb
    REG16 M7C, mc
    REG16 M7D, md
.endmacro

.macro CENTRE cx, cy, hofs, vofs
    REG16 M7X, cx
    REG16 M7Y, cy
    REG16 BG1HOFS, hofs
    REG16 BG1VOFS, vofs
.endmacro

; Rotation by 30 degrees: cos = 222/256, sin = 128/256.
.macro ROTATED
    MATRIX 222, 128, -128 & $FFFF, 222
    CENTRE 128, 112, 200, 100
.endmacro

; Zoomed out three times around a point near the plane's corner, so the
; outside shows.
.macro ZOOMED_OUT
    MATRIX $0300, 40, -40 & $FFFF, $0300
    CENTRE 40, 30, -100 & $FFFF, -60 & $FFFF
.endmacro

.macro SHOW tm
    REG TM, tm
    REG INIDISP, $0F
    SCENE_END
.endmacro

.segment "RODATA"
scenes:
    .word identity, rotation, scaling, outside_transparent, outside_tile0, outside_tile0_bit6, outside_wrap, flips
    .word mosaic, direct_colour, extbg_main, extbg_sub, extbg_main_bg2_off, plane_and_sprites, heavy
SCENE_COUNT = 15

identity:
    PLANE_SCENE
    SHOW $01

rotation:
    PLANE_SCENE
    ROTATED
    SHOW $01

scaling:
    PLANE_SCENE
    MATRIX $0080, 0, 0, $0180
    CENTRE 64, 64, -128 & $FFFF, 700
    SHOW $01

outside_transparent:
    PLANE_SCENE
    ZOOMED_OUT
    REG M7SEL, $80
    SHOW $11

outside_tile0:
    PLANE_SCENE
    ZOOMED_OUT
    REG M7SEL, $C0
    SHOW $01

outside_tile0_bit6:
    PLANE_SCENE
    ZOOMED_OUT
    REG M7SEL, $40
    SHOW $01

outside_wrap:
    PLANE_SCENE
    ZOOMED_OUT
    REG M7SEL, $00
    SHOW $01

flips:
    PLANE_SCENE
    ROTATED
    REG M7SEL, $03
    SHOW $11

; Mosaic blocks of 4 on a vertically flipped plane.
mosaic:
    PLANE_SCENE
    ROTATED
    REG M7SEL, $02
    REG MOSAIC, $31
    SHOW $11

direct_colour:
    PLANE_SCENE
    ROTATED
    REG CGWSEL, $01
    SHOW $11

; EXTBG on the main screen: a window takes BG1 away in its middle, so BG2
; (the same pixels, bit 7 as priority) shows there, adding the fixed
; colour; sprites of every priority around and between.
extbg_main:
    PLANE_SCENE
    ROTATED
    REG SETINI, $40
    REG W12SEL, $02
    REG WH0, 60
    REG WH1, 180
    REG TMW, $01
    REG COLDATA, $E8            ; 8, 8, 8
    REG CGADSUB, $02
    SHOW $13

; Plain order on the main screen, EXTBG on the sub screen (BG2 and
; sprites), halved addition of BG1 over it, direct colour for BG1.
extbg_sub:
    PLANE_SCENE
    ROTATED
    REG SETINI, $40
    REG CGWSEL, $03
    REG CGADSUB, $41
    REG TS, $12
    SHOW $11

; EXTBG set, but BG2 is not on the main screen: the plain order there.
extbg_main_bg2_off:
    PLANE_SCENE
    ROTATED
    REG SETINI, $40
    SHOW $11

plane_and_sprites:
    PLANE_SCENE
    MATRIX $0100, 0, 0, $0100
    CENTRE 0, 0, 30, 20
    SHOW $11

; 128 sprites over a plane tilted line by line: channel 1 writes M7A and
; M7B, channel 2 M7C and M7D, on every line.
heavy:
    PLANE_SCENE
    OAM_LOAD oam_swarm
    REG OBJSEL, $02             ; 8 and 16 pixels
    CENTRE 128, 112, 0, 0
    HDMA_CHANNEL 1, $03, $1B, matrix_ab
    HDMA_CHANNEL 2, $03, $1D, matrix_cd
    REG HDMAEN, $06
    SHOW $11

; ---------------------------------------------------------------------------
; HDMA tables: on HDMA line k the scale s = 32768 / (k + 64) (512 at the
; top, 114 at the bottom) with a quarter of it as the rotation part:
; M7A = M7D = s, M7B = s / 4, M7C = -(s / 4).
.macro MATRIX_LINE_AB k
    .word 32768 / ((k) + 64), (32768 / ((k) + 64)) / 4
.endmacro
.macro MATRIX_LINE_CD k
    .word (-((32768 / ((k) + 64)) / 4)) & $FFFF, 32768 / ((k) + 64)
.endmacro

matrix_ab:
.repeat 2, run
    .byte $80 | 112
    .repeat 112, i
        MATRIX_LINE_AB (run * 112 + i)
    .endrepeat
.endrepeat
    .byte 0

matrix_cd:
.repeat 2, run
    .byte $80 | 112
    .repeat 112, i
        MATRIX_LINE_CD (run * 112 + i)
    .endrepeat
.endrepeat
    .byte 0

; ---------------------------------------------------------------------------
; OAM images

; Sprites of every priority over and around the plane.
oam_around:
    OBJ_TABLE_BEGIN
    .repeat 16, i
        OBJ (i * 37) & $FF, 10 + i * 13, i * 5, ((i & 7) << 1) | ((i & 3) << 4) | ((i & 1) << 6), i & 1
    .endrepeat
    OBJ_TABLE_END

; 128 sprites spread over the screen, 8 or 16 pixels, every palette,
; priority and flip.
oam_swarm:
    OBJ_TABLE_BEGIN
    .repeat 128, i
        OBJ (i * 61) & $1FF, (i * 23 + 7) & $FF, (i * 7) & $FF, ((i & 7) << 1) | ((i & 3) << 4) | ((i & 12) << 4) | ((i >> 4) & 1), (i >> 2) & 1
    .endrepeat
    OBJ_TABLE_END

; ---------------------------------------------------------------------------
; Graphics

mode7_map: MODE7_MAP_SOURCE
mode7_pixels: MODE7_PIXEL_SOURCE
sprite_sheet: SPRITE_SHEET
palette: PALETTE

SCENE_PLAYER scenes, SCENE_COUNT, "VELTRANE MODE 7"
