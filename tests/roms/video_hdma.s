; HDMA scenes: a fixed-colour gradient over the backdrop, per-line
; horizontal scroll (direct table) and vertical scroll (indirect table),
; brightness and forced blank per band of lines, and a window whose edges
; move every line.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

.macro MODE1_BASE
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $01
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG12NBA, $11
    REG16 BG1HOFS, 3
    REG16 BG1VOFS, 5
    REG16 BG2HOFS, 17
    REG16 BG2VOFS, 250
.endmacro

; COLDATA byte of HDMA line k: red on even lines, blue on odd ones.
.macro GRADIENT_VALUE k
    .if ((k) & 1) = 1
        .byte $80 | (((k) >> 1) & 31)
    .else
        .byte $20 | (((k) >> 2) & 31)
    .endif
.endmacro

.segment "RODATA"
scenes:
    .word gradient, scroll, brightness, moving_window
SCENE_COUNT = 4

gradient:
    MODE1_BASE
    REG COLDATA, $45            ; green 5 throughout
    REG CGADSUB, $20            ; backdrop + fixed colour
    REG TM, $00
    HDMA_CHANNEL 0, $00, $32, gradient_table
    REG HDMAEN, $01
    REG INIDISP, $0F
    SCENE_END

scroll:
    MODE1_BASE
    REG TM, $01
    HDMA_CHANNEL 1, $02, $0D, hscroll_table
    HDMA_CHANNEL 2, $42, $0E, vscroll_table
    REG $4327, $00              ; indirect data bank
    REG HDMAEN, $06
    REG INIDISP, $0F
    SCENE_END

brightness:
    MODE1_BASE
    REG TM, $03
    HDMA_CHANNEL 0, $00, $00, brightness_table
    REG HDMAEN, $01
    REG INIDISP, $0F
    SCENE_END

moving_window:
    MODE1_BASE
    REG W12SEL, $02
    REG TMW, $01
    REG TM, $03
    HDMA_CHANNEL 3, $01, $26, window_table
    REG HDMAEN, $08
    REG INIDISP, $0F
    SCENE_END

; 28 runs of 8 lines, a new byte every line.
gradient_table:
.repeat 28, run
    .byte $88
    .repeat 8, i
        GRADIENT_VALUE (run * 8 + i)
    .endrepeat
.endrepeat
    .byte 0

; BG1HOFS of HDMA line k = k * 3, in 4 runs of 56 lines.
hscroll_table:
.repeat 4, run
    .byte $B8
    .repeat 56, i
        .word ((run * 56 + i) * 3) & $3FF
    .endrepeat
.endrepeat
    .byte 0

; BG1VOFS 10, 20, 30, 40, each written once and held for 64 lines.
vscroll_table:
.repeat 4, i
    .byte $40
    .word vscroll_values + i * 2
.endrepeat
    .byte 0
vscroll_values:
    .word 10, 20, 30, 40

; INIDISP for bands of 32 lines: full, half, zero, forced blank, dim, full,
; zero brightness with the unused bits set.
brightness_table:
    .byte $20, $0F, $20, $08, $20, $00, $20, $8F, $20, $03, $20, $0F, $20, $70, $00

; WH0/WH1 of HDMA line k: (k / 2, 255 - k) in two runs of 112 lines.
window_table:
.repeat 2, run
    .byte $F0
    .repeat 112, i
        .byte (run * 112 + i) / 2, 255 - (run * 112 + i)
    .endrepeat
.endrepeat
    .byte 0

STANDARD_GRAPHICS_DATA
SCENE_PLAYER scenes, SCENE_COUNT, "VELTRANE HDMA"
