; Eight-voice cartridge: a small audio driver keeps all eight voices of the
; sound generator playing a looping sine with ADSR envelopes (attack, decay,
; then a held sustain) and echo through audio RAM at $2000, and
; on every tick of timer 0 (500 per second) rewrites their pitches, as a
; music player does. Used by the audio benchmark and its test.
;
; Work RAM: $0100 = $01 once the driver has signalled it runs ($5A on
; port 0). Audio RAM: $21 counts the driver's ticks.
.include "snes.inc"
.include "spc700.inc"

RESULT_READY = $0100
AUDIO_READY  = $5A
TICKS        = $21      ; audio direct page
VOICE_BASE   = $20

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
    stz RESULT_READY

    jsr spc_wait_boot
    ldx #.loword(driver_rom)
    ldy #driver_rom_end - driver_rom
    spc_set_upload_dest driver_start
    jsr spc_upload_block
    ldx #.loword(sample_rom)
    ldy #sample_rom_end - sample_rom
    spc_set_upload_dest sample_directory
    jsr spc_upload_block
    spc_set_upload_dest driver_start
    jsr spc_start_program

    lda #AUDIO_READY
:   cmp APUIO0
    bne :-
    lda #$01
    sta RESULT_READY
forever:
    bra forever

spc_upload_routines

nmi:
irq:
    rti

; ---------------------------------------------------------------------------
; The driver, for audio RAM $0200.

.segment "RODATA"
driver_rom:
.org $0200
driver_start:
    spc_mov_dp_imm SPC_CONTROL, $30     ; clear the input ports, timers off, boot ROM off

    ; Global registers: (register, value) pairs up to $FF.
    spc_mov_x_imm 0
@global:
    spc_mov_a_absx global_setup
    spc_cmp_a_imm $FF
    spc_beq @voices
    spc_mov_dp_a SPC_DSPADDR
    spc_inc_x
    spc_mov_a_absx global_setup
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_x
    spc_bra @global

    ; The same eight voice registers for every voice.
@voices:
    spc_mov_dp_imm VOICE_BASE, $00
@voice:
    spc_mov_y_imm 0
@register:
    spc_mov_a_y
    spc_clrc
    spc_adc_a_dp VOICE_BASE
    spc_mov_dp_a SPC_DSPADDR
    spc_mov_a_absy voice_setup
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_y
    spc_cmp_y_imm 8
    spc_bne @register
    spc_mov_a_dp VOICE_BASE
    spc_clrc
    spc_adc_a_imm $10
    spc_mov_dp_a VOICE_BASE
    spc_bpl @voice

    spc_mov_dp_imm SPC_DSPADDR, DSP_KON
    spc_mov_dp_imm SPC_DSPDATA, $FF
    spc_mov_dp_imm TICKS, 0
    spc_mov_dp_imm SPC_T0TARGET, 16     ; 8 kHz / 16
    spc_mov_dp_imm SPC_CONTROL, $01     ; timer 0 on
    spc_mov_dp_imm SPC_PORT0, AUDIO_READY

    ; Each tick: PITCH L of voice n = ticks + n x 16.
@tick:
    spc_mov_a_dp SPC_T0OUT
    spc_beq @tick
    spc_inc_dp TICKS
    spc_mov_x_imm 0
@pitch:
    spc_mov_a_x
    spc_or_a_imm DSP_PITCHL
    spc_mov_dp_a SPC_DSPADDR
    spc_mov_a_x
    spc_clrc
    spc_adc_a_dp TICKS
    spc_mov_dp_a SPC_DSPDATA
    spc_mov_a_x
    spc_clrc
    spc_adc_a_imm $10
    spc_mov_x_a
    spc_bpl @pitch
    spc_bra @tick

global_setup:
    .byte DSP_FLG, $00                  ; out of reset, echo on
    .byte DSP_DIR, >sample_directory
    .byte DSP_MVOLL, $60, DSP_MVOLR, $60
    .byte DSP_EVOLL, $20, DSP_EVOLR, $20
    .byte DSP_EFB, $40, DSP_EDL, $04, DSP_EON, $FF
    .byte DSP_ESA, $20                  ; 8 KiB of echo at $2000-$3FFF
    .byte DSP_FIR, $7F                  ; the echo passes the filter as it is
    .byte $FF

voice_setup:                            ; VOL L, VOL R, PITCH L, PITCH H, SRCN, ADSR1, ADSR2, GAIN
    .byte $18, $18, $00, $08, $00, $80 | (2 << 4) | 12, (5 << 5) | 0, $00  ; sustain held
.reloc
driver_rom_end:

; ---------------------------------------------------------------------------
; Sample directory and a looping sine, for audio RAM $1000.

.macro brr_data n0, n1, n2, n3, n4, n5, n6, n7, n8, n9, n10, n11, n12, n13, n14, n15
    .byte ((n0 & 15) << 4) | (n1 & 15), ((n2 & 15) << 4) | (n3 & 15)
    .byte ((n4 & 15) << 4) | (n5 & 15), ((n6 & 15) << 4) | (n7 & 15)
    .byte ((n8 & 15) << 4) | (n9 & 15), ((n10 & 15) << 4) | (n11 & 15)
    .byte ((n12 & 15) << 4) | (n13 & 15), ((n14 & 15) << 4) | (n15 & 15)
.endmacro

sample_rom:
.org $1000
sample_directory:
    .word sine_sample, sine_sample
sine_sample:
    .byte $B0
    brr_data 0, 1, 3, 4, 5, 6, 6, 7, 7, 7, 6, 6, 5, 4, 3, 1
    .byte $B3
    brr_data 0, -1, -3, -4, -5, -6, -6, -7, -7, -7, -6, -6, -5, -4, -3, -1
.reloc
sample_rom_end:

snes_header "VELTRANE EIGHT VOICES", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq
