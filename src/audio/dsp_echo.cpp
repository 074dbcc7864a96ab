#include "audio/dsp_echo.h"

#include <algorithm>

namespace vt {

namespace {

inline int clamp16(int v) { return std::clamp(v, -32768, 32767); }

// The FIR filter over one channel's history, oldest entry first. The first
// seven products are summed and wrapped to 16 bits, the newest is added
// with saturation, as the chip adds them.
inline int fir(const std::array<std::array<int16_t, 2>, 8>& history, int newest, const uint8_t* regs, int ch) {
    int sum = 0;
    for (int tap = 0; tap < 7; tap++) {
        const int entry = history[(newest + 1 + tap) & 7][ch];
        sum += (entry * int8_t(regs[tap << 4 | kDspFir0])) >> 6;
    }
    sum = int16_t(sum);
    sum += (history[newest][ch] * int8_t(regs[7 << 4 | kDspFir0])) >> 6;
    return clamp16(sum) & ~1;
}

}  // namespace

void dsp_run_echo(Dsp& d, uint8_t* ram, const DspMix& mix, int16_t& left, int16_t& right) {
    const uint8_t* regs = d.regs.data();
    const uint16_t at = uint16_t(d.echo_page * 256 + d.echo_offset);

    // The entry written one buffer length ago joins the history (15 bits).
    const int newest = d.echo_history_position = uint8_t((d.echo_history_position + 1) & 7);
    for (int ch = 0; ch < 2; ch++) {
        const uint16_t byte = uint16_t(at + 2 * ch);
        d.echo_history[newest][ch] = int16_t(int16_t(uint16_t(ram[byte] | ram[uint16_t(byte + 1)] << 8)) >> 1);
    }

    const int echo_in[2] = {fir(d.echo_history, newest, regs, 0), fir(d.echo_history, newest, regs, 1)};
    const int main_mix[2] = {mix.main_left, mix.main_right};
    const int echo_mix[2] = {mix.echo_left, mix.echo_right};
    int out[2];
    int echo_out[2];
    for (int ch = 0; ch < 2; ch++) {
        const int main_volume = int8_t(regs[ch ? kDspMvolR : kDspMvolL]);
        const int echo_volume = int8_t(regs[ch ? kDspEvolR : kDspEvolL]);
        out[ch] = clamp16(int16_t((main_mix[ch] * main_volume) >> 7) + int16_t((echo_in[ch] * echo_volume) >> 7));
        echo_out[ch] = clamp16(echo_mix[ch] + int16_t((echo_in[ch] * int8_t(regs[kDspEfb])) >> 7)) & ~1;
    }

    const uint8_t flg = regs[kDspFlg];
    const int audible = (flg & kFlgMute) ? 0 : 1;
    left = int16_t(out[0] * audible);
    right = int16_t(out[1] * audible);

    if (!(flg & kFlgEchoOff)) {
        for (int ch = 0; ch < 2; ch++) {
            const uint16_t byte = uint16_t(at + 2 * ch);
            ram[byte] = uint8_t(echo_out[ch]);
            ram[uint16_t(byte + 1)] = uint8_t(echo_out[ch] >> 8);
        }
    }

    d.echo_page = regs[kDspEsa];
    if (d.echo_offset == 0) d.echo_length = uint16_t((regs[kDspEdl] & 0x0F) * 0x800);
    d.echo_offset = uint16_t(d.echo_offset + 4);
    if (d.echo_offset >= d.echo_length) d.echo_offset = 0;
}

}  // namespace vt
