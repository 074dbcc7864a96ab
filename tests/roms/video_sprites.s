; Sprite scenes over a mode 1 BG1: a mixed set of sprites shown with each
; of the eight OBJSEL size pairs (flips, both name tables, the screen edges
; with negative X and X = 256, the wrap at the bottom of the 256-line
; space), more than 32 sprites on a line, more than 34 slivers on a line,
; the priority rotation, sprite interlace, colour math with every sprite
; palette, the name base and gap, and sprites in the 512-pixel mode 5.
.include "snes.inc"
.include "video_scene.inc"
.include "video_data.inc"

; VRAM (word addresses): BG1 map $0800, BG1 tiles $1000, sprite name
; tables at $4000 and $5000 (OBJSEL name base 2, gap 0). The second table
; holds the sheet from tile 18 on, so the two tables differ.
SPRITE_TABLE_0 = $4000
SPRITE_TABLE_1 = $5000
SHEET_SHIFT_1 = 18 * 32     ; bytes
SHEET_SHIFT_2 = 36 * 32

.macro BASE_SCENE objsel, oam
    VRAM_LOAD $0800, bg_map, 2048
    VRAM_LOAD $1000, bg_tiles, 64 * 32
    VRAM_LOAD SPRITE_TABLE_0, sprite_sheet, 8192
    VRAM_LOAD SPRITE_TABLE_1, sprite_sheet + SHEET_SHIFT_1, 8192
    CGRAM_LOAD 0, palette, 512
    OAM_LOAD oam
    REG OBJSEL, objsel
    REG BGMODE, $01
    REG BG1SC, $08
    REG BG12NBA, $01
    REG16 BG1HOFS, 5
    REG16 BG1VOFS, 3
.endmacro

.macro SIZE_SCENE code
    BASE_SCENE (code << 5) | $02, oam_mixed
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END
.endmacro

.segment "RODATA"
scenes:
    .word sizes0, sizes1, sizes2, sizes3, sizes4, sizes5, sizes6, sizes7
    .word crowd, slivers, rotation, interlace, math_fixed, math_sub, name_gap, wide
SCENE_COUNT = 16

sizes0: SIZE_SCENE 0
sizes1: SIZE_SCENE 1
sizes2: SIZE_SCENE 2
sizes3: SIZE_SCENE 3
sizes4: SIZE_SCENE 4
sizes5: SIZE_SCENE 5
sizes6: SIZE_SCENE 6
sizes7: SIZE_SCENE 7

; 40 sprites in range on lines 101-110: range over.
crowd:
    BASE_SCENE $02, oam_crowd
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END

; 22 sprites needing 41 slivers on lines 51-66: time over.
slivers:
    BASE_SCENE $82, oam_slivers
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END

; Evaluation starts at sprite 40 (OAMADDL $50 with OAMADDH bit 7).
rotation:
    BASE_SCENE $02, oam_rotation
    REG OAMADDH, $80
    REG OAMADDL, $50
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END

interlace:
    BASE_SCENE $62, oam_mixed
    REG SETINI, $02
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END

; Sprites add the fixed colour: palettes 4-7 blend, 0-3 never do.
math_fixed:
    BASE_SCENE $62, oam_palettes
    REG COLDATA, $E6            ; 6, 6, 6
    REG CGADSUB, $10
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END

; Sprites on the main screen, BG1 on the sub screen, halved addition.
math_sub:
    BASE_SCENE $62, oam_palettes
    REG CGWSEL, $02
    REG CGADSUB, $50
    REG TM, $10
    REG TS, $01
    REG INIDISP, $0F
    SCENE_END

; Name base 1 ($2000) with gap 2: the second table at $5000.
name_gap:
    BASE_SCENE $31, oam_mixed
    VRAM_LOAD $2000, sprite_sheet + SHEET_SHIFT_2, 8192
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END

wide:
    BASE_SCENE $02, oam_mixed
    REG BGMODE, $05
    REG TM, $11
    REG INIDISP, $0F
    SCENE_END

; ---------------------------------------------------------------------------
; OAM images

