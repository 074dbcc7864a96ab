; Background scenes: every BG mode and depth, 16-pixel tiles, the four
; tilemap sizes with scrolling, mosaic, offset per tile, the 512-pixel modes
; with interlace, pseudo hi-res and direct colour. The test picks a scene and
; compares the picture with its own reference computation.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

; Distinct scroll values per layer, with fine offsets.
.macro SCROLLS
    REG16 BG1HOFS, 3
    REG16 BG1VOFS, 5
    REG16 BG2HOFS, 17
    REG16 BG2VOFS, 250
    REG16 BG3HOFS, 300
    REG16 BG3VOFS, 77
    REG16 BG4HOFS, 1000
    REG16 BG4VOFS, 513
.endmacro

; Each layer reads its own 32x32 screen of the shared 64x64 map.
.macro OWN_MAPS
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG3SC, $68
    REG BG4SC, $6C
.endmacro

.segment "RODATA"
scenes:
    .word mode0, mode1, mode1_bg3_front, mode2, mode3, mode3_direct, mode4, mode5
    .word mode6, tiles16, map_sizes, mosaic, mode5_interlace, pseudo_hires, mode2_tiles16, mode4_tiles16
    .word pseudo_hires_mode3
SCENE_COUNT = 17

mode0:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $00
    OWN_MAPS
    REG BG12NBA, $00
    REG BG34NBA, $00
    SCROLLS
    REG TM, $0F
    REG INIDISP, $0F
    SCENE_END

mode1:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $01
    OWN_MAPS
    REG BG12NBA, $11
    REG BG34NBA, $00
    SCROLLS
    REG TM, $07
    REG INIDISP, $0F
    SCENE_END

mode1_bg3_front:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $09
    OWN_MAPS
    REG BG12NBA, $11
    REG BG34NBA, $00
    SCROLLS
    REG TM, $07
    REG INIDISP, $0F
    SCENE_END

mode2:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $02
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG3SC, $74
    REG BG12NBA, $11
    SCROLLS
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

mode3:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $03
    OWN_MAPS
    REG BG12NBA, $12
    SCROLLS
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

mode3_direct:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $03
    OWN_MAPS
    REG BG12NBA, $12
    SCROLLS
    REG CGWSEL, $01
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

mode4:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $04
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG3SC, $74
    REG BG12NBA, $02
    SCROLLS
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

mode5:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $05
    OWN_MAPS
    REG BG12NBA, $01
    SCROLLS
    REG TM, $03
    REG TS, $03
    REG INIDISP, $0F
    SCENE_END

mode6:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $06
    OWN_MAPS
    REG BG12NBA, $01
    SCROLLS
    REG TM, $01
    REG TS, $01
    REG INIDISP, $0F
    SCENE_END

tiles16:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $71
    OWN_MAPS
    REG BG12NBA, $11
    REG BG34NBA, $00
    SCROLLS
    REG TM, $07
    REG INIDISP, $0F
    SCENE_END

map_sizes:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $00
    REG BG1SC, $63
    REG BG2SC, $61
    REG BG3SC, $62
    REG BG4SC, $60
    SCROLLS
    REG TM, $0F
    REG INIDISP, $0F
    SCENE_END

mosaic:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $01
    OWN_MAPS
    REG BG12NBA, $11
    SCROLLS
    REG MOSAIC, $35
    REG TM, $07
    REG INIDISP, $0F
    SCENE_END

mode5_interlace:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $05
    OWN_MAPS
    REG BG12NBA, $01
    SCROLLS
    REG SETINI, $01
    REG TM, $03
    REG TS, $01
    REG INIDISP, $0F
    SCENE_END

pseudo_hires:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $01
    OWN_MAPS
    REG BG12NBA, $11
    SCROLLS
    REG SETINI, $08
    REG TM, $01
    REG TS, $06
    REG INIDISP, $0F
    SCENE_END

mode2_tiles16:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $32
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG3SC, $74
    REG BG12NBA, $11
    SCROLLS
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

mode4_tiles16:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $34
    REG BG1SC, $60
    REG BG2SC, $64
    REG BG3SC, $74
    REG BG12NBA, $02
    SCROLLS
    REG TM, $03
    REG INIDISP, $0F
    SCENE_END

; Pseudo hi-res is not limited to modes 0 and 1.
pseudo_hires_mode3:
    LOAD_STANDARD_GRAPHICS
    REG BGMODE, $03
    OWN_MAPS
    REG BG12NBA, $12
    SCROLLS
    REG SETINI, $08
    REG TM, $01
    REG TS, $02
    REG INIDISP, $0F
    SCENE_END

STANDARD_GRAPHICS_DATA
SCENE_PLAYER scenes, SCENE_COUNT, "VELTRANE VIDEO BG"
