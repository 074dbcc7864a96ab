; A Super FX cartridge that keeps the GSU busy every line of every frame: at
; 21.48 MHz it plots a moving 256 x 192 pattern of 256 colours without ever
; stopping, while the 65816 copies 4 KiB of the GSU RAM into VRAM at each
; V-blank and shows it on BG1 in mode 3. The benchmark for Super FX
; cartridges (veltrane-cli --bench) and a long-running case for the state
; tests.
;
; Work RAM: $7E0100 counts the NMIs.
.include "snes.inc"
.include "gsu.inc"

.segment "CODE"
.a8
.i16

reset:
    sei
    clc
    xce
    rep #$10
    sep #$20
    ldx #$1FFF
    txs
    lda #$80
    sta INIDISP
    ldx #0
    stx $0100

    lda #$80                ; no interrupt at a stop (there is none)
    sta GSU_CFGR
    stz GSU_SCBR
    lda #$01                ; 21.48 MHz
    sta GSU_CLSR
    lda #$3B                ; 256 colours, 192 lines, ROM and RAM to the GSU
    sta GSU_SCMR
    lda #^gsu_bench
    sta GSU_PBR
    ldx #.loword(gsu_bench)
    stx GSU_R0 + 30

    lda #$03
    sta BGMODE
    stz BG1SC               ; tilemap at word 0 (whatever the copy leaves there)
    lda #$01
    sta BG12NBA             ; characters at word $1000
    lda #$01
    sta TM
    lda #$0F
    sta INIDISP
    lda #$80
    sta NMITIMEN
    cli
forever:
    wai
    bra forever

nmi:
    rep #$20
    pha
    phx
    sep #$20
    inc $0100
    lda #$80
    sta VMAIN
    ldx #$1000
    stx VMADDL
    lda #$01
    sta $4300
    lda #<VMDATAL
    sta $4301
    ldx $0100               ; a different 4 KiB each frame
    txa
    and #$07
    asl
    asl
    asl
    asl
    sta $4303
    stz $4302
    lda #$70
    sta $4304
    ldx #$1000
    stx $4305
    lda #$01
    sta MDMAEN
    rep #$20
    plx
    pla
    rti
irq:
    rti

; --- the GSU program: never stops
gsu_bench:
    fx_ibt 3, 0             ; frame counter
    fx_iwt 13, gsu_pixel
gsu_frame:
    fx_ibt 2, 0             ; y
gsu_row:
    fx_ibt 1, 0             ; x
    fx_iwt 12, 256
gsu_pixel:
    fx_from 1               ; colour = (x XOR y) + frame, never 0
    fx_xor 2
    fx_add 3
    fx_or_i 1
    fx_color
    fx_loop
    fx_plot
    fx_inc 2
    fx_iwt 4, 192
    fx_from 2
    fx_cmp 4
    fx_bne gsu_row
    fx_nop
    fx_inc 3
    fx_bra gsu_frame
    fx_nop

.segment "HEADER"
    .byte "VELTRANE GSU BENCH   "
    .byte $20, $15, $08, $06, $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
