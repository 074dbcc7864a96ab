#include "coproc/dsp/dsp4.h"

#include <cstdio>

#include "coproc/dsp/dsp_port.h"
#include "coproc/unknown_command_log.h"
#include "core/machine.h"

namespace vt {

namespace {

void wait_for_command(Dsp4& d, DspPort& p) {
    d.step = 0;
    dsp_port_idle(p);
}

void give(DspPort& p, uint16_t word) {
    p.dr = word;
    dsp_port_words(p);
}

bool is_multiply(uint8_t command) { return command == 0x00 || command == 0x11; }

// Multiply, one call per completed transfer after the command byte:
// 1 takes a, 2 takes b and gives the low word, 3 gives the high word, 4
// (the high word read) ends the command.
void multiply(Dsp4& d, DspPort& p) {
    switch (d.step) {
        case 1:
            d.words[0] = p.dr;
            d.step = 2;
            return;
        case 2:
            d.words[1] = p.dr;
            d.result = uint32_t(int32_t(int16_t(d.words[0])) * int32_t(int16_t(d.words[1])));
            give(p, uint16_t(d.result));
            d.step = 3;
            return;
        case 3:
            give(p, uint16_t(d.result >> 16));
            d.step = 4;
            return;
        default:
            wait_for_command(d, p);
            return;
    }
}

void take_command(Machine& m, Dsp4& d, DspPort& p) {
    const uint8_t command = uint8_t(p.dr);
    if (is_multiply(command)) {
        d.command = command;
        d.step = 1;
        p.sr = kDspStatusWords;
        return;
    }
    if (command == 0x03 || command == 0x0E) {
        wait_for_command(d, p);
        return;
    }
    log_unknown_command(m, "DSP4", command);
    wait_for_command(d, p);
}

}  // namespace

void dsp4_resume(Machine& m) {
    Dsp4& d = m.dsp_family.dsp4;
    DspPort& p = m.dsp_family.port;
    if (d.step == 0) {
        take_command(m, d, p);
    } else {
        multiply(d, p);
    }
}

template <class Io>
void dsp4_state_io(Io& io, IoMachine<Io>& m) {
    auto& d = m.dsp_family.dsp4;
    io.u8(d.command);
    io.u8(d.step);
    io.u16(d.words[0]);
    io.u16(d.words[1]);
    io.u32(d.result);
    if constexpr (Io::loading) {
        // Only the multiply is in progress between transfers.
        if (!is_multiply(d.command) || d.step > 4) d.step = 0;
    }
}

template void dsp4_state_io<StateWriter>(StateWriter&, const Machine&);
template void dsp4_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
