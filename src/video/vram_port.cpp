// The VRAM data port: $2118/$2119 (write low and high byte) and $2139/$213A
// (read the prefetch latch), and the prefetch that setting the address
// makes. VMAIN chooses one of 32 handler sets when it is
// written, so an access makes no mode test: which port steps the address,
// the step and the address translation are template parameters.
#include <array>
#include <utility>

#include "core/machine.h"

namespace vt {

namespace {

// VMAIN bits 2-3: the translated address serves the access only; the
// address register steps untranslated.
template <int Translation>
constexpr uint16_t translate(uint16_t a) {
    if constexpr (Translation == 1) return uint16_t((a & 0x7F00) + ((a >> 5) & 7) + ((a & 0x1F) << 3));
    if constexpr (Translation == 2) return uint16_t((a & 0x7E00) + ((a >> 6) & 7) + ((a & 0x3F) << 3));
    if constexpr (Translation == 3) return uint16_t((a & 0x7C00) + ((a >> 7) & 7) + ((a & 0x7F) << 3));
    return a;
}

template <bool StepOnHigh, int StepCode, int Translation>
struct VramPort {
    static constexpr uint16_t kStep = StepCode == 0 ? 1 : StepCode == 1 ? 32 : 128;

    static uint16_t access_word(const Ppu& p) { return translate<Translation>(p.vram_addr) & 0x7FFF; }

    // While the picture is drawn (lines 0 to the last visible one, display
    // on) the PPU owns VRAM: a write through the port is lost, whether the
    // CPU, a DMA or an HDMA makes it; the address still steps.
    static bool write_dropped(const Machine& m) { return ppu_drawing(m); }

    static void write_low(Machine& m, uint8_t, uint16_t, uint8_t v) {
        Ppu& p = m.ppu;
        if (!write_dropped(m)) {
            const uint16_t w = access_word(p);
            p.vram_lo[w] = v;
            p.tile_state[w >> 3] = 0;
        }
        if constexpr (!StepOnHigh) p.vram_addr = uint16_t(p.vram_addr + kStep);
    }

    static void write_high(Machine& m, uint8_t, uint16_t, uint8_t v) {
        Ppu& p = m.ppu;
        if (!write_dropped(m)) {
            const uint16_t w = access_word(p);
            p.vram_hi[w] = v;
            p.tile_state[w >> 3] = 0;
        }
        if constexpr (StepOnHigh) p.vram_addr = uint16_t(p.vram_addr + kStep);
    }

    static void prefetch(Ppu& p) {
        const uint16_t w = access_word(p);
        p.vram_latch = uint16_t(p.vram_lo[w] | (p.vram_hi[w] << 8));
    }

    // The stepping port returns its latch byte, then prefetches the word at
    // the current address and steps.
    static void prefetch_and_step(Ppu& p) {
        prefetch(p);
        p.vram_addr = uint16_t(p.vram_addr + kStep);
    }

    static uint8_t read_low(Machine& m, uint8_t, uint16_t) {
        Ppu& p = m.ppu;
        const uint8_t v = uint8_t(p.vram_latch);
        if constexpr (!StepOnHigh) prefetch_and_step(p);
        p.ppu1_bus = v;
        m.mem.open_bus = v;
        return v;
    }

    static uint8_t read_high(Machine& m, uint8_t, uint16_t) {
        Ppu& p = m.ppu;
        const uint8_t v = uint8_t(p.vram_latch >> 8);
        if constexpr (StepOnHigh) prefetch_and_step(p);
        p.ppu1_bus = v;
        m.mem.open_bus = v;
        return v;
    }
};

struct PortHandlers {
    WriteHandler write_low;
    WriteHandler write_high;
    ReadHandler read_low;
    ReadHandler read_high;
    void (*prefetch)(Ppu&);
};

// Index: bits 0-1 step code, bits 2-3 translation, bit 4 step on high byte;
// that is VMAIN bits 0-3 and bit 7.
template <int Index>
constexpr PortHandlers port_handlers() {
    using Port = VramPort<(Index & 16) != 0, Index & 3, (Index >> 2) & 3>;
    return {&Port::write_low, &Port::write_high, &Port::read_low, &Port::read_high, &Port::prefetch};
}

template <size_t... I>
constexpr std::array<PortHandlers, 32> make_port_table(std::index_sequence<I...>) {
    return {port_handlers<int(I)>()...};
}

constexpr std::array<PortHandlers, 32> kPortSets = make_port_table(std::make_index_sequence<32>{});

}  // namespace

void ppu_install_vram_ports(Machine& m) {
    const uint8_t vmain = m.ppu.vmain;
    const PortHandlers& h = kPortSets[(vmain & 0x0F) | ((vmain & 0x80) >> 3)];
    m.mem.io_write[0x18] = h.write_low;
    m.mem.io_write[0x19] = h.write_high;
    m.mem.io_read[0x39] = h.read_low;
    m.mem.io_read[0x3A] = h.read_high;
}

// Writing either byte of the address loads the latch from the new
// address, translated as VMAIN says.
void ppu_vram_prefetch(Ppu& p) {
    kPortSets[(p.vmain & 0x0F) | ((p.vmain & 0x80) >> 3)].prefetch(p);
}

}  // namespace vt
