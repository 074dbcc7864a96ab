; A busy mode 1 screen for the renderer benchmark (and a scene test): three
; layers split over the main and sub screens with halved sub-screen
; addition inside a colour window made of two windows, BG1 cut by a window,
; and three HDMA channels rewriting the fixed colour, BG1's scroll and the
; window edges on every line.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

.segment "RODATA"
scenes:
    .word heavy
SCENE_COUNT = 1

heavy:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $01
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG3SC, $68
    REG BG12NBA, $11
    REG16 BG1HOFS, 3
    REG16 BG1VOFS, 5
    REG16 BG2HOFS, 17
    REG16 BG2VOFS, 250
    REG16 BG3HOFS, 300
    REG16 BG3VOFS, 77
    REG TM, $03
    REG TS, $04
    REG W12SEL, $02
    REG TMW, $01
    REG WOBJSEL, $A0
    REG WOBJLOG, $08
    REG WH2, 100
    REG WH3, 220
    REG CGWSEL, $12
    REG CGADSUB, $63
    REG COLDATA, $45
    HDMA_CHANNEL 0, $00, $32, gradient_table
    HDMA_CHANNEL 1, $02, $0D, hscroll_table
    HDMA_CHANNEL 2, $01, $26, window_table
    REG HDMAEN, $07
    REG INIDISP, $0F
    SCENE_END

; COLDATA: red on even lines, blue on odd ones.
gradient_table:
.repeat 28, run
    .byte $88
    .repeat 8, i
        .if ((run * 8 + i) & 1) = 1
            .byte $80 | (((run * 8 + i) >> 1) & 31)
        .else
            .byte $20 | (((run * 8 + i) >> 2) & 31)
        .endif
    .endrepeat
.endrepeat
    .byte 0

; BG1HOFS of HDMA line k: k * 2.
hscroll_table:
.repeat 4, run
    .byte $B8
    .repeat 56, i
        .word ((run * 56 + i) * 2) & $3FF
    .endrepeat
.endrepeat
    .byte 0

; WH0/WH1 of HDMA line k: (k / 2, 255 - k / 4).
window_table:
.repeat 2, run
    .byte $F0
    .repeat 112, i
        .byte (run * 112 + i) / 2, 255 - (run * 112 + i) / 4
    .endrepeat
.endrepeat
    .byte 0

STANDARD_GRAPHICS_DATA
SCENE_PLAYER scenes, SCENE_COUNT, "VELTRANE HEAVY SCENE"