; A mix of sizes, flips, palettes, priorities and both name tables, at the
; edges of the screen and wrapping from the bottom of the 256-line space.
oam_mixed:
    OBJ_TABLE_BEGIN
    OBJ 20, 20, $00, $30, 0
    OBJ 28, 24, $02, $32, 1     ; overlaps sprite 0, which stays on top
    OBJ -4, 60, $04, $20, 0     ; right four pixels (of an 8-pixel sprite) on screen
    OBJ -9, 70, $06, $22, 0     ; first column off the screen
    OBJ -60, 80, $08, $24, 1
    OBJ 250, 90, $0A, $26, 0    ; cut by the right edge
    OBJ 256, 100, $0C, $28, 0   ; X = 256: in range, never shown
    OBJ 255, 110, $0E, $2A, 1
    OBJ 100, $F0, $0F, $3C, 1   ; wraps to the top; tile $0F runs on into $10
    OBJ 120, $F8, $10, $3E, 0
    OBJ 140, 216, $20, $10, 1   ; runs past the last line
    OBJ 60, 130, $30, $40, 1    ; horizontal flip
    OBJ 90, 130, $32, $80, 1    ; vertical flip
    OBJ 130, 130, $34, $C0, 1   ; both
    OBJ 170, 130, $36, $F1, 0   ; both, second name table
    OBJ 200, 150, $38, $01, 1   ; second name table
    OBJ 30, 170, $40, $1E, 1
    OBJ 34, 172, $42, $0C, 0
    OBJ 160, 40, $50, $2C, 1
    OBJ 168, 44, $52, $1A, 0
    OBJ 180, 46, $54, $08, 1
    OBJ 5, 190, $60, $36, 1
    OBJ 70, 190, $62, $04, 0
    OBJ 210, 10, $70, $12, 1
    OBJ 222, 60, $7F, $21, 1
    OBJ 110, 100, $FF, $34, 1   ; the last tile of the table runs on past it
    OBJ 0, 0, $11, $30, 0       ; row 0 shows on line 1
    OBJ 240, 200, $21, $3E, 1
    OBJ_TABLE_END

; Four sprites at X = 256 (in range, not shown) and 36 more on lines
; 101-110, overlapping by one pixel: the last 8 found are dropped.
oam_crowd:
    OBJ_TABLE_BEGIN
    .repeat 4, i
        OBJ 256, 100, i, $30, 0
    .endrepeat
    .repeat 36, i
        OBJ i * 7, 100 + (i & 3), i + 4, ((i & 7) << 1) | ((i & 3) << 4), 0
    .endrepeat
    ; 32 sprites of another band: exactly the limit.
    .repeat 32, i
        OBJ i * 8, 160, i * 3, ((i & 7) << 1) | $20, 0
    .endrepeat
    OBJ_TABLE_END

; OBJSEL $82: 16 and 64 pixels. A 64-pixel sprite with only its last
; column on screen (one sliver), a 16-pixel sprite with only its second
; column on screen, and 20 more 16-pixel sprites: 41 slivers wanted.
oam_slivers:
    OBJ_TABLE_BEGIN
    OBJ -56, 50, $00, $30, 1
    OBJ -9, 50, $02, $32, 0
    .repeat 20, i
        OBJ 10 + i * 11, 52 + (i & 3), i * 2, ((i & 7) << 1) | ((i & 3) << 4), 0
    .endrepeat
    ; A column at X = -8 is off the screen too: costs nothing.
    OBJ -8, 120, $10, $30, 0
    OBJ_TABLE_END

; Sprites 36-47 overlap on lines 31-38; sprites 0-35 and 48-55 crowd
; lines 121-128. Starting the walk at sprite 40 changes both the stacking
; and which sprites the limit of 32 drops.
oam_rotation:
    OBJ_TABLE_BEGIN
    .repeat 36, i
        OBJ i * 7, 120, i, (i & 7) << 1, 0
    .endrepeat
    .repeat 12, i
        OBJ 100 + i * 4, 30, $40 + i, ((i & 7) << 1) | $30, 0
    .endrepeat
    .repeat 8, i
        OBJ 3 + i * 31, 120, $60 + i, $0E, 0
    .endrepeat
    OBJ_TABLE_END

; One 32-pixel sprite per palette over BG1, with every priority.
oam_palettes:
    OBJ_TABLE_BEGIN
    .repeat 8, i
        OBJ 8 + i * 30, 40 + i * 12, i * 4, (i << 1) | ((i & 3) << 4), 1
    .endrepeat
    .repeat 8, i
        OBJ 8 + i * 30, 140, $80 + i * 4, (i << 1) | $30, 1
    .endrepeat
    OBJ_TABLE_END

; ---------------------------------------------------------------------------
; Graphics

; The top-left 32 x 32 screen of the shared 64 x 64 map.
bg_map:
    .repeat 32, row
        .repeat 32, column
            MAP_ENTRY column, row
        .endrepeat
    .endrepeat
bg_tiles: TILES 4, 64
sprite_sheet: SPRITE_SHEET
palette: PALETTE

SCENE_PLAYER scenes, SCENE_COUNT, "VELTRANE SPRITES"
