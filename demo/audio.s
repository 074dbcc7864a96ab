; The sound side: the 65816 sends a small music player and the samples to
; the audio CPU through its boot ROM; the player then runs by itself,
; stepping eight channels (one per voice) through the song on timer 0, and
; plays a chime whenever the main CPU puts a new value on port 0.
.include "snes.inc"
.include "spc700.inc"
.include "demo.inc"

.segment "ZEROPAGE"
sound_effect_count: .res 1

.segment "CODE"
.a8
.i16

; Uploads the player and the samples and starts the player.
.proc audio_start
    jsr spc_wait_boot
    ldx #.loword(player_image)
    ldy #player_image_end - player_image
    spc_set_upload_dest player_start
    jsr spc_upload_block
    ldx #.loword(sample_image)
    ldy #sample_image_end - sample_image
    spc_set_upload_dest sample_directory
    jsr spc_upload_block
    spc_set_upload_dest player_start
    jsr spc_start_program
    rts
.endproc

; Asks the player for the chime.
.proc audio_sound_effect
    inc sound_effect_count
    lda sound_effect_count
    sta APUIO0
    rts
.endproc

spc_upload_routines

; ---------------------------------------------------------------------------
; The music player, in audio RAM from $0200.

; Direct page of the player: per channel (0-7) its position in the song
; and the rows left before its next event.
CH_POS_LO   = $00
CH_POS_HI   = $08
CH_WAIT     = $10
TICK        = $20           ; timer ticks within the row
KON_MASK    = $21           ; voices keyed on at this row
KOFF_MASK   = $22           ; voices released at this row
LAST_PORT   = $23           ; last value seen on port 0
POS         = $24           ; word: the channel's position while reading events
PITCH_LO    = $26
PITCH_HI    = $27
VOICE_REG   = $28           ; DSP register of the voice being set up
ECHO_WAIT   = $29           ; rows until the echo is turned up

TICKS_PER_ROW = 4           ; 32 ticks a second: a row lasts 125 ms

; Song events: a note (1-127) or a drum ($C0 + instrument), each followed
; by its length in rows; a rest ($80) and its length; an instrument change
; ($FE, instrument); the end of the channel ($FF), which starts it again.
EV_REST       = $80
EV_DRUM       = $C0
EV_INSTRUMENT = $FE
EV_END        = $FF

INS_LEAD  = 0
INS_BASS  = 1
INS_PAD   = 2
INS_BELL  = 3
INS_KICK  = 4
INS_SNARE = 5
INS_HAT   = 6

CHIME_NOTE = 88             ; E6

.segment "RODATA"
player_image:
.org $0200
player_start:
    spc_mov_dp_imm SPC_CONTROL, $30     ; clear the input ports, timers off, boot ROM off

    ; Global registers: (register, value) pairs up to $FF.
    spc_mov_x_imm 0
@global:
    spc_mov_a_absx global_setup
    spc_cmp_a_imm $FF
    spc_beq @volumes
    spc_mov_dp_a SPC_DSPADDR
    spc_inc_x
    spc_mov_a_absx global_setup
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_x
    spc_bra @global

    ; Each voice's left and right volume.
@volumes:
    spc_mov_x_imm 0
    spc_mov_y_imm 0
@volume:
    spc_mov_a_y
    spc_mov_dp_a SPC_DSPADDR
    spc_mov_a_absx voice_volumes
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_x
    spc_inc_y
    spc_mov_a_y
    spc_mov_dp_a SPC_DSPADDR
    spc_mov_a_absx voice_volumes
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_x
    spc_mov_a_y
    spc_clrc
    spc_adc_a_imm $0F
    spc_mov_y_a
    spc_bpl @volume

    ; Every channel at its start, with its first instrument.
    spc_mov_x_imm 7
@channel:
    spc_mov_a_absx channel_start_lo
    spc_mov_dpx_a CH_POS_LO
    spc_mov_a_absx channel_start_hi
    spc_mov_dpx_a CH_POS_HI
    spc_mov_a_imm 1
    spc_mov_dpx_a CH_WAIT
    spc_mov_a_absx channel_instrument
    spc_call set_instrument
    spc_dec_x
    spc_bpl @channel

    spc_mov_dp_imm TICK, 0
    spc_mov_dp_imm LAST_PORT, 0
    spc_mov_dp_imm ECHO_WAIT, ECHO_ROWS
    spc_mov_dp_imm SPC_T0TARGET, 250    ; 8 kHz / 250: 32 ticks a second
    spc_mov_dp_imm SPC_CONTROL, $01     ; timer 0 on

main_loop:
    spc_mov_a_dp SPC_PORT0
    spc_cmp_a_dp LAST_PORT
    spc_beq @no_chime
    spc_mov_dp_a LAST_PORT
    spc_call play_chime
