; The demo cartridge: start-up, the frame loop, the V-blank handler and the
; scene cycle. Each frame the main loop waits for V-blank, reads the
; joypad, advances the scene (fades, switching, the scene's own update,
; which fills the shadow registers and the sprite table) and marks the
; frame ready; the next V-blank copies the shadows into the PPU.
.include "snes.inc"
.include "demo.inc"

; Frames each scene shows between its fades when nobody presses Start.
TITLE_FRAMES    = 480
PARALLAX_FRAMES = 900
MODE7_FRAMES    = 600

.segment "ZEROPAGE"
nmi_count:      .res 1
frame_ready:    .res 1      ; the shadows are complete: V-blank may copy them
joy_now:        .res 2
joy_pressed:    .res 2      ; buttons that went down this frame
scene:          .res 1
scene_phase:    .res 1
brightness:     .res 1
scene_timer:    .res 2      ; frames since the scene finished fading in
inidisp_shadow: .res 1
hdmaen_shadow:  .res 1
coldata_shadow: .res 1
bg1hofs:        .res 2
bg1vofs:        .res 2
bg2hofs:        .res 2
bg2vofs:        .res 2
bg3hofs:        .res 2
bg3vofs:        .res 2
m7a:            .res 2
m7b:            .res 2
m7c:            .res 2
m7d:            .res 2
hdma_front:     .res 2      ; table channel 2 reads this frame
hdma_back:      .res 2      ; table being built for the next frame
oam_index:      .res 2
spr_x:          .res 2
spr_y:          .res 1
spr_tile:       .res 1
spr_attr:       .res 1
spr_large:      .res 1
tmp0:           .res 2
tmp1:           .res 2
tmp2:           .res 2
tmp3:           .res 2
record_plays:   .res 2
record_best:    .res 2

.segment "BSS"
oam_shadow:     .res 544

.segment "CODE"
.a8
.i16

reset:
    sei
    clc
    xce
    rep #$38                ; binary arithmetic, 16-bit A and index
    .a16
    ldx #$1FFF
    txs
    lda #$0000
    tcd
    sep #$20
    .a8
    phk
    plb
    lda #$80
    sta INIDISP
    stz NMITIMEN
    stz HDMAEN
    jsr clear_work_ram
    jsr clear_video_memory
    jsr record_boot
    jsr audio_start
    LOAD_VRAM VRAM_OBJ, sprite_tiles, 4096
    LOAD_CGRAM 128, sprite_palettes, 256
    lda #$03                ; 8 and 16 pixel sprites, tiles at $6000
    sta OBJSEL
    lda #SCENE_TITLE
    sta scene
    jsr enter_scene
    lda #$81                ; NMI and the automatic joypad read
    sta NMITIMEN
    cli

main_loop:
    jsr wait_for_vblank
    jsr read_joypad
    jsr step_scene
    lda #1
    sta frame_ready
    bra main_loop

; Sleeps until the V-blank handler has run.
.proc wait_for_vblank
    lda nmi_count
    sta tmp0
:   wai
    lda nmi_count
    cmp tmp0
    beq :-
    rts
.endproc

.proc read_joypad
:   lda HVBJOY              ; wait for the automatic read to finish
    and #$01
    bne :-
    rep #$20
    .a16
    lda joy_now
    eor #$FFFF
    and JOY1L
    sta joy_pressed
    lda JOY1L
    sta joy_now
    sep #$20
    .a8
    rts
.endproc

; Fades, the scene's own update and the switch to the next scene.
.proc step_scene
    lda scene_phase
    cmp #PHASE_SHOW
    beq show
    cmp #PHASE_FADE_IN
    beq fade_in
    ; Fading out: at black, the next scene starts.
    lda brightness
    beq next_scene
    dec brightness
    bra update
fade_in:
    lda brightness
    cmp #15
    bcs shown
    inc brightness
    bra update
shown:
    lda #PHASE_SHOW
    sta scene_phase
    bra update
show:
    rep #$20
    .a16
    inc scene_timer
    lda joy_pressed
    and #JOY_START
    bne leave
    lda scene
    and #$00FF
    asl
    tax
    lda scene_timer
    cmp scene_frames,x
    sep #$20
    .a8
    bcc update
    bra start_fade_out
leave:
    sep #$20
start_fade_out:
    lda #PHASE_FADE_OUT
    sta scene_phase
update:
    lda brightness
    sta inidisp_shadow
    rep #$20
    .a16
    lda scene
    and #$00FF
    asl
    tax
    sep #$20
    .a8
    jsr (scene_updates,x)
    rts
next_scene:
    lda scene
    inc a
    cmp #SCENE_COUNT
    bcc :+
    lda #SCENE_TITLE
:   sta scene
    jsr enter_scene
    rts
.endproc

