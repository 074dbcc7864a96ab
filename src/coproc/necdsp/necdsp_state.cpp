// The NEC DSP's "XNEC" chunk: registers, stack and RAM. The firmware is the
// user's file and stays out of the state.
#include "coproc/necdsp/necdsp.h"
#include "core/machine.h"

namespace vt {

namespace {

uint8_t pack_flags(const NecDspFlags& f) {
    return uint8_t((f.s0 ? 1 : 0) | (f.s1 ? 2 : 0) | (f.z ? 4 : 0) | (f.c ? 8 : 0) | (f.ov0 ? 16 : 0) | (f.ov1 ? 32 : 0));
}

NecDspFlags unpack_flags(uint8_t v) {
    return NecDspFlags{.s0 = (v & 1) != 0, .s1 = (v & 2) != 0, .z = (v & 4) != 0,
                       .c = (v & 8) != 0,  .ov0 = (v & 16) != 0, .ov1 = (v & 32) != 0};
}

template <class Io, class Flags>
void flags_io(Io& io, Flags& f) {
    uint8_t packed = pack_flags(f);
    io.u8_masked(packed, 0x3F);
    if constexpr (Io::loading) f = unpack_flags(packed);
}

}  // namespace

template <class Io>
void necdsp_state_io(Io& io, IoMachine<Io>& m) {
    auto& d = m.necdsp;
    io.u16(d.pc);
    io.u16(d.rp);
    io.u16(d.dp);
    for (auto& entry : d.stack) io.u16(entry);
    io.u8(d.sp);
    io.u16(d.acca);
    io.u16(d.accb);
    flags_io(io, d.fa);
    flags_io(io, d.fb);
    io.u16(d.tr);
    io.u16(d.trb);
    io.u16(d.k);
    io.u16(d.l);
    io.u16(d.m);
    io.u16(d.n);
    io.u16(d.dr);
    io.u16_masked(d.sr, kNecSrProgramBits | kNecSrRqm | kNecSrDrs);
    io.u16(d.si);
    io.u16(d.so);
    for (auto& word : d.ram) io.u16(word);
    if constexpr (Io::loading) {
        // Into the loaded model's ranges, whatever the file says.
        d.pc = uint16_t(d.pc & necdsp_program_mask(d.model));
        d.rp = uint16_t(d.rp & necdsp_data_rom_mask(d.model));
        d.dp = uint16_t(d.dp & necdsp_ram_mask(d.model));
        const uint32_t depth = necdsp_stack_depth(d.model);
        if (d.sp >= depth) d.sp = uint8_t(depth - 1);
        for (auto& entry : d.stack) entry = uint16_t(entry & necdsp_program_mask(d.model));
    }
}

template void necdsp_state_io<StateWriter>(StateWriter&, const Machine&);
template void necdsp_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
