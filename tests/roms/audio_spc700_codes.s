; Every SPC700 macro of spc700.inc once, in opcode order ($00-$FF), after
; the marker "SPC700 ENCODINGS". Operands: direct page $12 (a second one
; $34 as the source of dp,dp forms), immediate $56, absolute $1234, bit
; operands $0123 bit 5, and branches to their own first byte. The test
; compares the bytes with the instruction set's encodings.
.include "snes.inc"
.include "spc700.inc"

.segment "CODE"
reset:
    bra reset

nmi:
irq:
    rti

.segment "RODATA"
    .byte "SPC700 ENCODINGS"

:   spc_nop                         ; $00
:   spc_tcall 0                     ; $01
:   spc_set1 $12, 0                 ; $02
:   spc_bbs $12, 0, :-              ; $03
:   spc_or_a_dp $12                 ; $04
:   spc_or_a_abs $1234              ; $05
:   spc_or_a_ix                     ; $06
:   spc_or_a_idpx $12               ; $07
:   spc_or_a_imm $56                ; $08
:   spc_or_dp_dp $12, $34           ; $09
:   spc_or1_c_bit $0123, 5          ; $0A
:   spc_asl_dp $12                  ; $0B
:   spc_asl_abs $1234               ; $0C
:   spc_push_psw                    ; $0D
:   spc_tset1_abs $1234             ; $0E
:   spc_brk                         ; $0F
:   spc_bpl :-                      ; $10
:   spc_tcall 1                     ; $11
:   spc_clr1 $12, 0                 ; $12
:   spc_bbc $12, 0, :-              ; $13
:   spc_or_a_dpx $12                ; $14
:   spc_or_a_absx $1234             ; $15
:   spc_or_a_absy $1234             ; $16
:   spc_or_a_idpy $12               ; $17
:   spc_or_dp_imm $12, $56          ; $18
:   spc_or_ix_iy                    ; $19
:   spc_decw_dp $12                 ; $1A
:   spc_asl_dpx $12                 ; $1B
:   spc_asl_a                       ; $1C
:   spc_dec_x                       ; $1D
:   spc_cmp_x_abs $1234             ; $1E
:   spc_jmp_iabsx $1234             ; $1F
:   spc_clrp                        ; $20
:   spc_tcall 2                     ; $21
:   spc_set1 $12, 1                 ; $22
:   spc_bbs $12, 1, :-              ; $23
:   spc_and_a_dp $12                ; $24
:   spc_and_a_abs $1234             ; $25
:   spc_and_a_ix                    ; $26
:   spc_and_a_idpx $12              ; $27
:   spc_and_a_imm $56               ; $28
:   spc_and_dp_dp $12, $34          ; $29
:   spc_or1_c_notbit $0123, 5       ; $2A
:   spc_rol_dp $12                  ; $2B
:   spc_rol_abs $1234               ; $2C
:   spc_push_a                      ; $2D
:   spc_cbne_dp $12, :-             ; $2E
:   spc_bra :-                      ; $2F
:   spc_bmi :-                      ; $30
:   spc_tcall 3                     ; $31
:   spc_clr1 $12, 1                 ; $32
:   spc_bbc $12, 1, :-              ; $33
:   spc_and_a_dpx $12               ; $34
:   spc_and_a_absx $1234            ; $35
:   spc_and_a_absy $1234            ; $36
:   spc_and_a_idpy $12              ; $37
:   spc_and_dp_imm $12, $56         ; $38
:   spc_and_ix_iy                   ; $39
:   spc_incw_dp $12                 ; $3A
:   spc_rol_dpx $12                 ; $3B
:   spc_rol_a                       ; $3C
:   spc_inc_x                       ; $3D
:   spc_cmp_x_dp $12                ; $3E
:   spc_call $1234                  ; $3F
:   spc_setp                        ; $40
:   spc_tcall 4                     ; $41
:   spc_set1 $12, 2                 ; $42
:   spc_bbs $12, 2, :-              ; $43
:   spc_eor_a_dp $12                ; $44
:   spc_eor_a_abs $1234             ; $45
:   spc_eor_a_ix                    ; $46
:   spc_eor_a_idpx $12              ; $47
:   spc_eor_a_imm $56               ; $48
:   spc_eor_dp_dp $12, $34          ; $49
:   spc_and1_c_bit $0123, 5         ; $4A
:   spc_lsr_dp $12                  ; $4B
:   spc_lsr_abs $1234               ; $4C
:   spc_push_x                      ; $4D
:   spc_tclr1_abs $1234             ; $4E
:   spc_pcall $56                   ; $4F
:   spc_bvc :-                      ; $50
:   spc_tcall 5                     ; $51
:   spc_clr1 $12, 2                 ; $52
:   spc_bbc $12, 2, :-              ; $53
:   spc_eor_a_dpx $12               ; $54
:   spc_eor_a_absx $1234            ; $55
:   spc_eor_a_absy $1234            ; $56
:   spc_eor_a_idpy $12              ; $57
:   spc_eor_dp_imm $12, $56         ; $58
:   spc_eor_ix_iy                   ; $59
:   spc_cmpw_ya_dp $12              ; $5A
:   spc_lsr_dpx $12                 ; $5B
:   spc_lsr_a                       ; $5C
:   spc_mov_x_a                     ; $5D
:   spc_cmp_y_abs $1234             ; $5E
:   spc_jmp_abs $1234               ; $5F
:   spc_clrc                        ; $60
:   spc_tcall 6                     ; $61
:   spc_set1 $12, 3                 ; $62
:   spc_bbs $12, 3, :-              ; $63
:   spc_cmp_a_dp $12                ; $64
:   spc_cmp_a_abs $1234             ; $65
:   spc_cmp_a_ix                    ; $66
:   spc_cmp_a_idpx $12              ; $67
:   spc_cmp_a_imm $56               ; $68
:   spc_cmp_dp_dp $12, $34          ; $69
:   spc_and1_c_notbit $0123, 5      ; $6A
:   spc_ror_dp $12                  ; $6B
:   spc_ror_abs $1234               ; $6C
:   spc_push_y                      ; $6D
:   spc_dbnz_dp $12, :-             ; $6E
:   spc_ret                         ; $6F
:   spc_bvs :-                      ; $70
:   spc_tcall 7                     ; $71
:   spc_clr1 $12, 3                 ; $72
:   spc_bbc $12, 3, :-              ; $73
:   spc_cmp_a_dpx $12               ; $74
:   spc_cmp_a_absx $1234            ; $75
:   spc_cmp_a_absy $1234            ; $76
:   spc_cmp_a_idpy $12              ; $77
:   spc_cmp_dp_imm $12, $56         ; $78
:   spc_cmp_ix_iy                   ; $79
:   spc_addw_ya_dp $12              ; $7A
:   spc_ror_dpx $12                 ; $7B
:   spc_ror_a                       ; $7C
:   spc_mov_a_x                     ; $7D
:   spc_cmp_y_dp $12                ; $7E
:   spc_reti                        ; $7F
:   spc_setc                        ; $80
:   spc_tcall 8                     ; $81
:   spc_set1 $12, 4                 ; $82
:   spc_bbs $12, 4, :-              ; $83
:   spc_adc_a_dp $12                ; $84
:   spc_adc_a_abs $1234             ; $85
:   spc_adc_a_ix                    ; $86
:   spc_adc_a_idpx $12              ; $87
:   spc_adc_a_imm $56               ; $88
:   spc_adc_dp_dp $12, $34          ; $89
:   spc_eor1_c_bit $0123, 5         ; $8A
:   spc_dec_dp $12                  ; $8B
:   spc_dec_abs $1234               ; $8C
:   spc_mov_y_imm $56               ; $8D
:   spc_pop_psw                     ; $8E
:   spc_mov_dp_imm $12, $56         ; $8F
:   spc_bcc :-                      ; $90
:   spc_tcall 9                     ; $91
:   spc_clr1 $12, 4                 ; $92
:   spc_bbc $12, 4, :-              ; $93
:   spc_adc_a_dpx $12               ; $94
:   spc_adc_a_absx $1234            ; $95
:   spc_adc_a_absy $1234            ; $96
:   spc_adc_a_idpy $12              ; $97
:   spc_adc_dp_imm $12, $56         ; $98
:   spc_adc_ix_iy                   ; $99
:   spc_subw_ya_dp $12              ; $9A
:   spc_dec_dpx $12                 ; $9B
:   spc_dec_a                       ; $9C
:   spc_mov_x_sp                    ; $9D
:   spc_div_ya_x                    ; $9E
:   spc_xcn_a                       ; $9F
:   spc_ei                          ; $A0
:   spc_tcall 10                    ; $A1
:   spc_set1 $12, 5                 ; $A2
:   spc_bbs $12, 5, :-              ; $A3
:   spc_sbc_a_dp $12                ; $A4
:   spc_sbc_a_abs $1234             ; $A5
:   spc_sbc_a_ix                    ; $A6
:   spc_sbc_a_idpx $12              ; $A7
:   spc_sbc_a_imm $56               ; $A8
:   spc_sbc_dp_dp $12, $34          ; $A9
:   spc_mov1_c_bit $0123, 5         ; $AA
:   spc_inc_dp $12                  ; $AB
:   spc_inc_abs $1234               ; $AC
:   spc_cmp_y_imm $56               ; $AD
:   spc_pop_a                       ; $AE
:   spc_mov_ixinc_a                 ; $AF
:   spc_bcs :-                      ; $B0
:   spc_tcall 11                    ; $B1
:   spc_clr1 $12, 5                 ; $B2
:   spc_bbc $12, 5, :-              ; $B3
:   spc_sbc_a_dpx $12               ; $B4
:   spc_sbc_a_absx $1234            ; $B5
:   spc_sbc_a_absy $1234            ; $B6
:   spc_sbc_a_idpy $12              ; $B7
:   spc_sbc_dp_imm $12, $56         ; $B8
:   spc_sbc_ix_iy                   ; $B9
:   spc_movw_ya_dp $12              ; $BA
:   spc_inc_dpx $12                 ; $BB
:   spc_inc_a                       ; $BC
:   spc_mov_sp_x                    ; $BD
:   spc_das_a                       ; $BE
:   spc_mov_a_ixinc                 ; $BF
:   spc_di                          ; $C0
:   spc_tcall 12                    ; $C1
:   spc_set1 $12, 6                 ; $C2
:   spc_bbs $12, 6, :-              ; $C3
:   spc_mov_dp_a $12                ; $C4
:   spc_mov_abs_a $1234             ; $C5
:   spc_mov_ix_a                    ; $C6
:   spc_mov_idpx_a $12              ; $C7
:   spc_cmp_x_imm $56               ; $C8
:   spc_mov_abs_x $1234             ; $C9
:   spc_mov1_bit_c $0123, 5         ; $CA
:   spc_mov_dp_y $12                ; $CB
:   spc_mov_abs_y $1234             ; $CC
:   spc_mov_x_imm $56               ; $CD
:   spc_pop_x                       ; $CE
:   spc_mul_ya                      ; $CF
:   spc_bne :-                      ; $D0
:   spc_tcall 13                    ; $D1
:   spc_clr1 $12, 6                 ; $D2
:   spc_bbc $12, 6, :-              ; $D3
:   spc_mov_dpx_a $12               ; $D4
:   spc_mov_absx_a $1234            ; $D5
:   spc_mov_absy_a $1234            ; $D6
:   spc_mov_idpy_a $12              ; $D7
:   spc_mov_dp_x $12                ; $D8
:   spc_mov_dpy_x $12               ; $D9
:   spc_movw_dp_ya $12              ; $DA
:   spc_mov_dpx_y $12               ; $DB
:   spc_dec_y                       ; $DC
:   spc_mov_a_y                     ; $DD
:   spc_cbne_dpx $12, :-            ; $DE
:   spc_daa_a                       ; $DF
:   spc_clrv                        ; $E0
:   spc_tcall 14                    ; $E1
:   spc_set1 $12, 7                 ; $E2
:   spc_bbs $12, 7, :-              ; $E3
:   spc_mov_a_dp $12                ; $E4
:   spc_mov_a_abs $1234             ; $E5
:   spc_mov_a_ix                    ; $E6
:   spc_mov_a_idpx $12              ; $E7
:   spc_mov_a_imm $56               ; $E8
:   spc_mov_x_abs $1234             ; $E9
:   spc_not1_bit $0123, 5           ; $EA
:   spc_mov_y_dp $12                ; $EB
:   spc_mov_y_abs $1234             ; $EC
:   spc_notc                        ; $ED
:   spc_pop_y                       ; $EE
:   spc_sleep                       ; $EF
:   spc_beq :-                      ; $F0
:   spc_tcall 15                    ; $F1
:   spc_clr1 $12, 7                 ; $F2
:   spc_bbc $12, 7, :-              ; $F3
:   spc_mov_a_dpx $12               ; $F4
:   spc_mov_a_absx $1234            ; $F5
:   spc_mov_a_absy $1234            ; $F6
:   spc_mov_a_idpy $12              ; $F7
:   spc_mov_x_dp $12                ; $F8
:   spc_mov_x_dpy $12               ; $F9
:   spc_mov_dp_dp $12, $34          ; $FA
:   spc_mov_y_dpx $12               ; $FB
:   spc_inc_y                       ; $FC
:   spc_mov_y_a                     ; $FD
:   spc_dbnz_y :-                   ; $FE
:   spc_stop                        ; $FF

snes_header "VELTRANE SPC700 CODES", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq
