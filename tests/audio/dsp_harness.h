// A powered-on sound generator with helpers to place BRR samples in audio
// RAM, write registers and run 32 kHz samples.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "audio/apu.h"
#include "audio/brr.h"
#include "audio/dsp.h"
#include "core/machine.h"

namespace vt::test {

struct StereoFrame {
    int16_t left;
    int16_t right;
};

struct DspHarness {
    static constexpr uint8_t kDirPage = 0x02;  // directory at $0200

    std::unique_ptr<Machine> machine = make_machine();
    Machine& m = *machine;
    Dsp& d = machine->dsp;
    std::array<uint8_t, 65536>& ram = machine->apu.ram;

    DspHarness() {
        apu_power_on(m);
        ram.fill(0);
        write(kDspDir, kDirPage);
        write(kDspFlg, kFlgEchoOff);  // out of reset, echo writes off
        write(kDspEsa, 0xF0);         // the echo reads $F000 (zero)
        write(kDspMvolL, 0x7F);
        write(kDspMvolR, 0x7F);
    }

    void write(uint8_t reg, uint8_t value) { dsp_write(m, reg, value); }
    void write_voice(int voice, uint8_t reg, uint8_t value) { dsp_write(m, uint8_t(voice << 4 | reg), value); }
    uint8_t read(uint8_t reg) { return dsp_read(m, reg); }
    void set_fir(std::initializer_list<int> taps) {
        int n = 0;
        for (int t : taps) write(uint8_t(n++ << 4 | kDspFir0), uint8_t(t));
    }

    // Directory entry `srcn`: start and loop addresses.
    void set_directory(int srcn, uint16_t start, uint16_t loop) {
        const uint16_t at = uint16_t(kDirPage * 256 + srcn * 4);
        ram[at] = uint8_t(start);
        ram[at + 1] = uint8_t(start >> 8);
        ram[at + 2] = uint8_t(loop);
        ram[at + 3] = uint8_t(loop >> 8);
    }

    // Writes one 9-byte block: the header and 16 nibbles (-8..7).
    void put_block(uint16_t at, uint8_t header, const std::array<int, 16>& nibbles) {
        ram[at] = header;
        for (int i = 0; i < 8; i++) ram[at + 1 + i] = uint8_t((nibbles[2 * i] & 15) << 4 | (nibbles[2 * i + 1] & 15));
    }

    static std::array<int, 16> all(int nibble) {
        std::array<int, 16> n;
        n.fill(nibble);
        return n;
    }

    // Sample `srcn` as one looping block of a constant: nibble << shift
    // stored (filter 0).
    void constant_sample(int srcn, uint16_t at, int nibble, int shift) {
        set_directory(srcn, at, at);
        put_block(at, brr_header(shift, 0, true, true), all(nibble));
    }

    // Voice set up for sample `srcn` at pitch $1000, full volume both sides,
    // the given envelope registers.
    void setup_voice(int voice, int srcn, uint8_t adsr1, uint8_t adsr2, uint8_t gain) {
        write_voice(voice, kVoiceVolL, 0x7F);
        write_voice(voice, kVoiceVolR, 0x7F);
        write_voice(voice, kVoicePitchL, 0x00);
        write_voice(voice, kVoicePitchH, 0x10);
        write_voice(voice, kVoiceSrcn, uint8_t(srcn));
        write_voice(voice, kVoiceAdsr1, adsr1);
        write_voice(voice, kVoiceAdsr2, adsr2);
        write_voice(voice, kVoiceGain, gain);
    }

    void key_on(uint8_t voices) { write(kDspKon, voices); }

    // Runs until the voices keyed on are past their start (the next poll
    // and five samples): `n` samples that leave the first outputs behind.
    void settle(int n = 8) { samples(n); }

    StereoFrame sample() {
        StereoFrame f;
        dsp_run_sample(m, f.left, f.right);
        return f;
    }

    std::vector<StereoFrame> samples(int n) {
        std::vector<StereoFrame> out;
        for (int i = 0; i < n; i++) out.push_back(sample());
        return out;
    }

    uint16_t ram_word(uint16_t at) const { return uint16_t(ram[at] | ram[uint16_t(at + 1)] << 8); }
};

}  // namespace vt::test
