; System registers end to end: the multiplier and divider, NMI every frame,
; the H/V timer IRQ once per frame, and the joypads read both by the
; automatic read and serially through $4016. Results go to work RAM for the
; tests to read back.
.include "snes.inc"

RES_MUL     = $0100     ; $FF x $FF
RES_DIV0_Q  = $0102     ; $1234 / 0: quotient
RES_DIV0_R  = $0104     ;            remainder
RES_DIV_Q   = $0106     ; 50000 / 7: quotient
RES_DIV_R   = $0108     ;            remainder
NMI_COUNT   = $0110     ; NMIs taken
IRQ_COUNT   = $0112     ; timer IRQs taken
JOY_LOG     = $0200     ; per frame 0-63: JOY1 word, JOY2 word
SERIAL_LOG  = $0400     ; per frame 0-63: 16 bits from $4016 (first read in bit 15), the 17th bit

.segment "CODE"
.a8
.i16

; The results of the multiplier and divider take a few cycles on the
; console; wait before reading them.
.macro settle
    nop
    nop
    nop
    nop
.endmacro

reset:
    sei
    clc
    xce
    rep #$10
    sep #$20
    ldx #$1FFF
    txs
    ldx #$0100
clear:
    stz $0000,x
    inx
    cpx #$0600
    bne clear

    lda #$FF
    sta WRMPYA
    sta WRMPYB
    settle
    ldx RDMPYL
    stx RES_MUL

    ldx #$1234
    stx WRDIVL
    stz WRDIVB
    settle
    settle
    ldx RDDIVL
    stx RES_DIV0_Q
    ldx RDMPYL
    stx RES_DIV0_R

    ldx #50000
    stx WRDIVL
    lda #7
    sta WRDIVB
    settle
    settle
    ldx RDDIVL
    stx RES_DIV_Q
    ldx RDMPYL
    stx RES_DIV_R

    ldx #50             ; H position
    stx HTIMEL
    ldx #100            ; line
    stx VTIMEL
    lda #$B1            ; NMI, V and H timer IRQ, automatic joypad read
    sta NMITIMEN
    cli
main:
    wai
    bra main

nmi:
    rep #$30
    pha
    phx
    phy
    sep #$20
.a8
    lda RDNMI           ; acknowledge
wait_joypad:
    lda HVBJOY          ; the automatic read ends four lines into V-blank
    and #$01
    bne wait_joypad

    ; Port 1 again, serially: strobe, then 16 bits and one more.
    lda #$01
    sta JOYSER0
    stz JOYSER0
    stz $00
    stz $01
    ldy #16
serial_bit:
    lda JOYSER0
    lsr a               ; bit 0 into carry
    rol $00
    rol $01
    dey
    bne serial_bit
    lda JOYSER0
    and #$01
    sta $02
    stz $03

    rep #$20
.a16
    lda NMI_COUNT
    cmp #64
    bcs done
    asl a
    asl a
    tax                 ; four bytes per frame
    lda JOY1L
    sta JOY_LOG,x
    lda JOY2L
    sta JOY_LOG+2,x
    lda $00
    sta SERIAL_LOG,x
    lda $02
    sta SERIAL_LOG+2,x
done:
    inc NMI_COUNT
    ply
    plx
    pla
    rti
.a8

irq:
    rep #$20
    pha
    sep #$20
    lda TIMEUP          ; acknowledge
    rep #$20
    inc IRQ_COUNT
    pla
    rti

snes_header "VELTRANE SYSREGS", $20, 5
snes_vectors irq, irq, nmi, irq, irq, irq, reset, irq
