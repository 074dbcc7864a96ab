; Title scene (mode 1): the logo on BG1 waving through an HDMA table of
; per-line scroll values, a diagonal pattern on BG2 with a fixed-colour
; gradient added to it line by line (HDMA on COLDATA), text on BG3 in
; front of everything, twinkling star sprites, and the record from
; battery RAM.
.include "snes.inc"
.include "demo.inc"

LOGO_FIRST_ROW = 14         ; picture rows where the logo lies
LOGO_ROWS      = 50

.segment "CODE"
.a8
.i16

.proc title_enter
    lda #$09                ; mode 1, BG3 in front
    sta BGMODE
    lda #>VRAM_LOGO_MAP
    sta BG1SC
    lda #>VRAM_PATTERN_MAP
    sta BG2SC
    lda #>VRAM_TEXT_MAP
    sta BG3SC
    lda #$00                ; BG1 and BG2 tiles at $0000
    sta BG12NBA
    lda #>VRAM_TEXT_TILES >> 4
    sta BG34NBA
    LOAD_VRAM $0000, title_tiles, title_tiles_size
    LOAD_VRAM VRAM_LOGO_MAP, title_logo_map, 2048
    LOAD_VRAM VRAM_PATTERN_MAP, title_pattern_map, 2048
    LOAD_VRAM VRAM_TEXT_TILES, font_tiles, 1024
    jsr clear_text_map
    LOAD_CGRAM 0, title_palette, 128

    ; The text, palette 0 (white) or 1 (yellow), in front (priority).
    ldx #0
line:
    lda title_lines + 4,x   ; high byte of the entries
    beq record
    phx
    ldy title_lines,x       ; VRAM address
    pha
    rep #$20
    .a16
    lda title_lines + 2,x   ; text
    tax
    sep #$20
    .a8
    pla
    jsr print_text
    plx
    inx
    inx
    inx
    inx
    inx
    bra line
record:
    jsr print_record

    lda #$17                ; BG1, BG2, BG3 and sprites
    sta TM
    lda #$22                ; add the fixed colour to BG2 and the backdrop
    sta CGADSUB
    lda #$43                ; fixed green 3; red and blue come from HDMA
    sta coldata_shadow
    SET_HDMA 1, $02, <COLDATA, title_fixed_hdma
    SET_HDMA 2, $02, <BG1HOFS, HDMA_BUFFER_A
    jsr build_wave
    jsr swap_hdma_buffers
    lda #$06
    sta hdmaen_shadow
    rts
.endproc

; "PLAYS nnnn   BEST ss.hh" from the record, in yellow.
.proc print_record
    ldx #text_plays
    ldy #VRAM_TEXT_MAP + 18 * 32 + 5
    lda #$24
    jsr print_text
    ldx record_plays
    stx tmp0
    jsr format_number
    ldy #VRAM_TEXT_MAP + 18 * 32 + 11
    lda #$24
    jsr print_text
    ldx #text_best
    ldy #VRAM_TEXT_MAP + 18 * 32 + 17
    lda #$24
    jsr print_text
    ldx record_best
    stx tmp0
    jsr format_time
    ldy #VRAM_TEXT_MAP + 18 * 32 + 22
    lda #$24
    jmp print_text
.endproc

; BG3's map to spaces (tile 0).
.proc clear_text_map
    lda #$80
    sta VMAIN
    ldx #VRAM_TEXT_MAP
    stx VMADDL
    ldx #$1809              ; mode 1 with a fixed A address, B bus $2118
    stx DMAP0
    ldx #.loword(zero_word)
    stx A1T0L
    lda #^zero_word
    sta A1B0
    ldx #2048
    stx DAS0L
    lda #$01
    sta MDMAEN
    rts
.endproc

.proc title_update
    ; The pattern drifts diagonally.
    rep #$20
    .a16
    inc bg2hofs
    lda scene_timer
    lsr
    sta bg2vofs
    sep #$20
    .a8
    jsr build_wave
    jsr swap_hdma_buffers

    jsr clear_oam_shadow
    ; Stars, each on its own phase of the twinkle.
    ldx #0
star:
    phx
    lda stars,x
    sta spr_x
    stz spr_x + 1
    lda stars + 1,x
    sta spr_y
    txa
    clc
    adc scene_timer
    lsr
    lsr
    lsr
    and #$03
    clc
    adc #TILE_STAR
    sta spr_tile
    lda #ATTR_STAR
    sta spr_attr
    stz spr_large
    jsr add_sprite
    plx
    inx
    inx
    cpx #stars_end - stars
    bne star

    ; "PRESS START", shown two thirds of the time.
    lda scene_timer
    and #$30
    cmp #$30
    beq done
    ldx #76
    stx spr_x
    lda #118
    sta spr_y
    lda #ATTR_YELLOW
    sta spr_attr
    ldx #text_press_start
    jsr add_text_sprites
done:
    rts
.endproc

; The logo's per-line scroll table in the back buffer: no offset above and
; below the logo, a sine wave that moves with time across it.
.proc build_wave
    ldy hdma_back
    lda #LOGO_FIRST_ROW     ; the rows above: one entry, held
    sta a:0,y
    lda #0
    sta a:1,y
    sta a:2,y
    lda #$80 | LOGO_ROWS    ; one value per row
    sta a:3,y
    iny
    iny
    iny
    iny
    ldx #0
row:
    ; phase = row * 4 + time * 3
    txa
    asl
    asl
    sta tmp0
    lda scene_timer
    asl
    clc
    adc scene_timer
    clc
    adc tmp0
    phx
    rep #$20
    .a16
    and #$00FF
    tax
    sep #$20
    .a8
    lda f:sine_table,x      ; -127..127 -> -7..7
    plx
    cmp #$80
    ror
    cmp #$80
    ror
    cmp #$80
    ror
    cmp #$80
    ror
    sta a:0,y
    cmp #$80                ; high byte: the sign
    lda #0
    bcc :+
    lda #$FF
:   sta a:1,y
    iny
    iny
    inx
    cpx #LOGO_ROWS
    bne row
    lda #1                  ; below the logo: no offset
    sta a:0,y
    lda #0
    sta a:1,y
    sta a:2,y
    sta a:3,y               ; end of the table
    rts
.endproc

.segment "RODATA"
; Title text: VRAM address, text, entry high byte (0 ends the list).
title_lines:
    .word VRAM_TEXT_MAP + 9 * 32 + 5, text_subtitle
    .byte $20
    .word VRAM_TEXT_MAP + 10 * 32 + 10, text_subtitle2
    .byte $20
    .word VRAM_TEXT_MAP + 22 * 32 + 3, text_scenes
    .byte $20
    .word VRAM_TEXT_MAP + 24 * 32 + 4, text_controls
    .byte $20
    .word VRAM_TEXT_MAP + 26 * 32 + 9, text_made
    .byte $24
    .word 0, 0
    .byte 0

text_subtitle:    .byte "SUPER NINTENDO EMULATOR", 0
text_subtitle2:   .byte "AND DEBUGGER", 0
text_scenes:      .byte "MODE 1 HDMA WINDOWS MODE 7", 0
text_controls:    .byte "D-PAD MOVES  START SKIPS", 0
text_made:        .byte "BUILT-IN DEMO", 0
text_plays:       .byte "PLAYS", 0
text_best:        .byte "BEST", 0
text_press_start: .byte "PRESS START", 0

; Star positions (x, y).
stars:
    .byte 18, 20, 230, 14, 40, 84, 210, 90, 12, 130, 236, 124
    .byte 60, 188, 196, 196, 120, 104, 150, 8, 96, 6, 176, 170
stars_end:
