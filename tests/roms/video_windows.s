; Window scenes: single windows, both windows with each logic, inverted
; windows and the one-pixel edge cases, windows on the sub screen, the
; colour window, and windows in the 512-pixel mode 5.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

; Mode 1 with BG1 and BG2 over the backdrop, each layer on its own screen
; of the shared map.
.macro MODE1_BASE
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
.endmacro

; BG1 over BG2 with BG1's two windows combined by `logic`.
.macro TWO_WINDOWS logic
    MODE1_BASE
    REG W12SEL, $0A
    REG WH0, 0
    REG WH1, 127
    REG WH2, 64
    REG WH3, 191
    REG WBGLOG, logic
    REG TMW, $01
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END
.endmacro

.segment "RODATA"
scenes:
    .word single_window, logic_or, logic_and, logic_xor, logic_xnor, inverted, narrow_edges, sub_screen_window
    .word colour_window_region, colour_window_xor_clip, mode5_windows, window_off_for_screen
SCENE_COUNT = 12

single_window:
    MODE1_BASE
    REG W12SEL, $02
    REG WH0, 20
    REG WH1, 100
    REG TMW, $01
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

logic_or:   TWO_WINDOWS $00
logic_and:  TWO_WINDOWS $01
logic_xor:  TWO_WINDOWS $02
logic_xnor: TWO_WINDOWS $03

; Window 1 inverted over 40..90, window 2 over 70..200, OR, on BG1 and BG3;
; BG2 uses window 2 inverted alone.
inverted:
    MODE1_BASE
    REG W12SEL, $CB
    REG W34SEL, $0B
    REG WH0, 40
    REG WH1, 90
    REG WH2, 70
    REG WH3, 200
    REG TMW, $07
    REG TM, $07
    REG INIDISP, $0F
    SCENE_END

; BG1: window 1 at L = R = 10 hides one pixel; BG2: window 2 at L = R = 3
; hides nothing; BG3: window 2 inverted at L = R hides everything.
narrow_edges:
    MODE1_BASE
    REG W12SEL, $82
    REG W34SEL, $0C
    REG WH0, 10
    REG WH1, 10
    REG WH2, 3
    REG WH3, 3
    REG TMW, $07
    REG TM, $07
    REG INIDISP, $0F
    SCENE_END

; BG1 on the main screen adds the sub screen's BG2, which a window cuts
; out on the sub screen only.
sub_screen_window:
    MODE1_BASE
    REG W12SEL, $20
    REG WH0, 40
    REG WH1, 200
    REG TSW, $02
    REG TMW, $00
    REG TM, $01
    REG TS, $02
    REG CGWSEL, $02
    REG CGADSUB, $01
    REG INIDISP, $0F
    SCENE_END

; Colour math (half add of the fixed colour) only inside the colour window.
colour_window_region:
    MODE1_BASE
    REG WOBJSEL, $20
    REG WH0, 60
    REG WH1, 180
    REG CGWSEL, $10
    REG CGADSUB, $43
    REG COLDATA, $3F
    REG COLDATA, $45
    REG COLDATA, $8A
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

; Colour window from both windows with XOR, clipping to black outside it.
colour_window_xor_clip:
    MODE1_BASE
    REG WOBJSEL, $A0
    REG WOBJLOG, $08
    REG WH0, 30
    REG WH1, 150
    REG WH2, 100
    REG WH3, 220
    REG CGWSEL, $40
    REG CGADSUB, $00
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

; Mode 5: windows and the colour window work on 256-pixel positions.
mode5_windows:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $05
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG12NBA, $01
    REG16 BG1HOFS, 3
    REG16 BG2HOFS, 17
    REG W12SEL, $02
    REG WH0, 50
    REG WH1, 120
    REG WOBJSEL, $20
    REG CGWSEL, $10
    REG CGADSUB, $21
    REG COLDATA, $E8
    REG TMW, $01
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

; A window set up for BG1 but TMW left clear: nothing is hidden.
window_off_for_screen:
    MODE1_BASE
    REG W12SEL, $02
    REG WH0, 20
    REG WH1, 100
    REG TSW, $01
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

STANDARD_GRAPHICS_DATA
SCENE_PLAYER scenes, SCENE_COUNT, "VELTRANE WINDOWS"
