#include "state/register_snapshots.h"

#include <algorithm>

#include "cart/memory_map.h"
#include "core/machine.h"
#include "core/system_registers.h"
#include "core/system_register_table.h"
#include "video/dma.h"
#include "video/ppu_register_table.h"

namespace vt {

namespace {

// A register page filled from a table: each register's value at its
// offset, zero where a register has none.
void snapshot_from_table(const Machine& m, std::span<const IoRegister> table, uint8_t out[kSnapshotSize]) {
    for (const IoRegister& r : table) {
        if (r.value) out[r.address & 0xFF] = r.value(m);
    }
}

// The written registers of a table, in address order, through the handlers
// `write` finds for them; a latched pair gets its byte twice, so that both
// halves of the 16-bit value take it.
template <class FindWrite>
void replay_from_table(Machine& m, std::span<const IoRegister> table, const uint8_t page[kSnapshotSize],
                       FindWrite find_write) {
    for (const IoRegister& r : table) {
        if (r.kind != RegisterKind::Written && r.kind != RegisterKind::Latched) continue;
        const uint8_t v = page[r.address & 0xFF];
        const WriteHandler write = find_write(r.address);
        write(m, 0x00, r.address, v);
        if (r.kind == RegisterKind::Latched) write(m, 0x00, r.address, v);
    }
}

}  // namespace

void ppu_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]) {
    std::fill(out, out + kSnapshotSize, 0);
    snapshot_from_table(m, ppu_register_table(), out);
    // The audio ports as the main CPU last wrote them, and the work RAM port.
    for (int n = 0; n < 4; n++) out[0x40 + n] = m.apu.io[size_t(kIoPort0 + n)];
    out[0x81] = uint8_t(m.mem.wram_port);
    out[0x82] = uint8_t(m.mem.wram_port >> 8);
    out[0x83] = uint8_t(m.mem.wram_port >> 16);
}

void system_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]) {
    std::fill(out, out + kSnapshotSize, 0);
    snapshot_from_table(m, system_register_table(), out);
}

void dma_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]) {
    std::fill(out, out + kSnapshotSize, 0);
    dma_save_state(m, out);
}

void replay_register_snapshots(Machine& m, const uint8_t ppu[kSnapshotSize], const uint8_t system[kSnapshotSize],
                               const uint8_t dma[kSnapshotSize]) {
    auto io_page = [&m](uint16_t addr) { return m.mem.io_write[addr & 0xFF]; };
    replay_from_table(m, ppu_register_table(), ppu, io_page);
    for (uint16_t addr = 0x2140; addr <= 0x2143; addr++) io_page(addr)(m, 0x00, addr, ppu[addr & 0xFF]);
    for (uint16_t addr = 0x2181; addr <= 0x2183; addr++) io_page(addr)(m, 0x00, addr, ppu[addr & 0xFF]);
    replay_from_table(m, system_register_table(), system, [](uint16_t) { return &sysregs_page42_write; });
    for (uint16_t channel = 0; channel < 8; channel++) {
        for (uint16_t reg = 0; reg <= 0x0A; reg++) {
            const uint16_t addr = uint16_t(0x4300 | channel << 4 | reg);
            dma_register_write(m, 0x00, addr, dma[addr & 0xFF]);
        }
    }
}

}  // namespace vt
