// The PPU's save-state chunks: "SPPU" (registers, OAM and CGRAM, 1128
// bytes) and "VRAM" (the low plane, then the high plane). Latches are not
// part of the state; loading rebuilds every derived value.
#include <algorithm>

#include "core/machine.h"

namespace vt {

namespace {

struct Writer {
    uint8_t* p;
    void byte(uint8_t v) { *p++ = v; }
    void word(uint16_t v) {
        *p++ = uint8_t(v);
        *p++ = uint8_t(v >> 8);
    }
    template <size_t N>
    void bytes(const std::array<uint8_t, N>& a) {
        p = std::copy(a.begin(), a.end(), p);
    }
};

struct Reader {
    const uint8_t* p;
    uint8_t byte() { return *p++; }
    uint16_t word() {
        const uint16_t v = uint16_t(p[0] | (p[1] << 8));
        p += 2;
        return v;
    }
    template <size_t N>
    void bytes(std::array<uint8_t, N>& a) {
        std::copy(p, p + N, a.begin());
        p += N;
    }
};

}  // namespace

void ppu_save_state(const Machine& m, uint8_t* out) {
    const Ppu& p = m.ppu;
    Writer w{out};
    w.byte(p.inidisp);
    w.byte(p.objsel);
    w.byte(p.oamaddl);
    w.byte(p.oamaddh);
    w.bytes(p.oam);
    w.byte(p.bgmode);
    w.byte(p.mosaic);
    for (uint8_t sc : p.bgsc) w.byte(sc);
    w.byte(p.bg12nba);
    w.byte(p.bg34nba);
    for (int n = 0; n < 4; n++) {
        w.word(p.hofs[n]);
        w.word(p.vofs[n]);
    }
    w.byte(p.vmain);
    w.word(p.vram_addr);
    w.byte(p.m7sel);
    for (uint16_t v : p.m7) w.word(v);
    w.byte(p.cgadd);
    w.bytes(p.cgram);
    w.byte(p.w12sel);
    w.byte(p.w34sel);
    w.byte(p.wobjsel);
    for (uint8_t v : p.wh) w.byte(v);
    w.byte(p.wbglog);
    w.byte(p.wobjlog);
    w.byte(p.tm);
    w.byte(p.ts);
    w.byte(p.tmw);
    w.byte(p.tsw);
    w.byte(p.cgwsel);
    w.byte(p.cgadsub);
    w.word(p.coldata);
    w.byte(p.setini);
    w.byte(uint8_t(p.product));
    w.byte(uint8_t(p.product >> 8));
    w.byte(uint8_t(p.product >> 16));
    w.word(p.ophct);
    w.word(p.opvct);
    w.byte(p.stat77);
    w.byte(p.stat78);
}

void ppu_load_state(Machine& m, const uint8_t* in) {
    Ppu& p = m.ppu;
    Reader r{in};
    p.inidisp = r.byte();
    p.objsel = r.byte();
    p.oamaddl = r.byte();
    p.oamaddh = r.byte();
    r.bytes(p.oam);
    p.bgmode = r.byte();
    p.mosaic = r.byte();
    for (uint8_t& sc : p.bgsc) sc = r.byte();
    p.bg12nba = r.byte();
    p.bg34nba = r.byte();
    for (int n = 0; n < 4; n++) {
        p.hofs[n] = r.word();
        p.vofs[n] = r.word();
    }
    p.vmain = r.byte();
    p.vram_addr = r.word();
    p.m7sel = r.byte();
    for (uint16_t& v : p.m7) v = r.word();
    p.cgadd = r.byte();
    r.bytes(p.cgram);
    p.w12sel = r.byte();
    p.w34sel = r.byte();
    p.wobjsel = r.byte();
    for (uint8_t& v : p.wh) v = r.byte();
    p.wbglog = r.byte();
    p.wobjlog = r.byte();
    p.tm = r.byte();
    p.ts = r.byte();
    p.tmw = r.byte();
    p.tsw = r.byte();
    p.cgwsel = r.byte();
    p.cgadsub = r.byte();
    p.coldata = r.word() & 0x7FFF;
    p.setini = r.byte();
    p.product = r.byte();
    p.product |= uint32_t(r.byte()) << 8;
    p.product |= uint32_t(r.byte()) << 16;
    p.product_stale = false;
    p.ophct = r.word();
    p.opvct = r.word();
    p.stat77 = r.byte();
    p.stat78 = r.byte();
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
