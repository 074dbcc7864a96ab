// The PPU's save-state chunks: "SPPU" (registers, OAM and CGRAM, 1128
// bytes) and "VRAM" (the low plane, then the high plane). Latches are not
// part of the state; loading rebuilds every derived value.
#include <algorithm>

#include "core/byte_stream.h"
#include "core/machine.h"

namespace vt {


void ppu_save_state(const Machine& m, uint8_t* out) {
    const Ppu& p = m.ppu;
    ByteWriter w{out};
    w.u8(p.inidisp);
    w.u8(p.objsel);
    w.u8(p.oamaddl);
    w.u8(p.oamaddh);
    w.bytes(p.oam);
    w.u8(p.bgmode);
    w.u8(p.mosaic);
    for (uint8_t sc : p.bgsc) w.u8(sc);
    w.u8(p.bg12nba);
    w.u8(p.bg34nba);
    for (int n = 0; n < 4; n++) {
        w.u16(p.hofs[n]);
        w.u16(p.vofs[n]);
    }
    w.u8(p.vmain);
    w.u16(p.vram_addr);
    w.u8(p.m7sel);
    for (uint16_t v : p.m7) w.u16(v);
    w.u8(p.cgadd);
    w.bytes(p.cgram);
    w.u8(p.w12sel);
    w.u8(p.w34sel);
    w.u8(p.wobjsel);
    for (uint8_t v : p.wh) w.u8(v);
    w.u8(p.wbglog);
    w.u8(p.wobjlog);
    w.u8(p.tm);
    w.u8(p.ts);
    w.u8(p.tmw);
    w.u8(p.tsw);
    w.u8(p.cgwsel);
    w.u8(p.cgadsub);
    w.u16(p.coldata);
    w.u8(p.setini);
    w.u8(uint8_t(p.product));
    w.u8(uint8_t(p.product >> 8));
    w.u8(uint8_t(p.product >> 16));
    w.u16(p.ophct);
    w.u16(p.opvct);
    w.u8(p.stat77);
    w.u8(p.stat78);
}

void ppu_load_state(Machine& m, const uint8_t* in) {
    Ppu& p = m.ppu;
    ByteReader r{in};
    p.inidisp = r.u8();
    p.objsel = r.u8();
    p.oamaddl = r.u8();
    p.oamaddh = r.u8();
    r.bytes(p.oam);
    p.bgmode = r.u8();
    p.mosaic = r.u8();
    for (uint8_t& sc : p.bgsc) sc = r.u8();
    p.bg12nba = r.u8();
    p.bg34nba = r.u8();
    for (int n = 0; n < 4; n++) {
        p.hofs[n] = r.u16();
        p.vofs[n] = r.u16();
    }
    p.vmain = r.u8();
    p.vram_addr = r.u16();
    p.m7sel = r.u8();
    for (uint16_t& v : p.m7) v = r.u16();
    p.cgadd = r.u8();
    r.bytes(p.cgram);
    p.w12sel = r.u8();
    p.w34sel = r.u8();
    p.wobjsel = r.u8();
    for (uint8_t& v : p.wh) v = r.u8();
    p.wbglog = r.u8();
    p.wobjlog = r.u8();
    p.tm = r.u8();
    p.ts = r.u8();
    p.tmw = r.u8();
    p.tsw = r.u8();
    p.cgwsel = r.u8();
    p.cgadsub = r.u8();
    p.coldata = r.u16() & 0x7FFF;
    p.setini = r.u8();
    p.product = r.u8();
    p.product |= uint32_t(r.u8()) << 8;
    p.product |= uint32_t(r.u8()) << 16;
    p.product_stale = false;
    p.ophct = r.u16();
    p.opvct = r.u16();
    p.stat77 = r.u8();
    p.stat78 = r.u8();
    ppu_refresh_derived(m);
}

void vram_save_state(const Machine& m, uint8_t* out) {
    std::copy(m.ppu.vram_lo.begin(), m.ppu.vram_lo.end(), out);
    std::copy(m.ppu.vram_hi.begin(), m.ppu.vram_hi.end(), out + kVramWords);
}

void vram_load_state(Machine& m, const uint8_t* in) {
    std::copy(in, in + kVramWords, m.ppu.vram_lo.begin());
    std::copy(in + kVramWords, in + 2 * kVramWords, m.ppu.vram_hi.begin());
    m.ppu.tile_state.fill(0);
    for (BgLayer& bg : m.ppu.bg) bg.row_key = kRowKeyInvalid;
}

}  // namespace vt
