// The PPU's save-state chunks: "SPPU" (registers, OAM and CGRAM, 1128
// bytes) and "VRAM" (the low plane, then the high plane). Latches are not
// part of the state; loading rebuilds every derived value.
#include "core/machine.h"
#include "core/state_io.h"

namespace vt {

template <class Io>
void ppu_state_io(Io& io, IoMachine<Io>& m) {
    auto& p = m.ppu;
    io.u8(p.inidisp);
    io.u8(p.objsel);
    io.u8(p.oamaddl);
    io.u8(p.oamaddh);
    io.bytes(p.oam);
    io.u8(p.bgmode);
    io.u8(p.mosaic);
    for (auto& sc : p.bgsc) io.u8(sc);
    io.u8(p.bg12nba);
    io.u8(p.bg34nba);
    for (int n = 0; n < 4; n++) {
        io.u16(p.hofs[n]);
        io.u16(p.vofs[n]);
    }
    io.u8(p.vmain);
    io.u16(p.vram_addr);
    io.u8(p.m7sel);
    for (auto& v : p.m7) io.u16(v);
    io.u8(p.cgadd);
    io.bytes(p.cgram);
    io.u8(p.w12sel);
    io.u8(p.w34sel);
    io.u8(p.wobjsel);
    for (auto& v : p.wh) io.u8(v);
    io.u8(p.wbglog);
    io.u8(p.wobjlog);
    io.u8(p.tm);
    io.u8(p.ts);
    io.u8(p.tmw);
    io.u8(p.tsw);
    io.u8(p.cgwsel);
    io.u8(p.cgadsub);
    io.u16_masked(p.coldata, 0x7FFF);
    io.u8(p.setini);
    // The product as $2134-$2136 read now: it is computed when first read
    // after a write to M7A or M7B.
    uint32_t product = ppu_multiply_result(p);
    io.u24(product);
    io.u16(p.ophct);
    io.u16(p.opvct);
    io.u8(p.stat77);
    io.u8(p.stat78);
    if constexpr (Io::loading) {
        p.product = product;
        p.product_stale = false;
        ppu_refresh_derived(m);
    }
}

template <class Io>
void vram_state_io(Io& io, IoMachine<Io>& m) {
    io.bytes(m.ppu.vram_lo);
    io.bytes(m.ppu.vram_hi);
    if constexpr (Io::loading) {
        m.ppu.tile_state.fill(0);
        for (BgLayer& bg : m.ppu.bg) bg.row_key = kRowKeyInvalid;
    }
}

template void ppu_state_io(StateWriter&, const Machine&);
template void ppu_state_io(StateReader&, Machine&);
template void vram_state_io(StateWriter&, const Machine&);
template void vram_state_io(StateReader&, Machine&);

void ppu_save_state(const Machine& m, uint8_t* out) {
    StateWriter w{out};
    ppu_state_io(w, m);
}

void ppu_load_state(Machine& m, const uint8_t* in) {
    StateReader r{in};
    ppu_state_io(r, m);
}

void vram_save_state(const Machine& m, uint8_t* out) {
    StateWriter w{out};
    vram_state_io(w, m);
}

void vram_load_state(Machine& m, const uint8_t* in) {
    StateReader r{in};
    vram_state_io(r, m);
}

}  // namespace vt
