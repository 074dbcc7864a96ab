; The arithmetic and logic instructions over a table of operand pairs:
; each case loads A, sets the carry from the table, runs the instruction
; and stores the result and the flags (as PHP pushes them) in RAM.
;
; Results (case i = 0..15):
;   $0400+i ADC result   $0410+i ADC flags
;   $0420+i SBC result   $0430+i SBC flags
;   $0440+i AND result   $0450+i AND flags
;   $0460+i ORA result   $0470+i ORA flags
;   $0480+i EOR result   $0490+i EOR flags
;   $04A0+i CMP flags    $04B0+i BIT flags
;   $0500+i ASL memory   $0510+i ASL flags
;   $0520+i LSR memory   $0530+i LSR flags
;   $0540+i ROL memory   $0550+i ROL flags
;   $0560+i ROR memory   $0570+i ROR flags
;   $0580+i INC memory   $0590+i INC flags
;   $05A0+i DEC memory   $05B0+i DEC flags
;   $05C0+i CPX flags (X = a)   $05D0+i CPY flags (Y = a)
; $0300 = $A5 when done.
.include "nes.inc"

nes_header 2, 1, 0, 0

CASES = 16

.zeropage
tmp: .res 1

.code
reset:
    sei
    cld
    ldx #$FF
    txs
    ldy #0
loop:
    ; ADC
    lda carry_in,y
    lsr a
    clv
    lda a_in,y
    adc b_in,y
    sta $0400,y
    php
    pla
    sta $0410,y
    ; SBC
    lda carry_in,y
    lsr a
    clv
    lda a_in,y
    sbc b_in,y
    sta $0420,y
    php
    pla
    sta $0430,y
    ; AND
    lda carry_in,y
    lsr a
    clv
    lda a_in,y
    and b_in,y
    sta $0440,y
    php
    pla
    sta $0450,y
    ; ORA
    lda carry_in,y
    lsr a
    clv
    lda a_in,y
    ora b_in,y
    sta $0460,y
    php
    pla
    sta $0470,y
    ; EOR
    lda carry_in,y
    lsr a
    clv
    lda a_in,y
    eor b_in,y
    sta $0480,y
    php
    pla
    sta $0490,y
    ; CMP
    lda carry_in,y
    lsr a
    clv
    lda a_in,y
    cmp b_in,y
    php
    pla
    sta $04A0,y
    ; BIT (memory operand in zero page)
    lda b_in,y
    sta tmp
    lda carry_in,y
    lsr a
    clv
    lda a_in,y
    bit tmp
    php
    pla
    sta $04B0,y
    ; ASL, LSR, ROL, ROR, INC, DEC on memory
    .macro rmw_case op, result, flags
        lda a_in,y
        sta tmp
        lda carry_in,y
        lsr a
        clv
        op tmp
        php
        lda tmp
        sta result,y
        pla
        sta flags,y
    .endmacro
    rmw_case asl, $0500, $0510
    rmw_case lsr, $0520, $0530
    rmw_case rol, $0540, $0550
    rmw_case ror, $0560, $0570
    rmw_case inc, $0580, $0590
    rmw_case dec, $05A0, $05B0
    ; CPX and CPY against the same pairs
    lda b_in,y
    sta tmp
    ldx a_in,y
    cpx tmp
    php
    pla
    sta $05C0,y
    sty $02
    lda a_in,y
    tay
    cpy tmp
    php
    pla
    ldy $02
    sta $05D0,y

    iny
    cpy #CASES
    beq done
    jmp loop
done:
    lda #$A5
    sta $0300
forever:
    jmp forever

nmi:
irq:
    rti

.rodata
a_in:     .byte $00, $01, $7F, $80, $FF, $50, $50, $D0, $D0, $01, $FF, $80, $0F, $F0, $AA, $55
b_in:     .byte $00, $01, $01, $FF, $01, $50, $D0, $90, $30, $FF, $FF, $80, $F0, $0F, $55, $55
carry_in: .byte $00, $00, $00, $00, $00, $01, $00, $01, $00, $01, $01, $00, $01, $00, $01, $01

nes_vectors nmi, reset, irq

.segment "CHARS"
    .res 8192, 0
