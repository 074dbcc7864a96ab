; S-RTC cartridge (type $55): sets the clock to 2024-06-15 12:00:00 through
; $2801, then every frame reads the marker and the 13 clock registers from
; $2800 into $7E:2000-$200D and counts frames in $7E:0010.
.include "snes.inc"

RTC_READ  = $2800
RTC_WRITE = $2801

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
    stz $10
    stz $11
    lda #$0E            ; command mode
    sta RTC_WRITE
    lda #$00            ; write the time from register 0
    sta RTC_WRITE
    ldx #0
set_time:
    lda time,x
    sta RTC_WRITE
    inx
    cpx #12
    bne set_time
    lda #$0F            ; end of the write
    sta RTC_WRITE
    lda #$80
    sta NMITIMEN
    cli
main:
    wai
    lda #$0D            ; read mode: the marker, then registers 0-12
    sta RTC_WRITE
    ldx #0
read_time:
    lda RTC_READ
    sta $7E2000,x
    inx
    cpx #14
    bne read_time
    bra main

nmi:
    rep #$20
    pha
    lda RDNMI
    inc $10
    pla
    sep #$20
    rti

irq:
    rti

time:
    .byte 0, 0, 0, 0, 2, 1, 5, 1, 6, 4, 2, 10

.segment "HEADER"
    .byte "VELTRANE S-RTC TEST"
    .res 2, $20
    .byte $20           ; LoROM
    .byte $55           ; ROM, RAM, battery and the S-RTC
    .byte 5             ; 32 KiB
    .byte 1             ; 2 KiB of RAM
    .byte $01, $00, $00
    .word $FFFF, $0000

snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
