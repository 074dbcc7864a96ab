// Register record of a 65816 core. The main CPU and the SA-1 share this
// layout; each instance lives in the Machine that owns it.
#pragma once

#include <cstdint>

namespace vt {

// Registers and interrupt inputs. The arithmetic flags C, Z, V and N are kept
// unpacked (each 0 or 1) so instructions set them straight from their
// results; `p` holds the other status bits (M, X, D, I and, in emulation
// mode, bit 4 as the break flag).
struct CpuRegs {
    uint16_t a = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t d = 0;
    uint16_t s = 0x01FF;
    uint16_t pc = 0;
    uint8_t pbr = 0;
    uint8_t dbr = 0;
    uint8_t p = 0x24;
    uint8_t c = 0;
    uint8_t z = 0;
    uint8_t v = 0;
    uint8_t n = 0;
    uint8_t e = 1;

    uint8_t nmi_pending = 0;
    uint8_t irq_sources = 0;  // bit 0: H/V timer, bit 1: cartridge coprocessor
    uint8_t irq_mask = 0;     // 3 while I is clear, 0 while I is set
    uint8_t waiting = 0;      // set while the CPU waits in WAI
};

// Status bits kept in `p`.
inline constexpr uint8_t kFlagM = 0x20;
inline constexpr uint8_t kFlagX = 0x10;  // break flag in emulation mode
inline constexpr uint8_t kFlagD = 0x08;
inline constexpr uint8_t kFlagI = 0x04;

// IRQ source bits.
inline constexpr uint8_t kIrqTimer = 0x01;
inline constexpr uint8_t kIrqCartridge = 0x02;

// The full status byte: N, V, Z, C from the flags, bits 5-2 from `p`.
inline uint8_t cpu_status(const CpuRegs& r) {
    return uint8_t((r.n << 7) | (r.v << 6) | (r.p & 0x3C) | (r.z << 1) | r.c);
}

// Clock units of one idle step of a CPU waiting in WAI or stopped by STP.
inline constexpr int kIdleStepUnits = 6;

// A core instance: registers plus its dispatch state. `Ctx` is the object the
// core's bus works on (the Machine for the main CPU).
template <class Ctx>
struct CpuCore : CpuRegs {
    using Routine = void (*)(Ctx&);
    Routine next_step = nullptr;      // what the driver's next step runs
    Routine check_routine = nullptr;  // interrupt check, wake-up or idle
    const Routine* table = nullptr;   // emulation table or one native quarter
};

}  // namespace vt
