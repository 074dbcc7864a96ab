; Addressing modes and register widths of the 65816, run on the real memory
; map. Each check leaves a 16-bit result in the table at $7E:2000 (slot n at
; $7E:2000 + 2n, written with a long store, so 8-bit results leave the high
; byte 0); the test compares the table with values worked out by hand. Slot
; 127 holds $600D once the program has run to its end, where it stops (STP).
.include "snes.inc"

RESULTS = $7E2000

.macro result n
    sta f:RESULTS + 2 * (n)
.endmacro

.segment "CODE"

; ---------------------------------------------------------------------------
; Emulation mode: 8-bit registers, direct page and stack page wrapping, and
; where the 65816's own instructions and modes leave page 1.
.a8
.i8
reset:
    sei
    ; Clear the result table (256 bytes) and the scratch area at $1000.
    ldx #0
    lda #0
@clear:
    sta f:RESULTS, x
    sta $1000, x
    inx
    bne @clear

    ; Slot 0: D = $0100, LDA $FF,X with X = 2 wraps within the page to $0101.
    lda #$AA
    sta $0101
    lda #$BB
    sta $0201
    lda #$01
    xba                 ; B = $01 for the TCDs below
    lda #$00
    tcd                 ; D = $0100
    ldx #2
    lda z:$FF, x
    result 0            ; $AA

    ; Slot 1: D = $0180: the full sum $0281.
    lda #$CC
    sta $0281
    lda #$DD
    sta $0181
    lda #$80
    tcd                 ; D = $0180
    lda z:$FF, x
    result 1            ; $CC

    ; Slot 2: D = $0100, LDX $FF,Y with Y = 2 reads $0101.
    lda #$00
    tcd
    ldy #2
    ldx z:$FF, y
    txa
    result 2            ; $AA

    ; Slot 3: (dp,X) takes its pointer from the wrapped address $0101.
    lda #<data_e3
    sta $0101
    lda #>data_e3
    sta $0102
    lda #<data_bad
    sta $0201
    lda #>data_bad
    sta $0202
    ldx #2
    lda ($FF, x)
    result 3            ; $E3

    ; Slot 4: S = $01F0, LDA $20,S: stack-relative addressing does not wrap
    ; within page 1, it reads $0210.
    lda #$44
    sta $0110
    lda #$55
    sta $0210
    ldx #$F0
    txs
    lda $20, s
    result 4            ; $55

    ; Slots 5-8: PEA with S = $0100 writes $0100 and $00FF, outside page 1;
    ; S then returns to page 1.
    lda #$77
    sta $01FF
    lda #$00
    sta a:$00FF
    ldx #$00
    txs                 ; S = $0100
    pea $1234
    tsx
    txa
    result 5            ; $FE
    lda $0100
    result 6            ; $12
    lda a:$00FF
    result 7            ; $34
    lda $01FF
    result 8            ; $77, untouched

    ; Slots 9-11: JSL with S = $0101 into the bank $80 mirror pushes at
    ; $0101, $0100 and $00FF; the subroutine moves the return address to
    ; where RTL then pulls it from, $01FF-$0201.
    ldx #$01
    txs
    jsl far_emulation + $800000
    tsx
    txa
    result 11           ; $01

    ; Slot 12: JMP ($12FF) takes its high byte from $1300 (no 6502 page
    ; wrap on this chip).
    lda #<jmp_ok
    sta $12FF
    lda #>jmp_ok
    sta $1300
    lda #>jmp_bad
    sta $1200
    jmp ($12FF)
jmp_return:

    ; Slots 13-14: BRK in emulation mode (handler e_irq).
    ldx #$FF
    txs
    lda #$00
    xba                 ; B = 0
    lda #$00
    tcd                 ; D = $0000
    brk $EA
    ; Slot 15: COP (handler e_cop).
    cop $EA
    ; Slot 16: the stack is balanced again.
    tsx
    txa
    result 16           ; $FF

    ; Slot 17: XCE into native mode keeps 8-bit registers; status M X I C.
    lda #$01            ; N = 0, Z = 0
    clv
    clc
    xce
    php
    pla
    result 17           ; $35

; ---------------------------------------------------------------------------
; Native mode, 16-bit registers.
    rep #$30
