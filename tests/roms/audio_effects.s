; Sound effects cartridge: an audio driver plays, one after the other, an
; echo, noise and pitch modulation, so that tests can find each in the
; output at its time.
;
;   phase 1  voice 0 plays a 2 ms burst (left $7F, right $3F) into the echo:
;            buffer at $4000, EDL 3 (6 KiB, 48 ms), FIR 0 = $7F and the other
;            taps 0, EFB $40, EVOL $40, MVOL $7F
;   phase 2  echo off (FLG bit 5, EON 0); voice 1 plays noise at noise rate
;            $10 (500 steps a second)
;   phase 3  voice 4 plays a 500 Hz sine alone
;   phase 4  voice 3 (volume 0) plays a constant level and modulates voice
;            4's pitch (PMON bit 4)
;
; Audio RAM $20 holds the phase number (0 while setting up); $4000-$57FF
; is cleared before the echo is enabled, and the driver never touches
; audio RAM from $5800. Work RAM $0100 = $01 once the driver runs.
.include "snes.inc"
.include "spc700.inc"

RESULT_READY = $0100
AUDIO_READY  = $5A
PHASE        = $20      ; audio direct page
COUNT        = $21
POINTER      = $22      ; and $23

ECHO_PAGE    = $40
ECHO_PAGES   = $18      ; EDL 3: 3 x 2 KiB

; Script commands: a register number below $80 with its value, or
CMD_WAIT     = $FE      ; ticks: wait ticks x 10 ms
CMD_PHASE    = $FD      ; n: phase n starts
CMD_END      = $FF

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
    spc_mov_dp_imm PHASE, 0

    ; Clear the echo buffer, as a program must before it enables echo writes.
    spc_mov_dp_imm POINTER, $00
    spc_mov_dp_imm POINTER + 1, ECHO_PAGE
    spc_mov_a_imm 0
    spc_mov_y_imm 0
@clear:
    spc_mov_idpy_a POINTER
    spc_inc_y
    spc_bne @clear
    spc_inc_dp POINTER + 1
    spc_cmp_dp_imm POINTER + 1, ECHO_PAGE + ECHO_PAGES
    spc_bne @clear

    spc_mov_dp_imm SPC_T0TARGET, 80     ; 8 kHz / 80: a tick every 10 ms
    spc_mov_dp_imm SPC_CONTROL, $01     ; timer 0 on
    spc_mov_dp_imm SPC_PORT0, AUDIO_READY

    spc_mov_x_imm 0
@next:
    spc_mov_a_absx script
    spc_inc_x
    spc_cmp_a_imm CMD_END
    spc_beq @done
    spc_cmp_a_imm CMD_WAIT
    spc_beq @wait
    spc_cmp_a_imm CMD_PHASE
    spc_beq @phase
    spc_mov_dp_a SPC_DSPADDR
    spc_mov_a_absx script
    spc_inc_x
    spc_mov_dp_a SPC_DSPDATA
    spc_bra @next
@phase:
    spc_mov_a_absx script
    spc_inc_x
    spc_mov_dp_a PHASE
    spc_bra @next
@wait:
    spc_mov_a_absx script
    spc_inc_x
    spc_mov_dp_a COUNT
    spc_mov_a_dp SPC_T0OUT              ; start from a fresh tick
@tick:
    spc_mov_a_dp SPC_T0OUT
    spc_beq @tick
    spc_dbnz_dp COUNT, @tick
    spc_bra @next
@done:
    spc_bra @done

