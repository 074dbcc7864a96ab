#include "debug/w65816_listing.h"

#include "core/machine.h"
#include "core/main_cpu_debug.h"

namespace vt {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void put_hex(char* out, uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; i--) out[digits - 1 - i] = kHexDigits[(value >> (4 * i)) & 0xF];
}

}  // namespace

int w65816_format_line(const W65816Instruction& ins, char* out) {
    put_hex(out, ins.address, 6);
    out[6] = ' ';
    for (int i = 0; i < 3; i++) out[7 + i] = ins.info->mnemonic[i];
    for (int i = 10; i < 15; i++) out[i] = ' ';
    return 15 + w65816_format_operand(ins, out + 15);
}

EffectiveAddress w65816_effective_address(const W65816Instruction& ins) {
    if (!ins.has_effective) return {};
    return {.present = true, .bank = uint8_t(ins.effective >> 16), .address = uint16_t(ins.effective)};
}

void w65816_listing_advance(W65816Listing& l, const W65816Instruction& ins) {
    l.pc = (ins.address & 0xFF0000) | uint16_t(ins.address + ins.length);
    if (!l.follow_flags) return;
    W65816DecodeState& r = l.regs;
    const uint8_t operand = uint8_t(ins.operand);
    switch (ins.bytes[0]) {
        case 0x18: l.carry = 0; break;  // CLC
        case 0x38: l.carry = 1; break;  // SEC
        case 0xFB: {                    // XCE
            const uint8_t e = r.e;
            r.e = l.carry;
            l.carry = e;
            r.p |= 0x30;  // either way the registers are 8-bit afterwards
            break;
        }
        case 0xC2:  // REP: in emulation mode M and X stay set
            if (!r.e) r.p = uint8_t(r.p & ~(operand & 0x30));
            if (operand & 0x01) l.carry = 0;
            break;
        case 0xE2:  // SEP
            r.p = uint8_t(r.p | (operand & 0x30));
            if (operand & 0x01) l.carry = 1;
            break;
        default: break;
    }
}

W65816Listing main_cpu_listing_start(const Machine& m, bool follow_flags) {
    W65816Listing l;
    l.pc = (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc;
    l.regs = main_cpu_decode_state(m);
    l.carry = m.cpu.c;
    l.follow_flags = follow_flags;
    return l;
}

std::vector<ListingLine> main_cpu_listing(const Machine& m, W65816Listing l, int count) {
    auto peek = [&m](uint32_t a) { return main_cpu_peek(m, a); };
    std::vector<ListingLine> lines;
    lines.reserve(size_t(count));
    for (int i = 0; i < count; i++) {
        const uint32_t address = l.pc;
        lines.push_back({address, w65816_disassemble_text(peek, l)});
    }
    return lines;
}

}  // namespace vt
