; The unofficial opcodes NES programs use, over the same operand pairs as
; cpu_alu: memory holds b, A holds a, the carry comes from the table.
;
; Results (case i = 0..15):
;   $0400+i SLO A        $0410+i SLO memory   $0420+i SLO flags
;   $0430+i RLA A        $0440+i RLA memory   $0450+i RLA flags
;   $0460+i SRE A        $0470+i SRE memory   $0480+i SRE flags
;   $0490+i RRA A        $04A0+i RRA memory   $04B0+i RRA flags
;   $04C0+i DCP memory   $04D0+i DCP flags
;   $04E0+i ISC A        $04F0+i ISC memory   $0500+i ISC flags
;   $0510+i LAX A and X (A XOR X stored, 0 when equal)   $0520+i LAX A
;   $0530+i SAX memory (A = a, X = b)
;   $0540+i ANC A        $0550+i ANC flags
;   $0560+i ALR A        $0570+i ALR flags
;   $0580+i ARR A        $0590+i ARR flags
;   $05A0+i AXS X (A = a, X = $F3)   $05B0+i AXS flags
;   $05C0+i SBC #(unofficial $EB) A  $05D0+i its flags
; $0300 = $A5 when done.
.setcpu "6502X"
.include "nes.inc"

nes_header 2, 1, 0, 0

CASES = 16

.zeropage
tmp:  .res 1
save: .res 1

.code
reset:
    sei
    cld
    ldx #$FF
    txs
    ldy #0
loop:
    .macro rmw_case op, ra, rm, rf
        lda b_in,y
        sta tmp
        lda carry_in,y
        lsr a
        clv
        lda a_in,y
        op tmp
        php
        sta ra,y
        lda tmp
        sta rm,y
        pla
        sta rf,y
    .endmacro
    rmw_case slo, $0400, $0410, $0420
    rmw_case rla, $0430, $0440, $0450
    rmw_case sre, $0460, $0470, $0480
    rmw_case rra, $0490, $04A0, $04B0
    rmw_case dcp, $0600, $04C0, $04D0
    rmw_case isc, $04E0, $04F0, $0500
    ; LAX
    lda b_in,y
    sta tmp
    lda #0
    ldx #0
    lax tmp
    stx save
    eor save
    sta $0510,y
    lax tmp
    sta $0520,y
    ; SAX
    lda b_in,y
    tax
    lda a_in,y
    sax tmp
    lda tmp
    sta $0530,y
    ; Immediate forms: the operand is patched into RAM code, so each case
    ; runs the instruction with the table's byte.
    .macro imm_case opcode, ra, rf
        lda #opcode
        sta $0700
        lda b_in,y
        sta $0701
        lda #$60           ; rts
        sta $0702
        lda carry_in,y
        lsr a
        clv
        lda a_in,y
        jsr $0700
        php
        sta ra,y
        pla
        sta rf,y
    .endmacro
    imm_case $0B, $0540, $0550   ; ANC
    imm_case $4B, $0560, $0570   ; ALR
    imm_case $6B, $0580, $0590   ; ARR
    imm_case $EB, $05C0, $05D0   ; SBC
    ; AXS: X = (A AND X) - operand
    lda #$CB
    sta $0700
    lda b_in,y
    sta $0701
    lda #$60
    sta $0702
    ldx #$F3
    lda a_in,y
    clc
    clv
    jsr $0700
    php
    txa
    sta $05A0,y
    pla
    sta $05B0,y

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