scene_frames:  .word TITLE_FRAMES, PARALLAX_FRAMES, MODE7_FRAMES
scene_updates: .addr title_update, parallax_update, mode7_update
scene_entries: .addr title_enter, parallax_enter, mode7_enter

; Starts the current scene: forced blank, HDMA off, the scene loads its
; graphics and sets its registers, then it fades in from black.
.proc enter_scene
    lda #$80
    sta INIDISP
    stz HDMAEN
    stz hdmaen_shadow
    stz brightness
    stz inidisp_shadow
    lda #PHASE_FADE_IN
    sta scene_phase
    ldx #0
    stx scene_timer
    stx bg1hofs
    stx bg1vofs
    stx bg2hofs
    stx bg2vofs
    stx bg3hofs
    stx bg3vofs
    ldx #HDMA_BUFFER_A
    stx hdma_front
    ldx #HDMA_BUFFER_B
    stx hdma_back
    ; No windows, no colour math unless the scene asks for them.
    stz W12SEL
    stz W34SEL
    stz WOBJSEL
    stz WBGLOG
    stz WOBJLOG
    stz TMW
    stz TSW
    stz CGWSEL
    stz CGADSUB
    stz TS
    stz MOSAIC
    lda #$E0                ; fixed colour black
    sta coldata_shadow
    sta COLDATA
    jsr clear_oam_shadow
    rep #$20
    .a16
    lda scene
    and #$00FF
    asl
    tax
    sep #$20
    .a8
    jsr (scene_entries,x)
    rts
.endproc

; ---------------------------------------------------------------------------
; V-blank: copies the shadows of a ready frame into the PPU.

nmi:
    rep #$30
    .a16
    pha
    phx
    phy
    phb
    phd
    lda #$0000
    tcd
    sep #$20
    .a8
    phk
    plb
    lda RDNMI               ; acknowledge
    lda frame_ready
    beq :+
    jsr copy_shadows
    stz frame_ready
:   inc nmi_count
    rep #$30
    .a16
    pld
    plb
    ply
    plx
    pla
    rti
    .a8

.proc copy_shadows
    stz OAMADDL
    stz OAMADDH
    ldx #$0400              ; mode 0, B bus $2104
    stx DMAP0
    ldx #oam_shadow
    stx A1T0L
    stz A1B0
    ldx #544
    stx DAS0L
    lda #$01
    sta MDMAEN

    WRITE_TWICE BG1HOFS, bg1hofs
    WRITE_TWICE BG1VOFS, bg1vofs
    WRITE_TWICE BG2HOFS, bg2hofs
    WRITE_TWICE BG2VOFS, bg2vofs
    WRITE_TWICE BG3HOFS, bg3hofs
    WRITE_TWICE BG3VOFS, bg3vofs
    WRITE_TWICE M7A, m7a
    WRITE_TWICE M7B, m7b
    WRITE_TWICE M7C, m7c
    WRITE_TWICE M7D, m7d
    lda coldata_shadow
    sta COLDATA
    ldx hdma_front
    stx A1T0L + $20         ; channel 2's table
    lda hdmaen_shadow
    sta HDMAEN
    lda inidisp_shadow
    sta INIDISP
    rts
.endproc

irq:
    rti

; ---------------------------------------------------------------------------
; Start-up helpers.

; Work RAM $0000-$1DFF (direct page, variables, sprite table, HDMA
; buffers) to zero; the stack above is in use.
.proc clear_work_ram
    stz WMADDL
    stz WMADDM
    stz WMADDH
    ldx #$8008              ; mode 0 with a fixed A address, B bus $2180
    stx DMAP0
    ldx #.loword(zero_word)
    stx A1T0L
    lda #^zero_word
    sta A1B0
    ldx #$1E00
    stx DAS0L
    lda #$01
    sta MDMAEN
    rts
.endproc

; VRAM and CGRAM to zero.
.proc clear_video_memory
    lda #$80
    sta VMAIN
    ldx #0
    stx VMADDL
    ldx #$1809              ; mode 1 with a fixed A address, B bus $2118
    stx DMAP0
    ldx #.loword(zero_word)
    stx A1T0L
    lda #^zero_word
    sta A1B0
    ldx #0                  ; 65536 bytes
    stx DAS0L
    lda #$01
    sta MDMAEN
    stz CGADD
    ldx #$2208              ; mode 0 with a fixed A address, B bus $2122
    stx DMAP0
    ldx #512
    stx DAS0L
    lda #$01
    sta MDMAEN
    rts
.endproc

.segment "RODATA"
zero_word: .word 0

; ---------------------------------------------------------------------------
; Internal header: "VELTRANE DEMO", LoROM, ROM and battery RAM (type $02),
; 128 KiB of ROM, 2 KiB of battery RAM, USA (NTSC).

.segment "HEADER"
    .byte "VELTRANE DEMO        "
    .byte $20, $02, $07, $01, $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
