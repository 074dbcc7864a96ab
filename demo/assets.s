; The graphics and tables made at build time by demo-assets, placed in
; ROM banks 1-3, with the sizes that vary with the artwork.
.include "demo.inc"

.macro ASSET name, file
    name: .incbin file
    .ident(.concat(.string(name), "_size")) = * - name
.endmacro

.segment "BANK1"
ASSET sprite_tiles, "sprites_4bpp.bin"
ASSET sprite_palettes, "sprites_pal.bin"
ASSET font_tiles, "font_2bpp.bin"
ASSET title_tiles, "title_tiles.bin"
ASSET title_logo_map, "title_logo_map.bin"
ASSET title_pattern_map, "title_pattern_map.bin"
ASSET title_palette, "title_pal.bin"
ASSET title_fixed_hdma, "title_fixed_hdma.bin"
ASSET parallax_palette, "parallax_pal.bin"
ASSET sky_hdma, "sky_hdma.bin"
ASSET sine_table, "sine.bin"
ASSET circle_table, "circle.bin"
ASSET plane_palette, "plane_pal.bin"
ASSET plane_tiles, "plane_tiles.bin"
ASSET plane_matrix, "plane_matrix.bin"

.segment "BANK2"
ASSET near_tiles, "near_tiles.bin"
ASSET far_tiles, "far_tiles.bin"
ASSET cloud_tiles, "cloud_tiles.bin"
ASSET near_map, "near_map.bin"
ASSET far_map, "far_map.bin"
ASSET cloud_map, "cloud_map.bin"

.segment "BANK3"
ASSET plane_map, "plane_map.bin"
