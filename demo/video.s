; Helpers the scenes share: the sprite table in work RAM, sprite and
; tilemap text, numbers and times as text, the HDMA double buffer.
.include "snes.inc"
.include "demo.inc"

.segment "BSS"
number_text: .res 8         ; text made by format_number and format_time

.segment "CODE"
.a8
.i16

; Hides all 128 sprites (Y = 240, below the picture) and empties the table.
.proc clear_oam_shadow
    ldx #0
    lda #240
hide:
    stz oam_shadow,x        ; X
    sta oam_shadow + 1,x    ; Y
    stz oam_shadow + 2,x
    stz oam_shadow + 3,x
    inx
    inx
    inx
    inx
    cpx #512
    bne hide
high_table:
    stz oam_shadow,x        ; X bit 8 clear, small size
    inx
    cpx #544
    bne high_table
    ldx #0
    stx oam_index
    rts
.endproc

; Appends a sprite: spr_x (-256 to 255), spr_y, spr_tile, spr_attr and
; spr_large (0 small, 2 large). Does nothing once 128 sprites are in.
.proc add_sprite
    ldx oam_index
    cpx #128
    bcs full
    rep #$20
    .a16
    txa
    asl
    asl
    tay                     ; four bytes per sprite
    sep #$20
    .a8
    lda spr_x
    sta oam_shadow,y
    lda spr_y
    sta oam_shadow + 1,y
    lda spr_tile
    sta oam_shadow + 2,y
    lda spr_attr
    sta oam_shadow + 3,y

    ; The high table holds two bits per sprite (X bit 8, size), four
    ; sprites to a byte, the first in the low bits.
    lda spr_x + 1
    and #$01
    ora spr_large
    sta tmp3
    rep #$20
    .a16
    txa
    and #$0003
    tay
    sep #$20
    .a8
    beq placed
shift:
    asl tmp3
    asl tmp3
    dey
    bne shift
placed:
    rep #$20
    .a16
    txa
    lsr
    lsr
    tay
    sep #$20
    .a8
    lda oam_shadow + 512,y
    ora tmp3
    sta oam_shadow + 512,y
    inx
    stx oam_index
full:
    rts
.endproc

; The zero-terminated string at X (bank $00) as 8 x 8 sprites from spr_x,
; spr_y with spr_attr; spaces take no sprite.
.proc add_text_sprites
    stx tmp2
    stz spr_large
next:
    ldx tmp2
    lda a:0,x
    beq done
    inx
    stx tmp2
    cmp #' '
    beq advance
    sec
    sbc #32
    sta spr_tile
    jsr add_sprite
advance:
    rep #$20
    .a16
    lda spr_x
    clc
    adc #8
    sta spr_x
    sep #$20
    .a8
    bra next
done:
    rts
.endproc

; The zero-terminated string at X into a tilemap from VRAM word address Y;
; A is the high byte of every entry (palette, priority). Forced blank only.
.proc print_text
    sta tmp1
    lda #$80
    sta VMAIN
    sty VMADDL
next:
    lda a:0,x
    beq done
    sec
    sbc #32
    sta VMDATAL
    lda tmp1
    sta VMDATAH
    inx
    bra next
done:
    rts
.endproc

; Divides tmp0 by A with the system divider: quotient in tmp0, remainder
; in A.
.proc divide
    ldx tmp0
    stx WRDIVL
    sta WRDIVB
    nop                     ; the divider needs 16 cycles
    nop
    nop
    nop
    nop
    nop
    nop
    nop
    ldx RDDIVL
    stx tmp0
    lda RDMPYL
    rts
.endproc

; tmp0 (0-9999) as four digits in number_text; X = number_text.
.proc format_number
    stz number_text + 4
    ldy #4
digit:
    lda #10
    jsr divide
    clc
    adc #'0'
    sta number_text - 1,y
    dey
    bne digit
    ldx #number_text
    rts
.endproc

; A time in frames (tmp0) as "SS.HH" seconds and hundredths in
; number_text, "--.--" for NO_BEST_TIME; X = number_text.
.proc format_time
    ldx tmp0
    cpx #NO_BEST_TIME
    beq none
    cpx #100 * 60
    bcc :+
    ldx #100 * 60 - 1       ; at most 99.98
    stx tmp0
:   lda #60
    jsr divide              ; tmp0 = seconds, A = frames left over
    sta WRMPYA
    lda #100
    sta WRMPYB
    nop                     ; the multiplier needs 8 cycles
    nop
    nop
    nop
    ldx RDMPYL
    stx tmp2                ; frames left over x 100
    lda tmp0
    jsr two_digits
    sta number_text
    lda tmp1
    sta number_text + 1
    lda #'.'
    sta number_text + 2
    ldx tmp2                ; / 60: hundredths
    stx tmp0
    lda #60
    jsr divide
    lda tmp0
    jsr two_digits
    sta number_text + 3
    lda tmp1
    sta number_text + 4
    stz number_text + 5
    ldx #number_text
    rts
none:
    ldx #0
:   lda no_time,x
    sta number_text,x
    inx
    cpx #6
    bne :-
    ldx #number_text
    rts
.endproc

; A (0-99) as two digits: the tens digit in A, the ones digit in tmp1.
.proc two_digits
    sta tmp0
    stz tmp0 + 1
    lda #10
    jsr divide              ; tmp0 = tens, A = ones
    clc
    adc #'0'
    sta tmp1
    lda tmp0
    clc
    adc #'0'
    rts
.endproc

; Makes the table just built the one channel 2 reads from the next frame.
.proc swap_hdma_buffers
    ldx hdma_back
    ldy hdma_front
    stx hdma_front
    sty hdma_back
    rts
.endproc

.segment "RODATA"
no_time: .byte "--.--", 0