@no_chime:
    spc_mov_a_dp SPC_T0OUT              ; ticks since the last read
    spc_beq main_loop
    spc_inc_dp TICK
    spc_mov_a_dp TICK
    spc_cmp_a_imm TICKS_PER_ROW
    spc_bne main_loop
    spc_mov_dp_imm TICK, 0
    spc_mov_a_dp ECHO_WAIT
    spc_beq @play
    spc_dec_dp ECHO_WAIT
    spc_bne @play
    spc_mov_x_imm 0
@echo:
    spc_mov_a_absx echo_setup
    spc_cmp_a_imm $FF
    spc_beq @play
    spc_mov_dp_a SPC_DSPADDR
    spc_inc_x
    spc_mov_a_absx echo_setup
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_x
    spc_bra @echo
@play:
    spc_call play_row
    spc_bra main_loop

; One row: every channel whose wait runs out reads its next events; then
; the rests are keyed off and the new notes keyed on together.
play_row:
    spc_mov_dp_imm KON_MASK, 0
    spc_mov_dp_imm KOFF_MASK, 0
    spc_mov_x_imm 0
@channel:
    spc_dec_dpx CH_WAIT
    spc_bne @next
    spc_call channel_events
@next:
    spc_inc_x
    spc_cmp_x_imm 8
    spc_bne @channel
    spc_mov_dp_imm SPC_DSPADDR, DSP_KOFF
    spc_mov_dp_dp SPC_DSPDATA, KOFF_MASK
    ; The sound generator looks at KOFF every other sample (64 cycles):
    ; hold it longer than that before clearing it.
    spc_mov_y_imm 24
@hold:
    spc_dbnz_y @hold
    spc_mov_dp_imm SPC_DSPDATA, 0
    spc_mov_dp_imm SPC_DSPADDR, DSP_KON
    spc_mov_dp_dp SPC_DSPDATA, KON_MASK
    spc_ret

; Reads channel X's events up to the next one with a length.
channel_events:
    spc_mov_a_dpx CH_POS_LO
    spc_mov_dp_a POS
    spc_mov_a_dpx CH_POS_HI
    spc_mov_dp_a POS + 1
@event:
    spc_call read_byte
    spc_cmp_a_imm EV_END
    spc_bne @not_end
    spc_mov_a_absx channel_start_lo
    spc_mov_dp_a POS
    spc_mov_a_absx channel_start_hi
    spc_mov_dp_a POS + 1
    spc_bra @event
@not_end:
    spc_cmp_a_imm EV_INSTRUMENT
    spc_bne @not_instrument
    spc_call read_byte
    spc_call set_instrument
    spc_bra @event
@not_instrument:
    spc_cmp_a_imm EV_DRUM
    spc_bcc @not_drum
    spc_sbc_a_imm EV_DRUM               ; carry is set
    spc_call set_instrument
    spc_mov_dp_imm PITCH_LO, $00        ; drums play at their own rate
    spc_mov_dp_imm PITCH_HI, $10
    spc_call set_pitch
    spc_bra @key_on
@not_drum:
    spc_cmp_a_imm EV_REST
    spc_bne @note
    spc_mov_a_absx voice_bit
    spc_or_a_dp KOFF_MASK
    spc_mov_dp_a KOFF_MASK
    spc_bra @length
@note:
    spc_call note_pitch
    spc_call set_pitch
@key_on:
    spc_mov_a_absx voice_bit
    spc_or_a_dp KON_MASK
    spc_mov_dp_a KON_MASK
@length:
    spc_call read_byte
    spc_mov_dpx_a CH_WAIT
    spc_mov_a_dp POS
    spc_mov_dpx_a CH_POS_LO
    spc_mov_a_dp POS + 1
    spc_mov_dpx_a CH_POS_HI
    spc_ret

; A = the byte at POS; POS advances.
read_byte:
    spc_mov_y_imm 0
    spc_mov_a_idpy POS
    spc_incw_dp POS
    spc_ret

; PITCH_LO/HI = the pitch of note A for the looping instruments.
note_pitch:
    spc_asl_a
    spc_mov_y_a
    spc_mov_a_absy pitch_table
    spc_mov_dp_a PITCH_LO
    spc_mov_a_absy pitch_table + 1
    spc_mov_dp_a PITCH_HI
    spc_ret

; Voice X's pitch registers from PITCH_LO/HI.
set_pitch:
    spc_mov_a_x
    spc_xcn_a
    spc_or_a_imm DSP_PITCHL
    spc_mov_dp_a SPC_DSPADDR
    spc_mov_dp_dp SPC_DSPDATA, PITCH_LO
    spc_inc_a
    spc_mov_dp_a SPC_DSPADDR
    spc_mov_dp_dp SPC_DSPDATA, PITCH_HI
    spc_ret

