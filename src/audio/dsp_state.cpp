// The sound generator's save-state layouts: the 128-byte register file of
// the shared "SDSP" chunk, and the playing state beside it ("XDSP"),
// without which a loaded state would fall silent until the program keys
// its voices on again and would lose the echo's history.
#include <algorithm>

#include "audio/dsp.h"
#include "core/machine.h"
#include "core/state_io.h"

namespace vt {

namespace {

constexpr uint8_t kModeCount = uint8_t(EnvelopeMode::sustain) + 1;

// The ring position and the interpolation position index the ring: a
// damaged value is brought back to one the voice can hold.
template <class Io, class Voice>
void voice_io(Io& io, Voice& v) {
    for (int i = 0; i < 12; i++) {
        int16_t s = v.ring[size_t(i)];
        io.i16(s);
        if constexpr (Io::loading) v.ring[size_t(i)] = v.ring[size_t(i) + 12] = s;
    }
    io.u8(v.ring_position);
    io.u16(v.block_address);
    io.u8(v.block_offset);
    io.u16_masked(v.interp_position, kInterpPositionMax);
    io.u8(v.key_on_delay);
    io.enum8(v.mode, kModeCount, EnvelopeMode::release);
    io.i16_within(v.envelope, 0, kEnvelopeMax);
    io.i16(v.hidden_envelope);
    io.i16(v.output);
    if constexpr (Io::loading) {
        v.ring_position = uint8_t(std::min<int>(v.ring_position, 8) & ~3);
        v.block_offset = uint8_t(std::clamp<int>(v.block_offset, 1, 7) | 1);
        v.key_on_delay = std::min<uint8_t>(v.key_on_delay, kKeyOnDelay);
    }
}

}  // namespace

template <class Io>
void dsp_registers_io(Io& io, IoMachine<Io>& m) {
    io.bytes(m.dsp.regs);
}

template <class Io>
void dsp_playback_io(Io& io, IoMachine<Io>& m) {
    auto& d = m.dsp;
    for (auto& v : d.voices) voice_io(io, v);
    io.u8(d.new_kon);
    io.u8(d.kon);
    io.u8(d.koff);
    io.u8_masked(d.every_other_sample, 1);
    io.u16(d.rate_counter);
    io.u16_masked(d.noise, 0x7FFF);
    io.u8(d.echo_page);
    io.u16(d.echo_offset);
    io.u16(d.echo_length);
    io.u8_masked(d.echo_history_position, 7);
    for (auto& entry : d.echo_history) {
        io.i16(entry[0]);
        io.i16(entry[1]);
    }
    io.u32_at_most(d.native_phase, kDspSampleRate - 1);
    resampler_state_io<Io>(io, d.resampler);
    if constexpr (Io::loading) {
        d.rate_counter = std::min<uint16_t>(d.rate_counter, kRateCounterRange - 1);
        d.echo_offset &= 0xFFFC;
        d.echo_length = std::min<uint16_t>(d.echo_length & 0xF800, 15 * 0x800);
    }
}

template void dsp_registers_io(StateWriter&, const Machine&);
template void dsp_registers_io(StateReader&, Machine&);
template void dsp_playback_io(StateWriter&, const Machine&);
template void dsp_playback_io(StateReader&, Machine&);

}  // namespace vt
