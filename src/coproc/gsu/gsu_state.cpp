#include "coproc/gsu/gsu_state.h"

#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/main_cpu.h"

namespace vt {

namespace {

template <class Io>
void gsu_state_io(Io& io, IoMachine<Io>& m) {
    auto& g = m.gsu;
    for (auto& r : g.r) io.u16(r);
    io.u16(g.sfr);
    io.u8(g.pbr);
    io.u8(g.rombr);
    io.u8(g.rambr);
    io.u8(g.bramr);
    io.u16(g.cbr);
    io.u8(g.scbr);
    io.u8(g.scmr);
    io.u8(g.cfgr);
    io.u8(g.clsr);
    io.u8(g.colr);
    io.u8(g.por);
    io.u8(g.pipe);
    io.u8(g.rom_buffer);
    io.u8(g.latch);
    io.u8_masked(g.sreg, 15);
    io.u8_masked(g.dreg, 15);
    io.u16(g.ram_address);
    io.bytes(g.cache);
    if constexpr (Io::loading) {
        gsu_refresh_derived(m);
        // The interrupt request stands as long as SFR says so.
        if (g.sfr & kSfrIrq) m.cpu.irq_sources |= kIrqCartridge;
        else m.cpu.irq_sources &= uint8_t(~kIrqCartridge);
    }
}

void save(StateWriter& out, const Machine& m) { gsu_state_io(out, m); }
void load(StateReader& in, Machine& m) { gsu_state_io(in, m); }

}  // namespace

const ChipStateChunk kGsuStateChunks[1] = {{"XGSU", kGsuChunkSize, &save, &load}};

}  // namespace vt
