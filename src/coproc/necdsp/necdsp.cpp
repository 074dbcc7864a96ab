// The NEC DSP interpreter: firmware, reset, one instruction, and the
// host's side of the data and status registers.
//
// Instruction formats (bits 23-22):
//   00 OP  21-20 P select, 19-16 ALU, 15 accumulator, 14-13 DPL,
//          12-9 DPHM, 8 RPDCR, 7-4 SRC, 3-0 DST
//   01 RT  an OP, then a return
//   10 JP  21-13 condition, 12-2 next address (uPD96050: 1-0 add the
//          address bits 11-12)
//   11 LD  21-6 immediate, 3-0 DST
#include "coproc/necdsp/necdsp.h"

#include "coproc/necdsp/necdsp_ops.h"

namespace vt {

namespace {

bool big(const NecDsp& d) { return d.model == NecDspModel::Upd96050; }

uint16_t dp_mask(const NecDsp& d) { return big(d) ? 0x7FF : 0xFF; }
uint16_t rp_mask(const NecDsp& d) { return big(d) ? 0x7FF : 0x3FF; }

uint16_t& ram_at(NecDsp& d, uint32_t address) { return d.ram[address & necdsp_ram_mask(d.model)]; }
uint16_t data_rom_at(const NecDsp& d) { return d.data_rom[d.rp & necdsp_data_rom_mask(d.model)]; }

uint16_t reverse_bits(uint16_t v) {
    uint16_t r = 0;
    for (int i = 0; i < 16; i++) r = uint16_t(r | (((v >> i) & 1) << (15 - i)));
    return r;
}

// --- the return stack: a ring of the model's depth, so a program that
// calls deeper than the chip can keeps running (the oldest entry is lost).
void push(NecDsp& d, uint16_t address) {
    const uint32_t depth = necdsp_stack_depth(d.model);
    d.stack[d.sp % depth] = address;
    d.sp = uint8_t((d.sp + 1) % depth);
}

uint16_t pop(NecDsp& d) {
    const uint32_t depth = necdsp_stack_depth(d.model);
    d.sp = uint8_t((d.sp + depth - 1) % depth);
    return d.stack[d.sp];
}

// The value a SRC puts on the internal bus. Reading DR asks the host for
// the next word (RQM).
uint16_t read_source(NecDsp& d, unsigned src) {
    switch (src) {
        case kNecSrcTrb: return d.trb;
        case kNecSrcA: return d.acca;
        case kNecSrcB: return d.accb;
        case kNecSrcTr: return d.tr;
        case kNecSrcDp: return d.dp;
        case kNecSrcRp: return d.rp;
        case kNecSrcRo: return data_rom_at(d);
        case kNecSrcSgn: return uint16_t(0x8000 - (d.fa.s1 ? 1 : 0));
        case kNecSrcDr: d.sr |= kNecSrRqm; return d.dr;
        case kNecSrcDrnf: return d.dr;
        case kNecSrcSr: return d.sr;
        case kNecSrcSim: return d.si;
        case kNecSrcSil: return reverse_bits(d.si);
        case kNecSrcK: return d.k;
        case kNecSrcL: return d.l;
        default: return ram_at(d, d.dp);  // MEM
    }
}

// A DST takes the bus. Writing DR hands a result to the host (RQM).
void write_destination(NecDsp& d, unsigned dst, uint16_t v) {
    switch (dst) {
        case kNecDstNon: return;
        case kNecDstA: d.acca = v; return;
        case kNecDstB: d.accb = v; return;
        case kNecDstTr: d.tr = v; return;
        case kNecDstDp: d.dp = uint16_t(v & dp_mask(d)); return;
        case kNecDstRp: d.rp = uint16_t(v & rp_mask(d)); return;
        case kNecDstDr:
            d.dr = v;
            d.sr |= kNecSrRqm;
            return;
        case kNecDstSr: d.sr = uint16_t((d.sr & ~kNecSrProgramBits) | (v & kNecSrProgramBits)); return;
        case kNecDstSol: d.so = reverse_bits(v); return;  // shifted out LSB first
        case kNecDstSom: d.so = v; return;
        case kNecDstK: d.k = v; return;
        case kNecDstKlr:
            d.k = v;
            d.l = data_rom_at(d);
            return;
        case kNecDstKlm:
            d.l = v;
            d.k = ram_at(d, d.dp | 0x40u);
            return;
        case kNecDstL: d.l = v; return;
        case kNecDstTrb: d.trb = v; return;
        default: ram_at(d, d.dp) = v; return;  // MEM
    }
}

// S1 and OV1 follow a run of additions: OV1 says the running result has
// left the 16-bit range, S1 then keeps the sign the leaving overflow gave
// (so SGN, $8000 - S1, is the value to saturate to: $7FFF after an overflow
// upwards, $8000 after one downwards). An overflow in the other direction
// brings the result back into range; without OV1, S1 is S0.
void set_arithmetic_flags(NecDspFlags& f, uint16_t r, bool carry, bool overflow) {
    f.s0 = r & 0x8000;
    f.z = r == 0;
    f.c = carry;
    f.ov0 = overflow;
    if (overflow) {
        if (!f.ov1) {
            f.ov1 = true;
            f.s1 = f.s0;
        } else if (f.s0 != f.s1) {
            f.ov1 = false;
            f.s1 = f.s0;
        }
    } else if (!f.ov1) {
        f.s1 = f.s0;
    }
}

// Logic operations, shifts and the byte exchange: no overflow, C only
// from the shifts by one.
void set_logic_flags(NecDspFlags& f, uint16_t r, bool carry) {
    f.s0 = f.s1 = r & 0x8000;
    f.z = r == 0;
    f.c = carry;
    f.ov0 = f.ov1 = false;
}

uint16_t add(NecDspFlags& f, uint16_t a, uint16_t b, unsigned carry_in) {
    const uint32_t r = uint32_t(a) + b + carry_in;
    const uint16_t r16 = uint16_t(r);
    set_arithmetic_flags(f, r16, r >> 16, ((a ^ r16) & (b ^ r16) & 0x8000) != 0);
    return r16;
}

uint16_t subtract(NecDspFlags& f, uint16_t a, uint16_t b, unsigned borrow_in) {
    const uint32_t r = uint32_t(a) - b - borrow_in;
    const uint16_t r16 = uint16_t(r);
    set_arithmetic_flags(f, r16, (r >> 16) & 1, ((a ^ b) & (a ^ r16) & 0x8000) != 0);
    return r16;
}

void run_alu(NecDsp& d, unsigned op, bool on_b, uint16_t p) {
    uint16_t& acc = on_b ? d.accb : d.acca;
    NecDspFlags& f = on_b ? d.fb : d.fa;
    const unsigned other_carry = (on_b ? d.fa.c : d.fb.c) ? 1 : 0;
    const uint16_t a = acc;
    uint16_t r = a;
    switch (op) {
        case kNecAluNop: return;
        case kNecAluOr: r = a | p; set_logic_flags(f, r, false); break;
        case kNecAluAnd: r = a & p; set_logic_flags(f, r, false); break;
        case kNecAluXor: r = a ^ p; set_logic_flags(f, r, false); break;
        case kNecAluSub: r = subtract(f, a, p, 0); break;
        case kNecAluAdd: r = add(f, a, p, 0); break;
        case kNecAluSbb: r = subtract(f, a, p, other_carry); break;
        case kNecAluAdc: r = add(f, a, p, other_carry); break;
        case kNecAluDec: r = subtract(f, a, 1, 0); break;
        case kNecAluInc: r = add(f, a, 1, 0); break;
        case kNecAluCmp: r = uint16_t(~a); set_logic_flags(f, r, false); break;
        case kNecAluShr1: r = uint16_t((a >> 1) | (a & 0x8000)); set_logic_flags(f, r, a & 1); break;
        case kNecAluShl1: r = uint16_t((a << 1) | other_carry); set_logic_flags(f, r, a >> 15); break;
        case kNecAluShl2: r = uint16_t((a << 2) | 3); set_logic_flags(f, r, false); break;
        case kNecAluShl4: r = uint16_t((a << 4) | 15); set_logic_flags(f, r, false); break;
        default: r = uint16_t((a << 8) | (a >> 8)); set_logic_flags(f, r, false); break;  // XCHG
    }
    acc = r;
}

void run_op(NecDsp& d, uint32_t word) {
    const uint16_t bus = read_source(d, (word >> 4) & 15);
    uint16_t p;
    switch ((word >> 20) & 3) {
        case kNecPRam: p = ram_at(d, d.dp); break;
        case kNecPIdb: p = bus; break;
        case kNecPM: p = d.m; break;
        default: p = d.n; break;
    }
    run_alu(d, (word >> 16) & 15, word & 0x8000, p);
    write_destination(d, word & 15, bus);

    uint16_t dp = d.dp;
    switch ((word >> 13) & 3) {
        case kNecDplInc: dp = uint16_t((dp & ~15u) | ((dp + 1) & 15)); break;
        case kNecDplDec: dp = uint16_t((dp & ~15u) | ((dp - 1) & 15)); break;
        case kNecDplClr: dp = uint16_t(dp & ~15u); break;
        default: break;
    }
    dp = uint16_t(dp ^ (((word >> 9) & 15) << 4));
    d.dp = uint16_t(dp & dp_mask(d));
    if (word & 0x100) d.rp = uint16_t((d.rp - 1) & rp_mask(d));
}

void run_jump(NecDsp& d, uint32_t word, uint16_t here) {
    const unsigned condition = (word >> 13) & 0x1FF;
    uint32_t target = (word >> 2) & 0x7FF;
    if (big(d)) {
        target |= (word & 3) << 11;
        target |= here & 0x2000;  // the half of the program the jump is in
        if (condition == kNecJumpHighJmp || condition == kNecJumpHighCall) target |= 0x2000;
        if (condition == kNecJumpJmp || condition == kNecJumpCall) target &= ~0x2000u;
    }
    const bool is_call = condition == kNecJumpCall || (big(d) && condition == kNecJumpHighCall);
    bool taken;
    if (big(d) && condition == kNecJumpSo) {
        target = d.so;
        taken = true;
    } else if (big(d) && condition == kNecJumpHighJmp) {
        taken = true;
    } else {
        taken = necdsp_condition_met(d, condition) || is_call;
    }
    if (!taken) return;
    if (is_call) push(d, d.pc);
    d.pc = uint16_t(target & necdsp_program_mask(d.model));
}

// M:N follow K x L (signed) shifted left once, after every instruction.
void multiply(NecDsp& d) {
    const int32_t product = int32_t(int16_t(d.k)) * int32_t(int16_t(d.l));
    const uint32_t shifted = uint32_t(product) << 1;
    d.m = uint16_t(shifted >> 16);
    d.n = uint16_t(shifted);
}

}  // namespace

uint32_t necdsp_program_mask(NecDspModel model) { return model == NecDspModel::Upd96050 ? 0x3FFF : 0x7FF; }
uint32_t necdsp_data_rom_mask(NecDspModel model) { return model == NecDspModel::Upd96050 ? 0x7FF : 0x3FF; }
uint32_t necdsp_ram_mask(NecDspModel model) { return model == NecDspModel::Upd96050 ? 0x7FF : 0xFF; }
uint32_t necdsp_stack_depth(NecDspModel model) { return model == NecDspModel::Upd96050 ? 16 : 4; }
uint32_t necdsp_firmware_size(NecDspModel model) {
    return model == NecDspModel::Upd96050 ? kUpd96050FirmwareSize : kUpd7725FirmwareSize;
}

bool necdsp_condition_met(const NecDsp& d, unsigned condition) {
    const NecDspFlags& a = d.fa;
    const NecDspFlags& b = d.fb;
    const unsigned dpl = d.dp & 15;
    switch (condition) {
        case kNecJumpJmp: return true;
        case 0x080: return !a.c;
        case 0x082: return a.c;
        case 0x084: return !b.c;
        case 0x086: return b.c;
        case 0x088: return !a.z;
        case 0x08A: return a.z;
        case 0x08C: return !b.z;
        case 0x08E: return b.z;
        case 0x090: return !a.ov0;
        case 0x092: return a.ov0;
        case 0x094: return !b.ov0;
        case 0x096: return b.ov0;
        case 0x098: return !a.ov1;
        case 0x09A: return a.ov1;
        case 0x09C: return !b.ov1;
        case 0x09E: return b.ov1;
        case 0x0A0: return !a.s0;
        case 0x0A2: return a.s0;
        case 0x0A4: return !b.s0;
        case 0x0A6: return b.s0;
        case 0x0A8: return !a.s1;
        case 0x0AA: return a.s1;
        case 0x0AC: return !b.s1;
        case 0x0AE: return b.s1;
        case 0x0B0: return dpl == 0;
        case 0x0B1: return dpl != 0;
        case 0x0B2: return dpl == 15;
        case 0x0B3: return dpl != 15;
        // No serial device is attached: the serial ports never acknowledge.
        case 0x0B4: return true;   // JNSIAK
        case 0x0B6: return false;  // JSIAK
        case 0x0B8: return true;   // JNSOAK
        case 0x0BA: return false;  // JSOAK
        case 0x0BC: return !(d.sr & kNecSrRqm);
        case 0x0BE: return (d.sr & kNecSrRqm) != 0;
        default: return false;  // not a condition of the chip: no jump
    }
}

bool necdsp_load_firmware(NecDsp& dsp, NecDspModel model, std::span<const uint8_t> bytes) {
    if (bytes.size() != necdsp_firmware_size(model)) return false;
    const uint32_t program_words = necdsp_program_mask(model) + 1;
    const uint32_t data_words = necdsp_data_rom_mask(model) + 1;
    dsp.program.fill(0);
    dsp.data_rom.fill(0);
    size_t at = 0;
    for (uint32_t i = 0; i < program_words; i++, at += 3) {
        dsp.program[i] = uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16;
    }
    for (uint32_t i = 0; i < data_words; i++, at += 2) {
        dsp.data_rom[i] = uint16_t(bytes[at] | bytes[at + 1] << 8);
    }
    dsp.model = model;
    dsp.has_firmware = true;
    return true;
}

void necdsp_reset(NecDsp& d) {
    d.pc = d.rp = d.dp = 0;
    d.stack.fill(0);
    d.sp = 0;
    d.acca = d.accb = 0;
    d.fa = d.fb = NecDspFlags{};
    d.tr = d.trb = 0;
    d.k = d.l = d.m = d.n = 0;
    d.dr = d.sr = 0;
    d.si = d.so = 0;
}

void necdsp_power_on(NecDsp& d) {
    necdsp_reset(d);
    d.ram.fill(0);
}

void necdsp_step(NecDsp& d) {
    const uint16_t here = uint16_t(d.pc & necdsp_program_mask(d.model));
    const uint32_t word = d.program[here];
    d.pc = uint16_t((here + 1) & necdsp_program_mask(d.model));
    switch (word >> 22) {
        case 0: run_op(d, word); break;
        case 1:
            run_op(d, word);
            d.pc = uint16_t(pop(d) & necdsp_program_mask(d.model));
            break;
        case 2: run_jump(d, word, here); break;
        default: write_destination(d, word & 15, uint16_t(word >> 6)); break;
    }
    multiply(d);
}

bool necdsp_run_until_request(NecDsp& d, uint32_t limit) {
    for (uint32_t i = 0; i < limit && !(d.sr & kNecSrRqm); i++) necdsp_step(d);
    return (d.sr & kNecSrRqm) != 0;
}

bool necdsp_host_read_dr(NecDsp& d, uint8_t& value) {
    if (d.sr & kNecSrDrc) {
        value = uint8_t(d.dr);
        d.sr &= uint16_t(~kNecSrRqm);
        return true;
    }
    if (!(d.sr & kNecSrDrs)) {
        value = uint8_t(d.dr);
        d.sr |= kNecSrDrs;
        return false;
    }
    value = uint8_t(d.dr >> 8);
    d.sr &= uint16_t(~(kNecSrDrs | kNecSrRqm));
    return true;
}

bool necdsp_host_write_dr(NecDsp& d, uint8_t value) {
    if (d.sr & kNecSrDrc) {
        d.dr = uint16_t((d.dr & 0xFF00) | value);
        d.sr &= uint16_t(~kNecSrRqm);
        return true;
    }
    if (!(d.sr & kNecSrDrs)) {
        d.dr = uint16_t((d.dr & 0xFF00) | value);
        d.sr |= kNecSrDrs;
        return false;
    }
    d.dr = uint16_t((d.dr & 0x00FF) | (value << 8));
    d.sr &= uint16_t(~(kNecSrDrs | kNecSrRqm));
    return true;
}

uint8_t necdsp_host_peek_dr(const NecDsp& d) {
    if (!(d.sr & kNecSrDrc) && (d.sr & kNecSrDrs)) return uint8_t(d.dr >> 8);
    return uint8_t(d.dr);
}

uint8_t necdsp_host_read_sr(const NecDsp& d) { return uint8_t(d.sr >> 8); }

uint8_t necdsp_host_read_ram(const NecDsp& d, uint32_t address) {
    const uint16_t word = d.ram[(address >> 1) & necdsp_ram_mask(d.model)];
    return uint8_t((address & 1) ? word >> 8 : word);
}

void necdsp_host_write_ram(NecDsp& d, uint32_t address, uint8_t value) {
    uint16_t& word = d.ram[(address >> 1) & necdsp_ram_mask(d.model)];
    word = (address & 1) ? uint16_t((word & 0x00FF) | value << 8) : uint16_t((word & 0xFF00) | value);
}

}  // namespace vt