script:
    ; Global setup, echo writes still off.
    .byte DSP_FLG, $20
    .byte DSP_DIR, >sample_directory
    .byte DSP_MVOLL, $7F, DSP_MVOLR, $7F
    .byte DSP_EVOLL, $40, DSP_EVOLR, $40
    .byte DSP_EFB, $40, DSP_ESA, ECHO_PAGE, DSP_EDL, $03
    .byte DSP_FIR + $00, $7F, DSP_FIR + $10, 0, DSP_FIR + $20, 0, DSP_FIR + $30, 0
    .byte DSP_FIR + $40, 0, DSP_FIR + $50, 0, DSP_FIR + $60, 0, DSP_FIR + $70, 0
    .byte DSP_EON, $01, DSP_PMON, $00, DSP_NON, $00, DSP_KOFF, $00
    ; Voice 0: the burst. Direct GAIN $7F: level $7F0 at once.
    .byte $00 | DSP_VOLL, $7F, $00 | DSP_VOLR, $3F, $00 | DSP_PITCHL, $00, $00 | DSP_PITCHH, $10
    .byte $00 | DSP_SRCN, 0, $00 | DSP_ADSR1, $00, $00 | DSP_GAIN, $7F
    ; Voice 1: noise (its sample only keeps the decoder busy).
    .byte $10 | DSP_VOLL, $20, $10 | DSP_VOLR, $20, $10 | DSP_PITCHL, $00, $10 | DSP_PITCHH, $10
    .byte $10 | DSP_SRCN, 2, $10 | DSP_ADSR1, $00, $10 | DSP_GAIN, $7F
    ; Voice 3: the constant level that modulates voice 4, not heard itself.
    .byte $30 | DSP_VOLL, $00, $30 | DSP_VOLR, $00, $30 | DSP_PITCHL, $00, $30 | DSP_PITCHH, $10
    .byte $30 | DSP_SRCN, 2, $30 | DSP_ADSR1, $00, $30 | DSP_GAIN, $7F
    ; Voice 4: a sine of 32 samples at pitch $0800, 500 Hz.
    .byte $40 | DSP_VOLL, $40, $40 | DSP_VOLR, $40, $40 | DSP_PITCHL, $00, $40 | DSP_PITCHH, $08
    .byte $40 | DSP_SRCN, 1, $40 | DSP_ADSR1, $00, $40 | DSP_GAIN, $7F
    .byte CMD_WAIT, 4                   ; out of reset and muting, echo writes on
    .byte DSP_FLG, $00
    .byte CMD_WAIT, 4

    .byte CMD_PHASE, 1, DSP_KON, $01
    .byte CMD_WAIT, 25

    .byte DSP_FLG, $20, DSP_EON, $00, DSP_EVOLL, $00, DSP_EVOLR, $00
    .byte CMD_PHASE, 2, DSP_FLG, $20 | $10, DSP_NON, $02, DSP_KON, $02
    .byte CMD_WAIT, 60
    .byte DSP_KOFF, $02
    .byte CMD_WAIT, 3
    .byte DSP_KOFF, $00, DSP_NON, $00

    .byte CMD_PHASE, 3, DSP_KON, $10
    .byte CMD_WAIT, 40

    .byte CMD_PHASE, 4, DSP_PMON, $10, DSP_KON, $08
    .byte CMD_WAIT, 40

    .byte CMD_PHASE, 5, DSP_KOFF, $18
    .byte CMD_END
.reloc
driver_rom_end:

; ---------------------------------------------------------------------------
; Sample directory and samples, for audio RAM $1000.

.macro brr_data n0, n1, n2, n3, n4, n5, n6, n7, n8, n9, n10, n11, n12, n13, n14, n15
    .byte ((n0 & 15) << 4) | (n1 & 15), ((n2 & 15) << 4) | (n3 & 15)
    .byte ((n4 & 15) << 4) | (n5 & 15), ((n6 & 15) << 4) | (n7 & 15)
    .byte ((n8 & 15) << 4) | (n9 & 15), ((n10 & 15) << 4) | (n11 & 15)
    .byte ((n12 & 15) << 4) | (n13 & 15), ((n14 & 15) << 4) | (n15 & 15)
.endmacro

sample_rom:
.org $1000
sample_directory:
    .word burst_sample, burst_sample    ; 0
    .word sine_sample, sine_sample      ; 1
    .word level_sample, level_sample    ; 2

; 64 samples of 8192 (shift 11, nibble 4), then a silent block with END alone:
; the voice falls silent when it gets there.
burst_sample:
    .byte $B0
    brr_data 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4
    .byte $B0
    brr_data 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4
    .byte $B0
    brr_data 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4
    .byte $B0
    brr_data 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4
    .byte $01
    brr_data 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0

sine_sample:
    .byte $B0
    brr_data 0, 1, 3, 4, 5, 6, 6, 7, 7, 7, 6, 6, 5, 4, 3, 1
    .byte $B3
    brr_data 0, -1, -3, -4, -5, -6, -6, -7, -7, -7, -6, -6, -5, -4, -3, -1

; A looping constant 16384 (shift 12, nibble 4).
level_sample:
    .byte $C3
    brr_data 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4
.reloc
sample_rom_end:

snes_header "VELTRANE SOUND FX", $20, 5
snes_vectors irq, irq, nmi, irq, irq, nmi, reset, irq