; A Super FX cartridge: the GSU draws a 128 x 128 picture of 16 colours into
; its RAM (pixel (x, y) in colour ((x XOR y) / 8) AND 15, colour 0 plotted
; too), the 65816 waits for it to stop, copies the characters into VRAM by
; DMA and shows them on BG1 in mode 1, one tilemap column per GSU character
; column.
;
; Work RAM results for the tests:
;   $7E0100  frames waited for the GSU (counted in V-blanks seen)
;   $7E0102  SFR high byte read after the stop (IRQ flag), $7E0103 the next read
;   $7E0104  the version register
.include "snes.inc"
.include "gsu.inc"

TILEMAP = $4000          ; VRAM word address of the BG1 tilemap

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
    stz NMITIMEN

    ; --- start the GSU on the drawing program
    lda GSU_VCR
    sta $7E0104
    stz GSU_CFGR            ; the stop raises the cartridge interrupt (I is set)
    stz GSU_SCBR            ; screen at the start of the GSU RAM
    stz GSU_CLSR            ; 10.74 MHz
    lda #$19                ; 16 colours, 128 lines, ROM and RAM to the GSU
    sta GSU_SCMR
    lda #^gsu_draw
    sta GSU_PBR
    ldx #.loword(gsu_draw)
    stx GSU_R0 + 30         ; R15, high byte last: the GSU starts
    ldy #0
wait:
    lda HVBJOY              ; count V-blank starts while waiting
    bpl wait
wait_end:
    lda HVBJOY
    bmi wait_end
    iny
    lda GSU_SFR
    and #$20
    bne wait
    tya
    sta $7E0100
    lda GSU_SFR + 1
    sta $7E0102
    lda GSU_SFR + 1
    sta $7E0103
    lda #$01                ; the RAM back to the 65816
    sta GSU_SCMR

    ; --- 8 KiB of characters from $70:0000 to VRAM word 0
    lda #$80
    sta VMAIN
    ldx #0
    stx VMADDL
    lda #$01                ; two registers, write once each
    sta $4300
    lda #<VMDATAL
    sta $4301
    ldx #0
    stx $4302
    lda #$70
    sta $4304
    ldx #$2000
    stx $4305
    lda #$01
    sta MDMAEN

    ; --- tilemap: entry (column c, row r) = character c x 16 + r
    ldx #TILEMAP
    stx VMADDL
    rep #$20
.a16
    ldy #0                  ; row
row_loop:
    ldx #0                  ; column
col_loop:
    txa
    asl
    asl
    asl
    asl
    sta $00
    tya
    clc
    adc $00
    and #$03FF
    sta VMDATAL
    inx
    cpx #32
    bne col_loop
    iny
    cpy #32
    bne row_loop
    sep #$20
.a8

    ; --- palette 0: 16 distinct colours
    stz CGADD
    ldx #0
pal_loop:
    lda palette, x
    sta CGDATA
    inx
    cpx #32
    bne pal_loop

    lda #$01
    sta BGMODE
    lda #TILEMAP >> 8
    sta BG1SC
    stz BG12NBA
    lda #$FF                ; vertical scroll -1: line 1 shows row 0
    sta BG1VOFS
    lda #$03
    sta BG1VOFS
    stz BG1HOFS
    stz BG1HOFS
    lda #$01
    sta TM
    lda #$0F
    sta INIDISP
forever:
    bra forever

nmi:
irq:
    rti

palette:
    .word $0000, $001F, $03E0, $7C00, $03FF, $7FE0, $7C1F, $7FFF
    .word $0010, $0200, $4000, $0210, $4200, $4010, $4210, $2D6B

; --- the GSU program (runs from this ROM, bank 0)
gsu_draw:
    fx_ibt 0, 1             ; CMODE 1: plot colour 0 as well
    fx_cmode
    fx_ibt 2, 0             ; y
    fx_iwt 13, gsu_pixel    ; loop address
gsu_row:
    fx_ibt 1, 0             ; x
    fx_iwt 12, 128          ; pixels per row
gsu_pixel:
    fx_from 1               ; R0 = (x XOR y) >> 3
    fx_xor 2
    fx_lsr
    fx_lsr
    fx_lsr
    fx_color
    fx_loop
    fx_plot                 ; delay slot: plot, x + 1
    fx_inc 2
    fx_iwt 3, 128
    fx_from 2
    fx_cmp 3
    fx_bne gsu_row
    fx_nop
    fx_stop
    fx_nop

.segment "HEADER"
    .byte "VELTRANE GSU PICTURE "
    .byte $20, $13, $08, $05, $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
