; The record kept in battery RAM: how many times the demo has started and
; the best time for catching every orb in the parallax scene. A record
; whose signature or check word is wrong (a new or damaged battery RAM) is
; started afresh.
.include "snes.inc"
.include "demo.inc"

.segment "CODE"
.a8
.i16

; Reads the record, counts this start and writes it back.
.proc record_boot
    ldx #0
check_signature:
    lda f:SRAM_SIGNATURE,x
    cmp signature,x
    bne fresh
    inx
    cpx #4
    bne check_signature
    rep #$20
    .a16
    lda f:SRAM_PLAYS
    sta record_plays
    lda f:SRAM_BEST
    sta record_best
    jsr check_word
    cmp f:SRAM_CHECK
    beq counted
fresh:
    rep #$20
    .a16
    stz record_plays
    lda #NO_BEST_TIME
    sta record_best
counted:
    lda record_plays
    cmp #9999
    bcs :+
    inc record_plays
:   sep #$20
    .a8
    jmp record_write
.endproc

; Offers a round time in frames (tmp0); a better one becomes the record.
.proc record_offer_time
    ldx tmp0
    cpx record_best
    bcs keep
    stx record_best
    jmp record_write
keep:
    rts
.endproc

; Writes signature, counters and check word to battery RAM.
.proc record_write
    ldx #0
:   lda signature,x
    sta f:SRAM_SIGNATURE,x
    inx
    cpx #4
    bne :-
    rep #$20
    .a16
    lda record_plays
    sta f:SRAM_PLAYS
    lda record_best
    sta f:SRAM_BEST
    jsr check_word
    sta f:SRAM_CHECK
    sep #$20
    .a8
    rts
.endproc

; The check word of the record in memory (16-bit A in and out).
.proc check_word
    .a16
    lda record_plays
    clc
    adc record_best
    clc
    adc #$5A5A
    rts
    .a8
.endproc

.segment "RODATA"
signature: .byte "VLTR"
