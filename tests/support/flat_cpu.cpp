// The core's templates are instantiated here once for FlatBus, so the test
// files only see the small interface of flat_cpu.h.
#include "support/flat_cpu.h"

#include <cstdio>

#include "core/w65816_core.h"

namespace vt::test {

CpuCore<FlatCtx>& FlatBus::cpu(FlatCtx& ctx) { return ctx.cpu; }

void FlatBus::tick(FlatCtx& ctx, int units) { ctx.clock += units; }

uint8_t FlatBus::read(FlatCtx& ctx, uint8_t bank, uint16_t addr) {
    uint32_t a = (uint32_t(bank) << 16) | addr;
    uint8_t v = ctx.peek(a);
    ctx.log.push_back({false, a, v});
    return v;
}

void FlatBus::write(FlatCtx& ctx, uint8_t bank, uint16_t addr, uint8_t value) {
    uint32_t a = (uint32_t(bank) << 16) | addr;
    ctx.store(a, value);
    ctx.log.push_back({true, a, value});
}

const char* mode_name(Mode mode) {
    switch (mode) {
        case Mode::M0X0: return "native M=0 X=0";
        case Mode::M0X1: return "native M=0 X=1";
        case Mode::M1X0: return "native M=1 X=0";
        case Mode::M1X1: return "native M=1 X=1";
        case Mode::Emu: return "emulation";
    }
    return "?";
}

uint8_t FlatCtx::peek(uint32_t addr) const {
    const auto& bank = banks_[(addr >> 16) & 0xFF];
    return bank ? bank[addr & 0xFFFF] : 0;
}

uint16_t FlatCtx::peek16(uint32_t addr) const {
    return uint16_t(peek(addr) | (peek((addr + 1) & 0xFFFFFF) << 8));
}

void FlatCtx::store(uint32_t addr, uint8_t value) {
    auto& bank = banks_[(addr >> 16) & 0xFF];
    if (!bank) bank = std::make_unique<uint8_t[]>(0x10000);  // zero-filled
    bank[addr & 0xFFFF] = value;
}

void FlatCtx::poke(uint32_t addr, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) {
        store(addr, b);
        addr = (addr + 1) & 0xFFFFFF;
    }
}

void FlatCtx::poke16(uint32_t addr, uint16_t value) { poke(addr, {uint8_t(value), uint8_t(value >> 8)}); }

void FlatCtx::poke24(uint32_t addr, uint32_t value) {
    poke(addr, {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16)});
}

void FlatCtx::power_on() { w65816::power_on<FlatBus>(*this); }

void FlatCtx::reset() { w65816::reset<FlatBus>(*this); }

int FlatCtx::step() {
    int64_t before = clock;
    cpu.next_step(*this);
    return int(clock - before);
}

void FlatCtx::raise_nmi() { w65816::raise_nmi<FlatBus>(*this); }

void FlatCtx::raise_irq(uint8_t source) { w65816::raise_irq<FlatBus>(*this, source); }

void FlatCtx::set_status(uint8_t status, uint8_t e) { w65816::set_status_and_mode<FlatBus>(*this, status, e); }

void FlatCtx::enter_mode(Mode mode, uint8_t flags) {
    power_on();
    uint8_t status = flags & 0xCF;
    switch (mode) {
        case Mode::M0X0: break;
        case Mode::M0X1: status |= kFlagX; break;
        case Mode::M1X0: status |= kFlagM; break;
        case Mode::M1X1: status |= kFlagM | kFlagX; break;
        case Mode::Emu: status |= kFlagM | kFlagX; break;  // both read 1 in emulation mode
    }
    set_status(status, is_emu(mode) ? 1 : 0);
    clock = 0;
    log.clear();
}

void FlatCtx::load_code(uint8_t bank, uint16_t pc, std::initializer_list<uint8_t> code) {
    poke((uint32_t(bank) << 16) | pc, code);
    cpu.pbr = bank;
    cpu.pc = pc;
}

std::vector<Access> FlatCtx::writes() const {
    std::vector<Access> out;
    for (const Access& a : log)
        if (a.write) out.push_back(a);
    return out;
}

}  // namespace vt::test

