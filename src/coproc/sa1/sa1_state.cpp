// The SA-1 in the state file. "SAS1" holds the processor's registers, the
// read registers, the written registers and I-RAM; "XSA1" what a state
// needs beyond them to continue exactly (the core's run state, the clock,
// latches, the bit reader's offset and the conversion in progress).
#include "coproc/chips.h"
#include "coproc/sa1/sa1.h"
#include "coproc/sa1/sa1_bus.h"
#include "core/machine.h"

namespace vt {

namespace {

template <class Io>
void cpu_image_io(Io& io, IoMachine<Io>& m) {
    auto& c = m.sa1.cpu;
    io.u16(c.a);
    io.u16(c.x);
    io.u16(c.y);
    io.u16(c.d);
    io.u16(c.s);
    io.u16(c.pc);
    io.u8(c.pbr);
    io.u8(c.dbr);
    uint8_t status = cpu_status(c);
    uint8_t e = c.e;
    io.u8(status);
    io.u8(e);
    if constexpr (Io::loading) sa1_set_status_and_mode(m, status, e);
}

template <class Io>
void zeros(Io& io, int n) {
    for (int i = 0; i < n; i++) {
        uint8_t zero = 0;
        io.u8(zero);
    }
}

// $2300-$230E as a read would give them, with the flag bytes holding the
// interrupt flags only.
template <class Io>
void read_registers_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.sa1;
    io.u8_masked(s.sfr_flags, 0xA0);
    io.u8_masked(s.cfr_flags, 0xF0);
    zeros(io, 4);
    uint8_t mr[5];
    for (int i = 0; i < 5; i++) mr[i] = uint8_t(s.mr >> (8 * i));
    for (uint8_t& b : mr) io.u8(b);
    io.u8_masked(s.overflow, 0x80);
    zeros(io, 2);
    uint8_t version = 0x10;
    io.u8(version);
    if constexpr (Io::loading) {
        s.mr = 0;
        for (int i = 0; i < 5; i++) s.mr |= uint64_t(mr[i]) << (8 * i);
    }
}

template <class Io>
void written_registers_io(Io& io, IoMachine<Io>& m) {
    auto& w = m.sa1.w;
    io.u8(w.ccnt);
    io.u8(w.sie);
    io.u8(w.sic);
    io.u16(w.crv);
    io.u16(w.cnv);
    io.u16(w.civ);
    io.u8(w.scnt);
    io.u8(w.cie);
    io.u8(w.cic);
    io.u16(w.snv);
    io.u16(w.siv);
    io.u8(w.tmc);
    io.u8(w.ctr);
    io.u16(w.hcnt);
    io.u16(w.vcnt);
    io.bytes(w.mmc);
    io.u8(w.bmaps);
    io.u8(w.bmap);
    io.u8(w.sbwe);
    io.u8(w.cbwe);
    io.u8(w.bwpa);
    io.u8(w.siwp);
    io.u8(w.ciwp);
    io.u8(w.dcnt);
    io.u8(w.cdma);
    io.u24(w.sda);
    io.u24(w.dda);
    io.u16(w.dtc);
    io.u8(w.bbf);
    io.bytes(w.brf);
    io.u8(w.mcnt);
    io.u16(w.ma);
    io.u16(w.mb);
    io.u8(w.vbd);
    io.u24(w.vda);
}

template <class Io>
void sa1_chunk_io(Io& io, IoMachine<Io>& m) { sa1_state_io(io, m); }

template <class Io>
void sa1_extra_chunk_io(Io& io, IoMachine<Io>& m) { sa1_extra_state_io(io, m); }

}  // namespace

template <class Io>
void sa1_state_io(Io& io, IoMachine<Io>& m) {
    cpu_image_io(io, m);
    read_registers_io(io, m);
    written_registers_io(io, m);
    io.bytes(m.sa1.iram);
    if constexpr (Io::loading) {
        auto& s = m.sa1;
        // A state without the extra chunk: no conversion in progress, the
        // reader at the start of its word.
        s.conversion_active = false;
        s.char_index = 0;
        s.read_counter = 0;
        s.row_offset = 0;
        s.bit_offset = 0;
        sa1_refresh_derived(m);
        sa1_update_snes_irq(m);
    }
}

template <class Io>
void sa1_extra_state_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.sa1;
    auto& c = s.cpu;
    uint8_t next = sa1_routine_code(c.next_step);
    uint8_t check = sa1_routine_code(c.check_routine);
    io.u8(next);
    io.u8(check);
    io.u8_masked(c.nmi_pending, 1);
    io.u8_masked(c.irq_sources, kSa1IrqLine);
    io.u8_masked(c.waiting, 1);
    io.i32_within(s.clock, -kLineUnits, 4 * kLineUnits);
    io.u16(s.h_latch);
    io.u16(s.v_latch);
    io.u8_masked(s.bit_offset, 15);
    uint8_t active = s.conversion_active;
    io.u8_masked(active, 1);
    io.u8_masked(s.char_index, 0x7F);
    io.u8_masked(s.read_counter, 0x3F);
    io.u8(s.row_offset);
    uint8_t reserved = 0;
    io.u8(reserved);
    if constexpr (Io::loading) {
        sa1_set_routines(m, next, check);
        s.conversion_active = active;
        sa1_install_switched_windows(m);
    }
}

template void sa1_state_io(StateWriter&, const Machine&);
template void sa1_state_io(StateReader&, Machine&);
template void sa1_extra_state_io(StateWriter&, const Machine&);
template void sa1_extra_state_io(StateReader&, Machine&);

const ChipStateChunk kSa1StateChunks[2] = {
    {"SAS1", kSa1ChunkSize, &sa1_chunk_io<StateWriter>, &sa1_chunk_io<StateReader>},
    {"XSA1", kSa1ExtraChunkSize, &sa1_extra_chunk_io<StateWriter>, &sa1_extra_chunk_io<StateReader>},
};

}  // namespace vt
