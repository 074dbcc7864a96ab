// Runs single SPC700 instructions on a powered-on audio unit with plain RAM:
// the boot ROM unmapped, timers off, code placed at $0200.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "audio/apu.h"
#include "core/machine.h"

namespace vt::test {

struct SpcHarness {
    static constexpr uint16_t kCodeAt = 0x0200;

    std::unique_ptr<Machine> machine = make_machine();
    Machine& m = *machine;
    Apu& s = machine->apu;

    SpcHarness() {
        apu_power_on(m);
        s.ram.fill(0);
        s.io[kIoControl] = 0;
        s.ipl_mapped = false;
        s.pc = kCodeAt;
    }

    // Puts the bytes at PC and runs one instruction; returns its cycles.
    int run(std::initializer_list<uint8_t> code) {
        uint16_t at = s.pc;
        for (uint8_t b : code) s.ram[at++] = b;
        return step();
    }

    // Runs the instruction at PC; returns its cycles.
    int step() {
        uint32_t before = s.cycles;
        spc700_step(m);
        return int(s.cycles - before);
    }

    void load(uint16_t at, std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes) s.ram[at++] = b;
    }

    uint8_t psw() const { return psw_pack(s.psw); }
    void set_psw(uint8_t v) { s.psw = psw_unpack(v); }
    uint16_t ya() const { return uint16_t(s.y << 8 | s.a); }
};

// Packed flag bits.
inline constexpr uint8_t kC = 0x01, kZ = 0x02, kI = 0x04, kH = 0x08, kB = 0x10, kP = 0x20, kV = 0x40, kN = 0x80;

}  // namespace vt::test