; Instrument A on voice X: sample number, ADSR1, ADSR2 and GAIN.
set_instrument:
    spc_asl_a
    spc_asl_a
    spc_mov_y_a
    spc_mov_a_x
    spc_xcn_a
    spc_or_a_imm DSP_SRCN
    spc_mov_dp_a VOICE_REG
@register:
    spc_mov_dp_dp SPC_DSPADDR, VOICE_REG
    spc_mov_a_absy instrument_table
    spc_mov_dp_a SPC_DSPDATA
    spc_inc_y
    spc_inc_dp VOICE_REG
    spc_mov_a_dp VOICE_REG
    spc_and_a_imm $0F
    spc_cmp_a_imm DSP_GAIN + 1
    spc_bne @register
    spc_ret

; The chime on voice 7 at once (the arpeggio channel picks up again at its
; next note).
play_chime:
    spc_push_x
    spc_mov_x_imm 7
    spc_mov_a_imm INS_BELL
    spc_call set_instrument
    spc_mov_a_imm CHIME_NOTE
    spc_call note_pitch
    spc_call set_pitch
    spc_mov_dp_imm SPC_DSPADDR, DSP_KON
    spc_mov_dp_imm SPC_DSPDATA, $80
    spc_pop_x
    spc_ret

; The echo buffer is audio RAM $8000-$F7FF (EDL 15: 30 KiB, 240 ms), clear
; of the player and the samples. Its first pass holds whatever audio RAM
; held, so the echo is only heard (EVOL, EFB) from the third row on, once
; the sound generator has written the whole buffer.
ECHO_PAGE = $80
ECHO_ROWS = 2

global_setup:
    .byte DSP_DIR, >sample_directory
    .byte DSP_MVOLL, $70, DSP_MVOLR, $70
    .byte DSP_EVOLL, 0, DSP_EVOLR, 0, DSP_EFB, 0
    .byte DSP_ESA, ECHO_PAGE, DSP_EDL, $0F
    .byte DSP_FIR + $00, $7F, DSP_FIR + $10, 0, DSP_FIR + $20, 0, DSP_FIR + $30, 0
    .byte DSP_FIR + $40, 0, DSP_FIR + $50, 0, DSP_FIR + $60, 0, DSP_FIR + $70, 0
    .byte DSP_EON, %10011101            ; lead, the pads and the bell echo
    .byte DSP_PMON, 0, DSP_NON, 0
    .byte DSP_FLG, $00                  ; out of reset, echo writes on
    .byte $FF

echo_setup:
    .byte DSP_EVOLL, $20, DSP_EVOLR, $20
    .byte DSP_EFB, $48
    .byte $FF

; Left and right volume of voices 0-7.
voice_volumes:
    .byte 40, 32                        ; lead
    .byte 52, 52                        ; bass
    .byte 22, 30                        ; pad
    .byte 30, 22                        ; pad
    .byte 26, 26                        ; pad
    .byte 60, 60                        ; kick and snare
    .byte 16, 24                        ; hat
    .byte 30, 20                        ; bell

; Sample number, ADSR1 (enable, decay, attack), ADSR2 (sustain level and
; rate), GAIN.
instrument_table:
    .byte 0, $80 | (4 << 4) | 12, (5 << 5) | 10, 0  ; lead
    .byte 1, $80 | (3 << 4) | 14, (4 << 5) | 12, 0  ; bass
    .byte 2, $80 | (2 << 4) | 5,  (6 << 5) | 4,  0  ; pad
    .byte 3, $80 | (6 << 4) | 15, (2 << 5) | 14, 0  ; bell
    .byte 4, $80 | 15, (7 << 5), 0                  ; kick
    .byte 5, $80 | 15, (7 << 5), 0                  ; snare
    .byte 6, $80 | 15, (7 << 5), 0                  ; hat

voice_bit:
    .byte $01, $02, $04, $08, $10, $20, $40, $80

channel_instrument:
    .byte INS_LEAD, INS_BASS, INS_PAD, INS_PAD, INS_PAD, INS_KICK, INS_HAT, INS_BELL

pitch_table:
    .incbin "pitch.bin"

.include "song.inc"
.reloc
player_image_end:

; ---------------------------------------------------------------------------
; The sample directory and the samples, in audio RAM from $1000.

sample_image:
.org $1000
sample_directory:
    .word lead_sample, lead_sample
    .word bass_sample, bass_sample
    .word pad_sample, pad_sample
    .word bell_sample, bell_sample
    .word kick_sample, kick_sample
    .word snare_sample, snare_sample
    .word hat_sample, hat_sample
lead_sample:  .incbin "lead.brr"
bass_sample:  .incbin "bass.brr"
pad_sample:   .incbin "pad.brr"
bell_sample:  .incbin "bell.brr"
kick_sample:  .incbin "kick.brr"
snare_sample: .incbin "snare.brr"
hat_sample:   .incbin "hat.brr"
.reloc
sample_image_end:
