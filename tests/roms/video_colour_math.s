; Colour math scenes: add and subtract, whole and halved, with the fixed
; colour or the sub screen; the sub-screen backdrop; the four clip modes and
; math regions; brightness and forced blank.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

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
    ; fixed colour: red 31, green 5, blue 10
    REG COLDATA, $3F
    REG COLDATA, $45
    REG COLDATA, $8A
.endmacro

; Fixed-colour math on BG1 and the backdrop with CGADSUB `op`.
.macro FIXED_MATH op
    MODE1_BASE
    REG CGADSUB, op
    REG TM, $01
    REG INIDISP, $0F
    SCENE_END
.endmacro

; BG1 and BG2 on the main screen blended with BG3 on the sub screen.
.macro SUB_MATH op
    MODE1_BASE
    REG CGWSEL, $02
    REG CGADSUB, op
    REG TM, $03
    REG TS, $04
    REG INIDISP, $0F
    SCENE_END
.endmacro

; Colour window over 60..180; CGWSEL `select`, fixed or sub-screen math.
.macro WINDOWED select, op
    MODE1_BASE
    REG WOBJSEL, $20
    REG WH0, 60
    REG WH1, 180
    REG CGWSEL, select
    REG CGADSUB, op
    REG TM, $03
    REG TS, $04
    REG INIDISP, $0F
    SCENE_END
.endmacro

.segment "RODATA"
scenes:
    .word fixed_add, fixed_sub, fixed_add_half, fixed_sub_half
    .word sub_add, sub_add_half, sub_sub, sub_sub_half
    .word sub_backdrop_only, clip1, clip2_sub, clip3_sub, clip3_fixed, region2, region3
    .word brightness7, brightness0, forced_blank, bright_no_blank_bit
SCENE_COUNT = 19

fixed_add:      FIXED_MATH $21
fixed_sub:      FIXED_MATH $A1
fixed_add_half: FIXED_MATH $61
fixed_sub_half: FIXED_MATH $E1
sub_add:        SUB_MATH $03
sub_add_half:   SUB_MATH $43
sub_sub:        SUB_MATH $83
sub_sub_half:   SUB_MATH $C3

; Sub-screen math with nothing on the sub screen: the fixed colour, unhalved.
sub_backdrop_only:
    MODE1_BASE
    REG CGWSEL, $02
    REG CGADSUB, $43
    REG TM, $03
    REG TS, $00
    REG INIDISP, $0F
    SCENE_END

clip1:       WINDOWED $40, $23
clip2_sub:   WINDOWED $82, $03
clip3_sub:   WINDOWED $C2, $03
clip3_fixed: WINDOWED $C0, $03
region2:     WINDOWED $20, $23
region3:     WINDOWED $30, $23

brightness7:
    MODE1_BASE
    REG TM, $03
    REG INIDISP, $07
    SCENE_END

brightness0:
    MODE1_BASE
    REG TM, $03
    REG INIDISP, $0F
    REG INIDISP, $00
    SCENE_END

forced_blank:
    MODE1_BASE
    REG TM, $03
    REG INIDISP, $8F
    SCENE_END

; Brightness 0 through the normal renderer (bits 4-6 are unused).
bright_no_blank_bit:
    MODE1_BASE
    REG TM, $03
    REG INIDISP, $70
    SCENE_END

STANDARD_GRAPHICS_DATA
SCENE_PLAYER scenes, SCENE_COUNT, "VELTRANE COLOUR MATH"
