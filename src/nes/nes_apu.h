// The NES sound unit (the 2A03's APU): two pulse channels with sweep, the
// triangle, noise, the DMC, the frame counter, mixed with the console's
// non-linear mixer into 44,100 Hz stereo (both sides equal).
//
// The NES side runs it in step with the CPU (nes_apu_run after each batch
// of CPU cycles) and takes a video frame's samples at the frame's end.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

namespace vt {

struct NesApu {
    // The DMC fetches its sample bytes from the CPU's address space through
    // this reader (set by the NES side; never saved).
    uint8_t (*dmc_read)(void* context, uint16_t address) = nullptr;
    void* dmc_context = nullptr;

    std::array<uint8_t, 0x18> registers{};  // $4000-$4017 as written
    uint32_t cycle = 0;                     // CPU cycles run in this frame
    bool frame_irq = false;
    bool dmc_irq = false;
};

void nes_apu_power_on(NesApu& a);
void nes_apu_reset(NesApu& a);
// $4000-$4013, $4015, $4017.
void nes_apu_write(NesApu& a, uint16_t address, uint8_t value);
// $4015: channel status and IRQ flags; clears the frame IRQ flag.
uint8_t nes_apu_read_status(NesApu& a);
uint8_t nes_apu_peek_status(const NesApu& a);
// Runs `cycles` CPU cycles of sound.
void nes_apu_run(NesApu& a, uint32_t cycles);
// The IRQ line (frame counter or DMC).
inline bool nes_apu_irq(const NesApu& a) { return a.frame_irq || a.dmc_irq; }
// End of a video frame: writes exactly `frames` stereo frames (interleaved
// left/right) of the frame's sound to `out`.
void nes_apu_frame_end(NesApu& a, int16_t* out, uint32_t frames);

inline constexpr uint32_t kNesApuStateSize = 0x18 + 4 + 1 + 1;
template <class Io>
void nes_apu_state_io(Io& io, std::conditional_t<Io::loading, NesApu, const NesApu>& a) {
    io.bytes(a.registers);
    io.u32(a.cycle);
    uint8_t flags = uint8_t(a.frame_irq) | uint8_t(a.dmc_irq) << 1;
    io.u8(flags);
    if constexpr (Io::loading) {
        a.frame_irq = flags & 1;
        a.dmc_irq = flags & 2;
    }
    uint8_t reserved = 0;
    io.u8(reserved);
}

}  // namespace vt
