; Parallax scene (mode 1): near hills on BG1, mountains on BG2 and clouds
; on BG3 scroll at three speeds over a sky that HDMA paints line by line
; into colour 0. Night falls: the fixed colour is subtracted everywhere
; outside a round spotlight, a window whose edges HDMA sets per line
; around the ship. The ship (joypad, or the autopilot when nobody plays)
; catches eight floating orbs; a full round's time is offered to the
; record in battery RAM. Birds fly by behind the mountains.
.include "snes.inc"
.include "demo.inc"

SPOT_RADIUS = 40
PLAYER_MIN_X = 8
PLAYER_MAX_X = 232
PLAYER_MIN_Y = SPOT_RADIUS - 8  ; the spotlight never starts above the picture
PLAYER_MAX_Y = 150
PLAYER_SPEED = 2
CATCH_DISTANCE = 12
NIGHT_DARKNESS = 8          ; fixed colour subtracted outside the spotlight

.segment "ZEROPAGE"
player_x:   .res 1
player_y:   .res 1
autopilot:  .res 1          ; non-zero until the joypad is touched
collected:  .res 1          ; a bit per orb caught this round
round_time: .res 2
orb_x:      .res 8
orb_y:      .res 8

.segment "CODE"
.a8
.i16

.proc parallax_enter
    lda #$01                ; mode 1
    sta BGMODE
    lda #>VRAM_NEAR_MAP | 1 ; 64 x 32 maps
    sta BG1SC
    lda #>VRAM_FAR_MAP | 1
    sta BG2SC
    lda #>VRAM_CLOUD_MAP | 1
    sta BG3SC
    lda #(>VRAM_FAR_TILES & $F0) | (>VRAM_NEAR_TILES >> 4)
    sta BG12NBA
    lda #>VRAM_CLOUD_TILES >> 4
    sta BG34NBA
    LOAD_VRAM VRAM_NEAR_TILES, near_tiles, near_tiles_size
    LOAD_VRAM VRAM_FAR_TILES, far_tiles, far_tiles_size
    LOAD_VRAM VRAM_CLOUD_TILES, cloud_tiles, cloud_tiles_size
    LOAD_VRAM VRAM_NEAR_MAP, near_map, 4096
    LOAD_VRAM VRAM_FAR_MAP, far_map, 4096
    LOAD_VRAM VRAM_CLOUD_MAP, cloud_map, 4096
    LOAD_CGRAM 0, parallax_palette, 128

    lda #$17                ; BG1, BG2, BG3 and sprites
    sta TM
    lda #$20                ; the colour window is window 1
    sta WOBJSEL
    lda #$20                ; colour math only outside the colour window
    sta CGWSEL
    lda #$A7                ; subtract from BG1-BG3 and the backdrop
    sta CGADSUB
    SET_HDMA 1, $03, <CGADD, sky_hdma
    SET_HDMA 2, $01, <WH0, HDMA_BUFFER_A
    lda #$06
    sta hdmaen_shadow

    ldx #32
    stx bg1vofs
    ldx #24
    stx bg2vofs
    lda #120
    sta player_x
    lda #100
    sta player_y
    lda #1
    sta autopilot
    stz collected
    ldx #0
    stx round_time
    jsr place_orbs
    jsr build_spotlight
    jmp swap_hdma_buffers
.endproc

.proc parallax_update
    rep #$20
    .a16
    lda scene_timer
    sta bg1hofs
    lsr
    sta bg2hofs
    lsr
    sta bg3hofs
    inc round_time
    lda scene_timer         ; night falls over the first 96 frames
    lsr
    lsr
    lsr
    cmp #NIGHT_DARKNESS
    bcc :+
    lda #NIGHT_DARKNESS
:   sep #$20
    .a8
    ora #$E0                ; all three components
    sta coldata_shadow

    jsr place_orbs
    jsr move_player
    jsr catch_orbs
    jsr build_spotlight
    jsr swap_hdma_buffers

    jsr clear_oam_shadow
    jsr draw_hud
    jsr draw_ship
    jsr draw_orbs
    jmp draw_birds
.endproc

; Orb k floats around its home: x +-15, y +-7.
.proc place_orbs
    ldx #0
