; Audio upload cartridge. The 65816 side sends an SPC700 program and a BRR
; sample to audio RAM through the boot ROM's protocol on $2140-$2143, starts
; the program, then asks it three questions through the ports. The audio
; program sets up the sound generator and plays a looping sine on voice 0
; with an ADSR envelope: left volume +64, right volume -32.
;
; Results in work RAM:
;   $0100  $01 once both blocks are uploaded and the program started
;   $0101  $01 once the program has signalled it is ready ($5A on port 0)
;   $0102  $01 once all answers are in
;   $0110  the squares of 3, 16 and 200 as three words (port 1 low, port 2 high)
.include "snes.inc"
.include "spc700.inc"

RESULT_STARTED = $0100
RESULT_READY   = $0101
RESULT_DONE    = $0102
RESULT_SQUARES = $0110

AUDIO_READY    = $5A

.segment "ZEROPAGE"
question:     .res 1

.segment "CODE"
.a8
.i16

reset:
    sei
    clc
    xce                 ; native mode
    rep #$10
    sep #$20
    ldx #$1FFF
    txs
    stz RESULT_STARTED
    stz RESULT_READY
    stz RESULT_DONE

    jsr spc_wait_boot
    ldx #.loword(spc_program_rom)
    ldy #spc_program_rom_end - spc_program_rom
    spc_set_upload_dest spc_start
    jsr spc_upload_block
    ldx #.loword(sample_rom)
    ldy #sample_rom_end - sample_rom
    spc_set_upload_dest sample_directory
    jsr spc_upload_block
    spc_set_upload_dest spc_start
    jsr spc_start_program
    lda #$01
    sta RESULT_STARTED

    lda #AUDIO_READY
:   cmp APUIO0
    bne :-
    lda #$01
    sta RESULT_READY

    ; Questions: port 1 = value, port 0 = question number; the program
    ; answers value squared on ports 1-2 and echoes the number on port 0.
    lda #3
    ldx #0
    jsr ask
    lda #16
    ldx #2
    jsr ask
    lda #200
    ldx #4
    jsr ask
    lda #$01
    sta RESULT_DONE

forever:
    bra forever

; A = value, X = offset of the answer in RESULT_SQUARES.
.proc ask
    sta APUIO1
    inc question
    lda question
    sta APUIO0
:   cmp APUIO0
    bne :-
    lda APUIO1
    sta RESULT_SQUARES,x
    lda APUIO2
    sta RESULT_SQUARES + 1,x
    rts
.endproc

spc_upload_routines

nmi:
irq:
    rti

; ---------------------------------------------------------------------------
; The audio program, assembled for audio RAM $0200.

.segment "RODATA"
spc_program_rom:
.org $0200
spc_start:
    spc_mov_dp_imm SPC_CONTROL, $30     ; clear the input ports, timers off, boot ROM off
    spc_mov_x_imm 0
@setup:                                 ; (register, value) pairs up to $FF
    spc_mov_a_absx dsp_setup
    spc_cmp_a_imm $FF
    spc_beq @playing
    spc_mov_dp_a SPC_DSPADDR
    spc_inc_x
    spc_mov_a_absx dsp_setup
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_x
    spc_bra @setup
@playing:
    spc_mov_dp_imm $10, 0               ; last question number seen
    spc_mov_dp_imm SPC_PORT0, AUDIO_READY
@wait:
    spc_mov_a_dp SPC_PORT0
    spc_cbne_dp $10, @question
    spc_bra @wait
@question:
    spc_mov_dp_a $10
    spc_mov_y_dp SPC_PORT1
    spc_mov_a_y
    spc_mul_ya                          ; YA = value squared
    spc_mov_dp_a SPC_PORT1
    spc_mov_dp_y SPC_PORT2
    spc_mov_dp_dp SPC_PORT0, $10        ; answer complete: echo the number
    spc_bra @wait

dsp_setup:
    .byte DSP_FLG, $20                  ; out of reset, echo off
    .byte DSP_DIR, >sample_directory
    .byte DSP_MVOLL, $7F, DSP_MVOLR, $7F
    .byte DSP_EVOLL, 0, DSP_EVOLR, 0, DSP_EON, 0
    .byte DSP_VOLL, $40                 ; voice 0 left +64
    .byte DSP_VOLR, $E0                 ; voice 0 right -32
    .byte DSP_PITCHL, $00, DSP_PITCHH, $10
    .byte DSP_SRCN, 0
    .byte DSP_ADSR1, $80 | (3 << 4) | 10   ; attack 40 ms, decay to sustain about 88 ms
    .byte DSP_ADSR2, (3 << 5) | 0          ; sustain at one half, held
    .byte DSP_GAIN, 0
    .byte DSP_KON, $01
    .byte $FF
.reloc
spc_program_rom_end:

; ---------------------------------------------------------------------------
; Sample directory and sample, for audio RAM $1000: one period of a sine in
; 32 samples (two BRR blocks, shift 11, filter 0), looping.

.macro brr_data n0, n1, n2, n3, n4, n5, n6, n7, n8, n9, n10, n11, n12, n13, n14, n15
    .byte ((n0 & 15) << 4) | (n1 & 15), ((n2 & 15) << 4) | (n3 & 15)
    .byte ((n4 & 15) << 4) | (n5 & 15), ((n6 & 15) << 4) | (n7 & 15)
    .byte ((n8 & 15) << 4) | (n9 & 15), ((n10 & 15) << 4) | (n11 & 15)
    .byte ((n12 & 15) << 4) | (n13 & 15), ((n14 & 15) << 4) | (n15 & 15)
.endmacro

sample_rom:
.org $1000
sample_directory:
    .word sine_sample, sine_sample      ; start, loop
sine_sample:
    .byte $B0                           ; shift 11, filter 0
    brr_data 0, 1, 3, 4, 5, 6, 6, 7, 7, 7, 6, 6, 5, 4, 3, 1
    .byte $B3                           ; shift 11, filter 0, LOOP, END
    brr_data 0, -1, -3, -4, -5, -6, -6, -7, -7, -7, -6, -6, -5, -4, -3, -1
.reloc
sample_rom_end:

snes_header "VELTRANE AUDIO UPLOAD", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq
