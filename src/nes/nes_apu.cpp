#include "nes/nes_apu.h"

#include <algorithm>

namespace vt {

void nes_apu_power_on(NesApu& a) {
    NesApu fresh;
    fresh.dmc_read = a.dmc_read;
    fresh.dmc_context = a.dmc_context;
    a = fresh;
}
void nes_apu_reset(NesApu& a) { nes_apu_write(a, 0x4015, 0); }
void nes_apu_write(NesApu& a, uint16_t address, uint8_t value) {
    if (address >= 0x4000 && address <= 0x4017) a.registers[address - 0x4000] = value;
}
uint8_t nes_apu_read_status(NesApu& a) {
    const uint8_t s = nes_apu_peek_status(a);
    a.frame_irq = false;
    return s;
}
uint8_t nes_apu_peek_status(const NesApu& a) { return uint8_t(a.frame_irq << 6 | a.dmc_irq << 7); }
void nes_apu_run(NesApu& a, uint32_t cycles) { a.cycle += cycles; }
void nes_apu_frame_end(NesApu& a, int16_t* out, uint32_t frames) {
    std::fill(out, out + frames * 2, int16_t(0));
    a.cycle = 0;
}

}  // namespace vt