orb:
    ; x: home + sine(time x 2 + k x 32) / 8
    txa
    asl
    asl
    asl
    asl
    asl
    sta tmp0                ; k x 32
    lda scene_timer
    asl
    clc
    adc tmp0
    jsr sine_of_a
    cmp #$80
    ror
    cmp #$80
    ror
    cmp #$80
    ror
    clc
    adc orb_home_x,x
    sta orb_x,x
    ; y: home + sine(time x 3 + k x 32 + 64) / 16
    lda scene_timer
    asl
    clc
    adc scene_timer
    clc
    adc tmp0
    clc
    adc #64
    jsr sine_of_a
    cmp #$80
    ror
    cmp #$80
    ror
    cmp #$80
    ror
    cmp #$80
    ror
    clc
    adc orb_home_y,x
    sta orb_y,x
    inx
    cpx #8
    bne orb
    rts
.endproc

; A = sine table entry A (-127..127); X is kept.
.proc sine_of_a
    phx
    rep #$20
    .a16
    and #$00FF
    tax
    sep #$20
    .a8
    lda f:sine_table,x
    plx
    rts
.endproc

.proc move_player
    rep #$20
    .a16
    lda joy_now
    and #JOY_DPAD
    sep #$20
    .a8
    beq :+
    stz autopilot           ; someone plays
:   lda autopilot
    bne steer

    ; The joypad (high byte: up $08, down $04, left $02, right $01).
    lda joy_now + 1
    bit #$08
    beq :+
    dec player_y
    dec player_y
:   bit #$04
    beq :+
    inc player_y
    inc player_y
:   bit #$02
    beq :+
    dec player_x
    dec player_x
:   bit #$01
    beq clamp
    inc player_x
    inc player_x
    bra clamp

    ; The autopilot heads for the first orb not yet caught.
steer:
    ldx #0
    lda collected
find:
    lsr
    bcc found
    inx
    cpx #8
    bne find
    bra clamp
found:
    lda player_x
    cmp orb_x,x
    beq vertical
    bcs go_left
    inc player_x
    inc player_x
    bra vertical
go_left:
    dec player_x
    dec player_x
vertical:
    lda player_y
    cmp orb_y,x
    beq clamp
    bcs go_up
    inc player_y
    inc player_y
    bra clamp
go_up:
    dec player_y
    dec player_y

clamp:
    lda player_x
    cmp #PLAYER_MIN_X
    bcs :+
    lda #PLAYER_MIN_X
:   cmp #PLAYER_MAX_X + 1
    bcc :+
    lda #PLAYER_MAX_X
:   sta player_x
    lda player_y
    cmp #PLAYER_MIN_Y
    bcs :+
    lda #PLAYER_MIN_Y
:   cmp #PLAYER_MAX_Y + 1
    bcc :+
    lda #PLAYER_MAX_Y
:   sta player_y
    rts
.endproc

; Catches every orb within reach; a chime for each, and a round's end when
; all eight are in.
.proc catch_orbs
    ldx #0
orb:
    lda collected
    and bit_of,x
    bne next
    lda player_x
    sec
    sbc orb_x,x
    bcs :+
    eor #$FF
    inc a
:   cmp #CATCH_DISTANCE
    bcs next
    lda player_y
    sec
    sbc orb_y,x
    bcs :+
    eor #$FF
    inc a
:   cmp #CATCH_DISTANCE
    bcs next
    lda collected
    ora bit_of,x
    sta collected
    phx
    jsr audio_sound_effect
    plx
next:
    inx
    cpx #8
    bne orb
    lda collected
    cmp #$FF
    bne done
    ldx round_time
    stx tmp0
    jsr record_offer_time
    stz collected
    ldx #0
    stx round_time
done:
    rts
.endproc

; The window table in the back buffer: empty above, the circle's left and
; right edge on each of its rows, empty below.
.proc build_spotlight
    ldy hdma_back
    lda player_y
    sec
    sbc #SPOT_RADIUS - 8    ; first row of the circle
    beq circle
    sta a:0,y               ; rows above: one entry, held
    lda #$FF
    sta a:1,y
    lda #$00
    sta a:2,y
    iny
    iny
    iny
circle:
    lda #$80 | (SPOT_RADIUS * 2 + 1)
    sta a:0,y
    iny
    lda player_x
    clc
    adc #8
    sta tmp0                ; centre
    ldx #0
row:
    txa                     ; distance from the centre row
    sec
    sbc #SPOT_RADIUS
    bcs :+
    eor #$FF
    inc a
