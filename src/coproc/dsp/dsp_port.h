// The two ports through which the main CPU talks to a DSP-family chip
// (DSP-1, DSP-2, DSP-3): the data register DR and the status register SR.
//
// The chips are emulated at the level of their commands. Each chip's
// command interpreter is an explicit state machine that the port resumes
// whenever a transfer completes: one byte in 8-bit mode, the high byte in
// 16-bit mode. At each resume the interpreter takes the word the main CPU
// wrote (or simply moves on after a read), puts its next result into DR and
// returns; no time passes for the chip. Because the whole interpreter state
// is plain data, a saved state taken in the middle of a command resumes it.
#pragma once

#include <cstdint>
#include <type_traits>

#include "cart/memory_map.h"
#include "core/state_io.h"

namespace vt {

struct Machine;

// Status register bits as read.
inline constexpr uint8_t kDspRqm = 0x80;   // request for master: the chip waits for the main CPU
inline constexpr uint8_t kDspUsf1 = 0x40;  // DSP-3: its decoder waits for a further data word
inline constexpr uint8_t kDspDrs = 0x10;   // 16-bit mode: the high byte comes next
inline constexpr uint8_t kDspDrc = 0x04;   // 8-bit transfers

inline constexpr uint8_t kDspStatusIdle = kDspRqm | kDspDrc;  // $84: waiting for a command byte
inline constexpr uint8_t kDspStatusWords = kDspRqm;           // $80: 16-bit parameters and results
inline constexpr uint16_t kDspIdleData = 0x0080;              // DR while waiting for a command

struct DspPort {
    uint16_t dr = kDspIdleData;
    uint8_t sr = kDspStatusIdle;
    // Bit of the address's high byte that selects SR instead of DR: $10 on
    // HiROM boards ($7000-$7FFF), $40 on LoROM boards ($C000-$FFFF, or
    // $4000-$7FFF in the lower halves of banks $60-$6F).
    uint8_t select_mask = 0x40;
};

// Back to the command loop: DR $0080, 8-bit transfers, no half-done word.
inline void dsp_port_idle(DspPort& p) {
    p.dr = kDspIdleData;
    p.sr = kDspStatusIdle;
}

// 16-bit transfers for a command's words, with `extra` status bits.
inline void dsp_port_words(DspPort& p, uint8_t extra = 0) {
    p.sr = uint8_t(kDspStatusWords | extra | (p.sr & kDspDrs));
}

// The select mask of the loaded cartridge's board.
uint8_t dsp_select_mask(const Machine& m);

// Port state in a saved state: DR, SR, select mask (4 bytes).
inline constexpr uint32_t kDspPortStateSize = 4;
template <class Io>
void dsp_port_state_io(Io& io, std::conditional_t<Io::loading, DspPort, const DspPort>& p) {
    io.u16(p.dr);
    io.u8_masked(p.sr, kDspRqm | kDspUsf1 | kDspDrs | kDspDrc);
    io.u8(p.select_mask);
    if constexpr (Io::loading) {
        p.sr |= kDspRqm;  // the chip always waits for the main CPU
        if (p.select_mask != 0x10) p.select_mask = 0x40;
    }
}

// --- one byte of a transfer. Both return true when the transfer is
// complete, so the chip's interpreter runs.
inline bool dsp_port_read_byte(DspPort& p, uint8_t& value) {
    if (p.sr & kDspDrc) {
        value = uint8_t(p.dr);
        return true;
    }
    if (!(p.sr & kDspDrs)) {
        value = uint8_t(p.dr);
        p.sr |= kDspDrs;
        return false;
    }
    value = uint8_t(p.dr >> 8);
    p.sr &= uint8_t(~kDspDrs);
    return true;
}

inline bool dsp_port_write_byte(DspPort& p, uint8_t value) {
    if (p.sr & kDspDrc) {
        p.dr = uint16_t((p.dr & 0xFF00) | value);
        return true;
    }
    if (!(p.sr & kDspDrs)) {
        p.dr = uint16_t((p.dr & 0xFF00) | value);
        p.sr |= kDspDrs;
        return false;
    }
    p.dr = uint16_t((p.dr & 0x00FF) | (value << 8));
    p.sr &= uint8_t(~kDspDrs);
    return true;
}

// The byte a read would return now, changing nothing.
inline uint8_t dsp_port_peek_byte(const DspPort& p, uint16_t addr) {
    if ((addr >> 8) & p.select_mask) return p.sr;
    if (!(p.sr & kDspDrc) && (p.sr & kDspDrs)) return uint8_t(p.dr >> 8);
    return uint8_t(p.dr);
}

}  // namespace vt