.a16
.i16
    ldx #$1FFF
    txs
    lda #$0300
    tcd                 ; D = $0300
    lda #$1234
    result 18           ; $1234

    ; Direct-page pointers: $00 -> rom_data, $02 -> rom_data + 6,
    ; $04 (long) -> rom_data through bank $80.
    lda #rom_data
    sta $00
    lda #rom_data + 6
    sta $02
    lda #.loword(rom_data)
    sta $04
    lda #$0080
    sta $06             ; bank byte $80 (and $00 at $07)

    lda ($00)
    result 19           ; $3210
    lda [$04]
    result 20           ; $3210
    ldy #4
    lda ($00), y
    result 21           ; $BA98
    lda [$04], y
    result 22           ; $BA98
    ldx #2
    lda ($00, x)
    result 23           ; $FEDC
    lda rom_data, x
    result 24           ; $7654
    lda rom_data, y
    result 25           ; $BA98
    lda f:rom_data + $800000, x
    result 26           ; $7654

    lda #$ABCD
    sta $10             ; $0310
    lda #$0000
    lda $10
    result 27           ; $ABCD
    lda $0E, x
    result 28           ; $ABCD
    ldy #4
    ldx $0C, y
    txa
    result 29           ; $ABCD

    pea $5A5A
    lda $01, s
    result 30           ; $5A5A
    pla
    pea rom_data
    ldy #6
    lda ($01, s), y
    result 31           ; $FEDC
    pla

; 8-bit accumulator, 16-bit index.
    lda #$0000
    sep #$20
.a8
    ldy #3
    lda ($00), y
    result 32           ; $76
    ldy #5
    lda [$04], y
    result 33           ; $BA
    ldx #7
    lda rom_data, x
    result 34           ; $FE

; 8-bit index: SEP #$10 drops the high bytes; TXA at M = 0 copies the zero.
    ldx #$1234
    sep #$10
.i8
    rep #$20
.a16
    txa
    result 35           ; $0034
    ldx #$FF
    inx
    inx
    txa
    result 36           ; $0001
    rep #$10
.i16

; Stores
    lda #$1000
    sta $08             ; $08: pointer to $00:1000
    sta $0A
    lda #$007E
    sta $0C             ; $0A: long pointer to $7E:1000
    lda #$C0DE
    ldy #2
    sta ($08), y
    lda $1002
    result 37           ; $C0DE
    lda #$BEEF
    ldy #4
    sta [$0A], y
    lda f:$7E1004
    result 38           ; $BEEF
    ldx #6
    lda #$F00D
    sta f:$7E1000, x
    lda $1006
    result 39           ; $F00D
    stz $1000, x
    lda $1005
    result 40           ; $00BE
    stz $1008
    sep #$20
.a8
    lda #$99
    sta $1008
    rep #$20
.a16
    lda $1008
    result 41           ; $0099

; Read-modify-write at 16 and 8 bits
    lda #$00FF
    sta $1008
    inc $1008
    lda $1008
    result 42           ; $0100
    asl $1008
    lda $1008
    result 43           ; $0200
    sec
    ror $1008
    lda $1008
    result 44           ; $8100
    lda #$000F
    tsb $1008
    lda $1008
    result 45           ; $810F
    lda #$0100
    trb $1008
    lda $1008
    result 46           ; $800F
    sep #$20
.a8
    dec $1008
    rep #$20
.a16
    lda $1008
    result 47           ; $800E

; Decimal mode
    sed
    lda #$0999
    clc
    adc #$0001
    result 48           ; $1000
    sec
    sbc #$0001
    result 49           ; $0999
    sep #$20
.a8
    lda #$99
    clc
    adc #$01            ; $00, carry out
    adc #$00            ; + the carry
    result 50           ; $01
    clc
    lda #$45
    adc #$38
    result 51           ; $83
    rep #$20
.a16
    cld

; Block moves
    ldx #rom_data
    ldy #$1010
    lda #3
    mvn #$00, #$7E      ; source bank $00, destination bank $7E
    result 52           ; $FFFF
    lda f:$7E1010
    result 53           ; $3210
    lda f:$7E1012
    result 54           ; $7654
    ldx #rom_data + 7
    ldy #$1027
    lda #7
    mvp #$00, #$7E
    lda f:$7E1026
    result 55           ; $FEDC
    sep #$20
.a8
    phb
    pla
    rep #$20
.a16
    and #$00FF
    result 56           ; $007E: MVN/MVP leave DBR at the destination bank
    phk
    plb                 ; DBR = 0

; Carries into the next bank
    lda #$6655
    sta f:$7F0001
    pea $7E7E
    plb
    plb                 ; DBR = $7E
    ldx #2
    lda $FFFF, x
    result 57           ; $6655
    lda #$FFFF
    sta $20
    ldy #2
    lda ($20), y
    result 58           ; $6655
    phk
    plb
    sep #$20