:   phx
    rep #$20
    .a16
    and #$00FF
    tax
    sep #$20
    .a8
    lda f:circle_table,x
    plx
    sta tmp1                ; half width
    lda tmp0
    sec
    sbc tmp1
    bcs :+
    lda #0
:   sta a:0,y
    lda tmp0
    clc
    adc tmp1
    bcc :+
    lda #$FF
:   sta a:1,y
    iny
    iny
    inx
    cpx #SPOT_RADIUS * 2 + 1
    bne row
    lda #1                  ; below: empty
    sta a:0,y
    lda #$FF
    sta a:1,y
    lda #$00
    sta a:2,y
    sta a:3,y               ; end of the table
    rts
.endproc

; "TIME SS.HH" and "ORBS n" at the top.
.proc draw_hud
    ldx #8
    stx spr_x
    lda #8
    sta spr_y
    lda #ATTR_TEXT
    sta spr_attr
    ldx #text_time
    jsr add_text_sprites
    ldx round_time
    stx tmp0
    jsr format_time
    jsr add_text_sprites
    ldx #176
    stx spr_x
    ldx #text_orbs
    jsr add_text_sprites
    ; orbs left: the clear bits of `collected`
    lda collected
    ldx #8
    ldy #0
count:
    lsr
    bcs :+
    iny
:   dex
    bne count
    tya
    clc
    adc #'0' - 32
    sta spr_tile
    jmp add_sprite
.endproc

.proc draw_ship
    lda player_x
    sta spr_x
    stz spr_x + 1
    lda player_y
    sta spr_y
    lda scene_timer         ; the flame flickers
    and #$04
    lsr
    clc
    adc #TILE_SHIP
    sta spr_tile
    lda #ATTR_SHIP
    sta spr_attr
    lda #2
    sta spr_large
    jmp add_sprite
.endproc

.proc draw_orbs
    ldx #0
orb:
    lda collected
    and bit_of,x
    bne next
    phx
    lda orb_x,x
    sta spr_x
    stz spr_x + 1
    lda orb_y,x
    sta spr_y
    txa                     ; each orb turns on its own phase
    clc
    adc scene_timer
    lsr
    lsr
    and #$06
    clc
    adc #TILE_ORB
    sta spr_tile
    txa                     ; blue and pink in turn
    and #$01
    asl
    ora #ATTR_ORB
    sta spr_attr
    lda #2
    sta spr_large
    jsr add_sprite
    plx
next:
    inx
    cpx #8
    bne orb
    rts
.endproc

; Three birds fly right to left, each on a 512-pixel loop of which 288
; pixels cross the picture.
.proc draw_birds
    ldx #0
bird:
    stx tmp2                ; bird number
    rep #$20
    .a16
    txa
    asl
    tax
    lda bird_start,x
    sec
    sbc scene_timer
    and #$01FF
    cmp #288
    bcs next
    sec
    sbc #32
    sta spr_x
    sep #$20
    .a8
    ; y: the bird's height + sine(time x 4 + bird x 64) / 16
    lda tmp2
    asl
    asl
    asl
    asl
    asl
    asl
    sta tmp1
    lda scene_timer
    asl
    asl
    clc
    adc tmp1
    ldx tmp2
    jsr sine_of_a
    cmp #$80
    ror
    cmp #$80
    ror
    cmp #$80
    ror
    cmp #$80
    ror
    clc
    adc bird_y,x
    sta spr_y
    lda scene_timer         ; wings up and down
    and #$08
    lsr
    lsr
    clc
    adc #TILE_BIRD
    sta spr_tile
    lda #ATTR_BIRD
    sta spr_attr
    lda #2
    sta spr_large
    jsr add_sprite
next:
    sep #$20
    .a8
    ldx tmp2
    inx
    cpx #3
    bne bird
    rts
.endproc

.segment "RODATA"
text_time: .byte "TIME ", 0
text_orbs: .byte "ORBS ", 0
bit_of:    .byte $01, $02, $04, $08, $10, $20, $40, $80
orb_home_x: .byte 28, 196, 60, 172, 112, 210, 30, 120
orb_home_y: .byte 40, 44, 116, 110, 60, 140, 140, 132
bird_start: .word 40, 200, 360
bird_y:     .byte 40, 58, 30
