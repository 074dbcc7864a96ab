// The NES side's save-state chunks, each written once for both directions
// (core/state_io.h): "XNCP" CPU, RAM, controllers and the line clock;
// "XNPP" the picture unit; "XNAP" the sound unit; "XNMP" the mapper's
// registers with PRG RAM, CHR RAM and the extra nametables. States are taken
// between frames; a loaded state re-points the mapper's pages
// (nes_side_after_state_load).
#pragma once

#include "core/machine.h"
#include "core/state_io.h"
#include "nes/nes_side.h"

namespace vt {

inline constexpr uint32_t kNesCpuChunkSize = kNesCpuStateSize + kNesRamSize + 3 + 4 + 8 + 1 + 4 + 1;

template <class Io>
void nes_cpu_chunk_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.nes;
    nes_cpu_state_io(io, s.cpu);
    io.bytes(s.ram);
    io.u8(s.strobe);
    io.bytes(s.shift);
    io.i32_within(s.clock, 0, kNesLineDots - 1);
    uint32_t low = uint32_t(s.cycles), high = uint32_t(s.cycles >> 32);
    io.u32(low);
    io.u32(high);
    uint8_t odd = s.odd_frame;
    io.u8(odd);
    uint32_t phase = uint32_t(s.sample_phase);
    io.u32_at_most(phase, 59'062'499);
    io.u8(s.open_bus);
    if constexpr (Io::loading) {
        s.cycles = uint64_t(high) << 32 | low;
        s.odd_frame = odd & 1;
        s.sample_phase = phase;
        s.strobe &= 1;
    }
}

template <class Io>
void nes_ppu_chunk_io(Io& io, IoMachine<Io>& m) {
    nes_ppu_state_io(io, m.nes.ppu);
}

template <class Io>
void nes_apu_chunk_io(Io& io, IoMachine<Io>& m) {
    nes_apu_state_io(io, m.nes.apu);
}

inline constexpr uint32_t kNesMapperChunkSize = 16 + 2 + 2 + 1 + 1 + kNesPrgRamSize + kNesChrRamSize + 2048;

template <class Io>
void nes_mapper_chunk_io(Io& io, IoMachine<Io>& m) {
    auto& st = m.nes.mapper_state;
    io.bytes(st.regs);
    io.u8(st.shift);
    io.u8_masked(st.shift_count, 7);
    io.u8(st.irq_latch);
    io.u8(st.irq_counter);
    uint8_t flags = uint8_t(st.irq_enabled) | uint8_t(st.irq_reload) << 1 | uint8_t(st.irq_line) << 2 |
                    uint8_t(st.prg_ram_enabled) << 3 | uint8_t(st.prg_ram_writable) << 4;
    io.u8(flags);
    io.enum8(st.mirroring, 5, NesMirroring::Horizontal);
    for (uint32_t i = 0; i < kNesPrgRamSize; i++) io.u8(m.cart.sram[i]);
    io.bytes(m.nes.chr_ram);
    io.bytes(m.nes.extra_nametables);
    if constexpr (Io::loading) {
        st.irq_enabled = flags & 1;
        st.irq_reload = flags & 2;
        st.irq_line = flags & 4;
        st.prg_ram_enabled = flags & 8;
        st.prg_ram_writable = flags & 16;
        if (st.shift_count > 4) st.shift_count = 0;
    }
}

}  // namespace vt
