// A 65816 core on 16 MiB of plain memory, for instruction-level tests.
//
// FlatBus charges no memory surcharges, so the clock advances by exactly the
// base cost of what the core runs (3 units per cycle, plus the direct-page
// and branch penalties). Every access is also recorded, so a test can check
// which bytes an instruction read and wrote, and in what order.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/cpu_state.h"
#include "core/w65816_opcodes.h"

namespace vt::test {

struct FlatCtx;

struct FlatBus {
    using Ctx = FlatCtx;
    static CpuCore<FlatCtx>& cpu(FlatCtx& ctx);
    static void tick(FlatCtx& ctx, int units);
    static uint8_t read(FlatCtx& ctx, uint8_t bank, uint16_t addr);
    static void write(FlatCtx& ctx, uint8_t bank, uint16_t addr, uint8_t value);
};

// One recorded bus access.
struct Access {
    bool write;
    uint32_t addr;  // 24-bit
    uint8_t value;
    bool operator==(const Access&) const = default;
};

// Width and mode combinations the core has handlers for: the four native
// quarters (M, X) and emulation mode.
enum class Mode { M0X0, M0X1, M1X0, M1X1, Emu };
inline constexpr Mode kAllModes[] = {Mode::M0X0, Mode::M0X1, Mode::M1X0, Mode::M1X1, Mode::Emu};
inline constexpr Mode kNativeModes[] = {Mode::M0X0, Mode::M0X1, Mode::M1X0, Mode::M1X1};
const char* mode_name(Mode mode);
inline bool wide_m(Mode mode) { return mode == Mode::M0X0 || mode == Mode::M0X1; }
inline bool wide_x(Mode mode) { return mode == Mode::M0X0 || mode == Mode::M1X0; }
inline bool is_emu(Mode mode) { return mode == Mode::Emu; }

struct FlatCtx {
    CpuCore<FlatCtx> cpu;
    int64_t clock = 0;        // clock units charged so far
    std::vector<Access> log;  // every bus access since the last clear_log()

    // --- memory (these helpers touch neither the clock nor the log)
    uint8_t peek(uint32_t addr) const;
    uint16_t peek16(uint32_t addr) const;  // high byte from addr + 1 (24-bit)
    void store(uint32_t addr, uint8_t value);
    void poke(uint32_t addr, std::initializer_list<uint8_t> bytes);
    void poke16(uint32_t addr, uint16_t value);
    void poke24(uint32_t addr, uint32_t value);

    // --- core entry points
    void power_on();
    void reset();
    int step();  // runs one step, returns the clock units it charged
    void raise_nmi();
    void raise_irq(uint8_t source);
    uint8_t status() const { return cpu_status(cpu); }
    // Sets status and E as a debugger edit or a loaded state does.
    void set_status(uint8_t status, uint8_t e);

    // Powers on, then puts the core into `mode` with the other status bits
    // (N V D I Z C) taken from `flags`.
    void enter_mode(Mode mode, uint8_t flags = 0x04);

    // Places code at bank:pc and points PBR:PC at it.
    void load_code(uint8_t bank, uint16_t pc, std::initializer_list<uint8_t> code);
    uint32_t pc24() const { return (uint32_t(cpu.pbr) << 16) | cpu.pc; }

    std::vector<Access> writes() const;  // writes in the log, in order
    void clear_log() { log.clear(); }

  private:
    // 16 MiB, all zero at start; a bank is allocated when first stored to,
    // so a fresh context costs almost nothing.
    std::array<std::unique_ptr<uint8_t[]>, 256> banks_;
};

// --- A standard layout for instruction tests -------------------------------
//
// Code runs at $05:8000 with D = $0300, DBR = $12, X = 4, Y = 6 and
// S = $01F0. For every data addressing mode, place_instruction() writes an
// operand (and the pointers the mode goes through) so that the effective
// address is a fixed target: direct-page modes reach $00:0320 (+X, +Y),
// indirect modes the pointer $5678 (bank $12 or, for long pointers, $34),
// stack-relative modes S + 3.

// Addressing modes of the opcode map.
using Addr = w65816::AddrMode;

namespace layout {
inline constexpr uint8_t kCodeBank = 0x05;
inline constexpr uint16_t kCodePc = 0x8000;
inline constexpr uint32_t kCode = 0x058000;
inline constexpr uint16_t kD = 0x0300;
inline constexpr uint8_t kDbr = 0x12;
inline constexpr uint16_t kX = 0x0004;
inline constexpr uint16_t kY = 0x0006;
inline constexpr uint16_t kS = 0x01F0;
inline constexpr uint8_t kDpOperand = 0x20;     // dp, dp,X, dp,Y
inline constexpr uint8_t kPtrOperand = 0x40;    // (dp), [dp], (dp),Y, [dp],Y; (dp,X) uses $3C
inline constexpr uint16_t kPointer = 0x5678;    // what the pointers hold
inline constexpr uint8_t kLongBank = 0x34;      // bank byte of long pointers and operands
inline constexpr uint8_t kSrOperand = 0x03;
}  // namespace layout

// Sets the registers of the standard layout (A is left alone).
void set_standard_registers(FlatCtx& ctx);

// Writes the opcode and its operand at $05:8000 for the standard layout and
// points the CPU at it; returns the effective address of data modes (0 for
// the others). `imm` is the immediate value of # modes, written at the width
// `mode` gives them.
uint32_t place_instruction(FlatCtx& ctx, Mode mode, uint8_t opcode, Addr addr, uint16_t imm = 0);

struct OpCase {
    uint8_t code;
    Addr addr;
};

// The fifteen addressing modes of ORA/AND/EOR/ADC/STA/LDA/CMP/SBC, whose
// opcodes are `base` plus a fixed offset per mode. `with_immediate` false
// leaves out # (for STA).
std::vector<OpCase> accumulator_group(uint8_t base, bool with_immediate = true);

// Runs one instruction in the standard layout: enters `mode` with `flags`,
// sets the standard registers and A, lets `setup` adjust anything, places
// the instruction with `operand` as its immediate or as the 16-bit value at
// its effective address (an 8-bit access sees only the low byte), clears the
// log and runs one step. Returns the effective address (0 if none); the step's
// cost is left in `cost`.
struct RunResult {
    uint32_t ea;
    int cost;
};
template <class Setup>
RunResult run_op(FlatCtx& ctx, Mode mode, uint8_t flags, uint16_t a, OpCase op, uint16_t operand, Setup setup) {
    ctx.enter_mode(mode, flags);
    set_standard_registers(ctx);
    ctx.cpu.a = a;
    setup(ctx);
    uint32_t ea = place_instruction(ctx, mode, op.code, op.addr, operand);
    if (ea) ctx.poke16(ea, operand);
    ctx.clear_log();
    int cost = ctx.step();
    return {ea, cost};
}
inline RunResult run_op(FlatCtx& ctx, Mode mode, uint8_t flags, uint16_t a, OpCase op, uint16_t operand) {
    return run_op(ctx, mode, flags, a, op, operand, [](FlatCtx&) {});
}

// "opcode $A5, native M=0 X=1": for SCOPED_TRACE.
std::string describe(uint8_t opcode, Mode mode);

// The four arithmetic flags as one number 0bNVZC, for compact comparisons.
inline int nvzc(const CpuRegs& c) { return (c.n << 3) | (c.v << 2) | (c.z << 1) | c.c; }

}  // namespace vt::test
