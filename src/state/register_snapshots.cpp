#include "state/register_snapshots.h"

#include <algorithm>

#include "core/machine.h"
#include "core/system_registers.h"
#include "video/dma.h"
#include "video/ppu.h"

namespace vt {

namespace {

// The byte that sets COLDATA's red intensity and, in the same write, green
// and blue where they share it.
uint8_t coldata_byte(uint16_t coldata) {
    const uint8_t red = coldata & 31;
    const uint8_t green = (coldata >> 5) & 31;
    const uint8_t blue = (coldata >> 10) & 31;
    uint8_t v = uint8_t(0x20 | red);
    if (green == red) v |= 0x40;
    if (blue == red) v |= 0x80;
    return v;
}

bool written_twice(uint16_t addr) { return (addr >= 0x210D && addr <= 0x2114) || (addr >= 0x211B && addr <= 0x2120); }

void replay_ppu_range(Machine& m, const uint8_t* ppu, uint16_t first, uint16_t last) {
    for (uint32_t addr = first; addr <= last; addr++) {
        const uint8_t v = ppu[addr & 0xFF];
        const WriteHandler write = m.mem.io_write[addr & 0xFF];
        write(m, 0x00, uint16_t(addr), v);
        if (written_twice(uint16_t(addr))) write(m, 0x00, uint16_t(addr), v);
    }
}

}  // namespace

void ppu_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]) {
    const Ppu& p = m.ppu;
    std::fill(out, out + kSnapshotSize, 0);
    out[0x00] = p.inidisp;
    out[0x01] = p.objsel;
    out[0x02] = p.oamaddl;
    out[0x03] = p.oamaddh;
    out[0x05] = p.bgmode;
    out[0x06] = p.mosaic;
    for (int n = 0; n < 4; n++) {
        out[0x07 + n] = p.bgsc[size_t(n)];
        out[0x0D + 2 * n] = uint8_t(p.hofs[size_t(n)] >> 8);
        out[0x0E + 2 * n] = uint8_t(p.vofs[size_t(n)] >> 8);
    }
    out[0x0B] = p.bg12nba;
    out[0x0C] = p.bg34nba;
    out[0x15] = p.vmain;
    out[0x16] = uint8_t(p.vram_addr);
    out[0x17] = uint8_t(p.vram_addr >> 8);
    out[0x1A] = p.m7sel;
    for (int i = 0; i < 6; i++) out[0x1B + i] = uint8_t(p.m7[size_t(i)] >> 8);
    out[0x21] = p.cgadd;
    out[0x23] = p.w12sel;
    out[0x24] = p.w34sel;
    out[0x25] = p.wobjsel;
    for (int i = 0; i < 4; i++) out[0x26 + i] = p.wh[size_t(i)];
    out[0x2A] = p.wbglog;
    out[0x2B] = p.wobjlog;
    out[0x2C] = p.tm;
    out[0x2D] = p.ts;
    out[0x2E] = p.tmw;
    out[0x2F] = p.tsw;
    out[0x30] = p.cgwsel;
    out[0x31] = p.cgadsub;
    out[0x32] = coldata_byte(p.coldata);
    out[0x33] = p.setini;
    // Read-only registers as they read.
    out[0x34] = uint8_t(p.product);
    out[0x35] = uint8_t(p.product >> 8);
    out[0x36] = uint8_t(p.product >> 16);
    out[0x3C] = uint8_t(p.ophct);
    out[0x3D] = uint8_t(p.opvct);
    out[0x3E] = p.stat77;
    out[0x3F] = p.stat78;
    // The audio ports as the main CPU last wrote them, and the work RAM port.
    for (int n = 0; n < 4; n++) out[0x40 + n] = m.apu.io[size_t(kIoPort0 + n)];
    out[0x81] = uint8_t(m.mem.wram_port);
    out[0x82] = uint8_t(m.mem.wram_port >> 8);
    out[0x83] = uint8_t(m.mem.wram_port >> 16);
}

void system_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]) {
    uint8_t block[kSystemRegistersSaveSize];
    sysregs_save(m, block);
    std::fill(out, out + kSnapshotSize, 0);
    // The saved block runs $4200-$420D, then $4210-$421F.
    std::copy(block, block + 14, out);
    std::copy(block + 14, block + kSystemRegistersSaveSize, out + 0x10);
}

void dma_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]) {
    std::fill(out, out + kSnapshotSize, 0);
    dma_save_state(m, out);
}

void replay_register_snapshots(Machine& m, const uint8_t ppu[kSnapshotSize], const uint8_t system[kSnapshotSize],
                               const uint8_t dma[kSnapshotSize]) {
    replay_ppu_range(m, ppu, 0x2100, 0x2103);
    replay_ppu_range(m, ppu, 0x2105, 0x2117);
    replay_ppu_range(m, ppu, 0x211A, 0x2121);
    replay_ppu_range(m, ppu, 0x2123, 0x2133);
    replay_ppu_range(m, ppu, 0x2140, 0x2143);
    replay_ppu_range(m, ppu, 0x2181, 0x2183);
    for (uint16_t addr = 0x4200; addr <= 0x420D; addr++) sysregs_page42_write(m, 0x00, addr, system[addr & 0xFF]);
    for (uint16_t channel = 0; channel < 8; channel++) {
        for (uint16_t reg = 0; reg <= 0x0A; reg++) {
            const uint16_t addr = uint16_t(0x4300 | channel << 4 | reg);
            dma_register_write(m, 0x00, addr, dma[addr & 0xFF]);
        }
    }
}

}  // namespace vt