namespace vt::test {

void set_standard_registers(FlatCtx& ctx) {
    ctx.cpu.d = layout::kD;
    ctx.cpu.dbr = layout::kDbr;
    ctx.cpu.x = layout::kX;
    ctx.cpu.y = layout::kY;
    ctx.cpu.s = layout::kS;
}

uint32_t place_instruction(FlatCtx& ctx, Mode mode, uint8_t opcode, Addr addr, uint16_t imm) {
    using namespace layout;
    const uint32_t dbr = uint32_t(kDbr) << 16;
    const uint32_t lng = uint32_t(kLongBank) << 16;
    const uint32_t pointer_at = kD + kPtrOperand;  // bank 0
    const uint32_t sr_at = kS + kSrOperand;        // bank 0
    auto code = [&](std::initializer_list<uint8_t> bytes) { ctx.load_code(kCodeBank, kCodePc, bytes); };
    auto imm_code = [&](bool wide) {
        if (wide) code({opcode, uint8_t(imm), uint8_t(imm >> 8)});
        else code({opcode, uint8_t(imm)});
    };
    switch (addr) {
        case Addr::Implied: code({opcode}); return 0;
        case Addr::ImmM: imm_code(wide_m(mode)); return 0;
        case Addr::ImmX: imm_code(wide_x(mode)); return 0;
        case Addr::Imm8: imm_code(false); return 0;
        case Addr::Dp: code({opcode, kDpOperand}); return kD + kDpOperand;
        case Addr::DpX: code({opcode, kDpOperand}); return kD + kDpOperand + kX;
        case Addr::DpY: code({opcode, kDpOperand}); return kD + kDpOperand + kY;
        case Addr::DpInd:
            code({opcode, kPtrOperand});
            ctx.poke16(pointer_at, kPointer);
            return dbr | kPointer;
        case Addr::DpIndLong:
            code({opcode, kPtrOperand});
            ctx.poke24(pointer_at, lng | kPointer);
            return lng | kPointer;
        case Addr::DpXInd:
            code({opcode, uint8_t(kPtrOperand - kX)});
            ctx.poke16(pointer_at, kPointer);
            return dbr | kPointer;
        case Addr::DpIndY:
            code({opcode, kPtrOperand});
            ctx.poke16(pointer_at, kPointer);
            return dbr | (kPointer + kY);
        case Addr::DpIndLongY:
            code({opcode, kPtrOperand});
            ctx.poke24(pointer_at, lng | kPointer);
            return lng | (kPointer + kY);
        case Addr::Abs: code({opcode, 0x78, 0x56}); return dbr | kPointer;
        case Addr::AbsX: code({opcode, 0x78, 0x56}); return dbr | (kPointer + kX);
        case Addr::AbsY: code({opcode, 0x78, 0x56}); return dbr | (kPointer + kY);
        case Addr::Long: code({opcode, 0x78, 0x56, kLongBank}); return lng | kPointer;
        case Addr::LongX: code({opcode, 0x78, 0x56, kLongBank}); return lng | (kPointer + kX);
        case Addr::Sr: code({opcode, kSrOperand}); return sr_at;
        case Addr::SrIndY:
            code({opcode, kSrOperand});
            ctx.poke16(sr_at, kPointer);
            return dbr | (kPointer + kY);
        case Addr::Rel8: code({opcode, uint8_t(imm)}); return 0;
        case Addr::Rel16:
        case Addr::AbsJump:
        case Addr::AbsInd:
        case Addr::AbsXInd:
        case Addr::AbsIndLong: code({opcode, uint8_t(imm), uint8_t(imm >> 8)}); return 0;
        case Addr::LongJump: code({opcode, uint8_t(imm), uint8_t(imm >> 8), kLongBank}); return 0;
        case Addr::Block: code({opcode, uint8_t(imm), uint8_t(imm >> 8)}); return 0;
    }
    return 0;
}

}  // namespace vt::test

namespace vt::test {

std::vector<OpCase> accumulator_group(uint8_t base, bool with_immediate) {
    const OpCase offsets[] = {
        {0x01, Addr::DpXInd}, {0x03, Addr::Sr},     {0x05, Addr::Dp},         {0x07, Addr::DpIndLong},
        {0x09, Addr::ImmM},   {0x0D, Addr::Abs},    {0x0F, Addr::Long},       {0x11, Addr::DpIndY},
        {0x12, Addr::DpInd},  {0x13, Addr::SrIndY}, {0x15, Addr::DpX},        {0x17, Addr::DpIndLongY},
        {0x19, Addr::AbsY},   {0x1D, Addr::AbsX},   {0x1F, Addr::LongX},
    };
    std::vector<OpCase> out;
    for (OpCase o : offsets) {
        if (o.addr == Addr::ImmM && !with_immediate) continue;
        out.push_back({uint8_t(base + o.code), o.addr});
    }
    return out;
}

}  // namespace vt::test

namespace vt::test {

std::string describe(uint8_t opcode, Mode mode) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "opcode $%02X, %s", opcode, mode_name(mode));
    return buf;
}

}  // namespace vt::test