.a8
    lda #$11
    sta f:$7EFFFF
    lda #$22
    sta f:$7F0000
    rep #$20
.a16
    lda f:$7EFFFF
    result 59           ; $2211

; Calls and jumps
    lda #$1233
    jsr add_one
    result 60           ; $1234
    jsl far_native + $800000
    result 61           ; $0080
    ldx #2
    jmp (jump_table, x)
jump_return:
    lda #.loword(jml_target)
    sta $1030
    lda #$0080
    sta $1032
    jml [$1030]
jml_return:
    per per_target
per_target:
    pla
    sec
    sbc #per_target - $100
    result 64           ; $0100
    lda #$4321
    sta $20
    pei ($20)
    pla
    result 65           ; $4321
    brl brl_target
brl_return:
    ldx #5
    lda #0
@loop:
    clc
    adc #3
    dex
    bne @loop
    result 67           ; $000F
    lda #$7FFF
    clc
    adc #1
    bvs @overflow
    lda #$0002
    bra @store
@overflow:
    lda #$0001
@store:
    result 68           ; $0001

; Software interrupts in native mode
    brk $00             ; slot 69
    cop $00             ; slot 70
    tsc
    result 71           ; $1FFF

; Transfers
    lda #$1234
    xba
    result 72           ; $3412
    tdc
    result 73           ; $0300
    ldx #$5555
    txy
    tya
    result 74           ; $5555

; Back to emulation mode: the stack returns to page 1.
    sec
    xce
.a8
.i8
    tsx
    txa
    result 75           ; $FF

    ; REP in emulation mode changes only the status byte: the immediates
    ; below stay one byte long.
    rep #$30
    lda #$0D
    sta f:RESULTS + 2 * 127
    lda #$60
    sta f:RESULTS + 2 * 127 + 1
    stp

; ---------------------------------------------------------------------------
; Subroutines and targets

.a8
.i8
far_emulation:          ; runs in bank $80; JSL left S at $01FE
    phk
    pla
    result 9            ; $80
    tsx
    txa
    result 10           ; $FE
    lda a:$00FF         ; return address low byte, pushed into page 0
    sta $01FF
    lda $0100           ; high byte
    sta $0200
    lda $0101           ; bank
    sta $0201
    rtl                 ; pulls $01FF, $0200, $0201; S ends at $0101

; JMP ($12FF) lands at jmp_ok; jmp_bad would mean the pointer's high byte
; came from $1200, as on the 6502.
jmp_ok:
    lda #$01
    result 12           ; $01
    jmp jmp_return
    .res 256 - (* - jmp_ok), $EA
jmp_bad:
    lda #$02
    result 12
    jmp jmp_return

e_irq:                  ; BRK in emulation mode
    php
    pla
    and #$3C
    result 13           ; $34: M and X read 1 in emulation mode, I set, D clear
    lda $01, s
    and #$3C
    result 14           ; $34: the status as pushed, bit 4 set by BRK
    rti

e_cop:
    lda #$C0
    result 15           ; $C0
    rti

e_nmi:
    rti

.a16
.i16
add_one:
    inc a
    rts

far_native:
    sep #$20
.a8
    phk
    pla
    rep #$20
.a16
    and #$00FF
    rtl

jump_table:
    .addr jump_bad, jump_good
jump_good:
    lda #$600D
    result 62           ; $600D
    jmp jump_return
jump_bad:
    lda #$BAAD
    result 62
    jmp jump_return

jml_target:             ; reached in bank $80
    sep #$20
.a8
    phk
    pla
    rep #$20
.a16
    and #$00FF
    result 63           ; $0080
    jml jml_return

brl_target:
    lda #$B00B
    result 66           ; $B00B
    brl brl_return

n_brk:
    lda #$B4B4
    result 69           ; $B4B4
    rti

n_cop:
    lda #$C0C0
    result 70           ; $C0C0
    rti

n_irq:
n_nmi:
    rti

.segment "RODATA"
rom_data:
    .byte $10, $32, $54, $76, $98, $BA, $DC, $FE
data_e3:
    .byte $E3
data_bad:
    .byte $BD

snes_header "VELTRANE CPU ADDRESS", $20, 5
snes_vectors n_cop, n_brk, n_nmi, n_irq, e_cop, e_nmi, reset, e_irq
