// The 65816 interpreter, written once as templates over a bus.
//
// A bus type B provides:
//   using Ctx = ...;                                   the object it works on
//   static CpuCore<Ctx>& cpu(Ctx&);                    the core's registers
//   static void tick(Ctx&, int units);                 add clock units
//   static uint8_t read(Ctx&, uint8_t bank, uint16_t addr);
//   static void write(Ctx&, uint8_t bank, uint16_t addr, uint8_t value);
// The main CPU instantiates it with the memory map's bus; the SA-1 and the
// tests instantiate it with their own, so neither costs the other anything.
//
// Every handler is specialised by "quarter" Q: 0-3 are the native tables
// (2 * M + X), 4 is emulation mode. Inside a handler nothing tests M, X or E.
// One bus cycle costs 3 clock units; handlers charge their base cost first.
#pragma once

#include <cstdint>

#include "core/cpu_state.h"

namespace vt::w65816 {

inline constexpr int kEmu = 4;

// Status bits after power-on and reset: emulation mode (M and X read 1) with
// interrupts disabled.
inline constexpr uint8_t kEmulationStatus = kFlagM | kFlagX | kFlagI;

template <int Q> inline constexpr bool is_emu = Q == kEmu;
template <int Q> inline constexpr bool m8 = Q == kEmu || Q >= 2;  // 8-bit accumulator
template <int Q> inline constexpr bool x8 = Q == kEmu || (Q & 1);  // 8-bit index registers

template <class B> using Ctx = typename B::Ctx;
template <class B> using Routine = void (*)(Ctx<B>&);

// ---------------------------------------------------------------------------
// Bus and fetch helpers

template <class B>
inline void cycles(Ctx<B>& m, int n) { B::tick(m, 3 * n); }

template <class B>
inline uint8_t rd(Ctx<B>& m, uint32_t a) {
    return B::read(m, uint8_t(a >> 16), uint16_t(a));
}

template <class B>
inline void wr(Ctx<B>& m, uint32_t a, uint8_t v) {
    B::write(m, uint8_t(a >> 16), uint16_t(a), v);
}

template <class B>
inline uint8_t fetch8(Ctx<B>& m) {
    auto& c = B::cpu(m);
    uint8_t v = B::read(m, c.pbr, c.pc);
    c.pc++;
    return v;
}

template <class B>
inline uint16_t fetch16(Ctx<B>& m) {
    uint16_t lo = fetch8<B>(m);
    return uint16_t(lo | (fetch8<B>(m) << 8));
}

template <class B>
inline uint32_t fetch24(Ctx<B>& m) {
    uint32_t lo = fetch16<B>(m);
    return lo | (uint32_t(fetch8<B>(m)) << 16);
}

// The address of the high byte of 16-bit data. Direct-page and stack data
// live in bank 0 and wrap at $FFFF; every other mode carries into the next
// bank.
template <bool Bank0>
inline uint32_t next_data_address(uint32_t a) {
    if constexpr (Bank0) return (a + 1) & 0xFFFF;
    else return (a + 1) & 0xFFFFFF;
}

// m-width or x-width data at a 24-bit address.
template <class B, bool Wide, bool Bank0 = false>
inline uint16_t read_data(Ctx<B>& m, uint32_t a) {
    uint16_t v = rd<B>(m, a);
    if constexpr (Wide) v |= uint16_t(rd<B>(m, next_data_address<Bank0>(a)) << 8);
    return v;
}

template <class B, bool Wide, bool Bank0 = false>
inline void write_data(Ctx<B>& m, uint32_t a, uint16_t v) {
    wr<B>(m, a, uint8_t(v));
    if constexpr (Wide) wr<B>(m, next_data_address<Bank0>(a), uint8_t(v >> 8));
}

// A 16-bit pointer in bank 0 whose bytes lie at successive 16-bit addresses.
template <class B>
inline uint16_t read_pointer16(Ctx<B>& m, uint16_t p) {
    uint16_t lo = B::read(m, 0, p);
    return uint16_t(lo | (B::read(m, 0, uint16_t(p + 1)) << 8));
}

template <class B>
inline uint32_t read_pointer24(Ctx<B>& m, uint16_t p) {
    uint32_t lo = read_pointer16<B>(m, p);
    return lo | (uint32_t(B::read(m, 0, uint16_t(p + 2))) << 16);
}

// ---------------------------------------------------------------------------
// Stack: in emulation mode only the low byte of S moves for the 6502's own
// stack instructions, so they stay in page 1. The 65816's additions (PEA,
// PEI, PER, PHD, PLD, PHB, PHK, PLB, JSL, RTL, JSR (abs,X)) move all 16 bits
// while they run, reaching pages 0 and 2, and only put the high byte back
// to 1 when they finish: they use push8<B, kWideStack> and friends, then
// end_wide_stack_op<Q>.

inline constexpr int kWideStack = 0;  // the native quarter, for 16-bit stack arithmetic

template <class B, int Q>
inline void push8(Ctx<B>& m, uint8_t v) {
    auto& c = B::cpu(m);
    B::write(m, 0, c.s, v);
    if constexpr (is_emu<Q>) c.s = uint16_t((c.s & 0xFF00) | ((c.s - 1) & 0xFF));
    else c.s = uint16_t(c.s - 1);
}

template <class B, int Q>
inline uint8_t pull8(Ctx<B>& m) {
    auto& c = B::cpu(m);
    if constexpr (is_emu<Q>) c.s = uint16_t((c.s & 0xFF00) | ((c.s + 1) & 0xFF));
    else c.s = uint16_t(c.s + 1);
    return B::read(m, 0, c.s);
}

template <class B, int Q>
inline void push16(Ctx<B>& m, uint16_t v) {
    push8<B, Q>(m, uint8_t(v >> 8));
    push8<B, Q>(m, uint8_t(v));
}

template <class B, int Q>
inline uint16_t pull16(Ctx<B>& m) {
    uint16_t lo = pull8<B, Q>(m);
    return uint16_t(lo | (pull8<B, Q>(m) << 8));
}

template <int Q>
inline void end_wide_stack_op(CpuRegs& c) {
    if constexpr (is_emu<Q>) c.s = uint16_t(0x0100 | (c.s & 0xFF));
}

// ---------------------------------------------------------------------------
// Flags

template <bool Wide>
inline void set_nz(CpuRegs& c, uint16_t v) {
    if constexpr (Wide) {
        c.z = v == 0;
        c.n = uint8_t(v >> 15);
    } else {
        c.z = (v & 0xFF) == 0;
        c.n = uint8_t((v >> 7) & 1);
    }
}

template <bool Wide>
inline uint16_t get_reg(uint16_t r) {
    if constexpr (Wide) return r;
    else return r & 0xFF;
}

// An 8-bit write to A keeps its high byte (B); index registers in 8-bit
// mode have a zero high byte anyway.
template <bool Wide>
inline void set_acc(CpuRegs& c, uint16_t v) {
    if constexpr (Wide) c.a = v;
    else c.a = uint16_t((c.a & 0xFF00) | (v & 0xFF));
}

// ---------------------------------------------------------------------------
// Dispatch state

template <class B> struct Tables;  // defined below

template <class B> void fetch_execute(Ctx<B>& m);
template <class B> void interrupt_check(Ctx<B>& m);
template <class B> void idle_step(Ctx<B>& m);

template <class B>
inline void select_table(CpuCore<Ctx<B>>& c) {
    if (c.e) c.table = Tables<B>::get().emu;
    else c.table = Tables<B>::get().native + 256 * (((c.p >> 5) & 1) * 2 + ((c.p >> 4) & 1));
}

// Makes the next step run the interrupt check. When the check routine has
// already chosen an entry for the next step (the instruction now running is
// the one it let through), that entry stays: re-arming would let yet
// another instruction run before it.
template <class B>
inline void arm_check(CpuCore<Ctx<B>>& c) {
    if (c.next_step == &fetch_execute<B>) c.next_step = c.check_routine;
}

// Unpacks a full status byte as PLP does: flags, status bits, IRQ mask, and
// in native mode the index width and table quarter. In emulation mode M and
// X are 1 whatever the byte says: the chip cannot clear them there.
template <class B, int Q>
inline void set_status(CpuCore<Ctx<B>>& c, uint8_t v) {
    c.n = (v >> 7) & 1;
    c.v = (v >> 6) & 1;
    c.z = (v >> 1) & 1;
    c.c = v & 1;
    c.p = v & 0x3C;
    c.irq_mask = (v & kFlagI) ? 0 : 3;
    if constexpr (is_emu<Q>) {
        c.p |= kFlagM | kFlagX;
    } else {
        if (v & kFlagX) {
            c.x &= 0xFF;
            c.y &= 0xFF;
        }
        select_table<B>(c);
    }
}

// ---------------------------------------------------------------------------
// Addressing modes

enum class Am {
    Dp,          // dp
    DpX,         // dp,X
    DpY,         // dp,Y
    DpInd,       // (dp)
    DpIndLong,   // [dp]
    DpXInd,      // (dp,X)
    DpIndY,      // (dp),Y
    DpIndLongY,  // [dp],Y
    Abs,         // abs
    AbsX,        // abs,X
    AbsY,        // abs,Y
    Long,        // long
    LongX,       // long,X
    Sr,          // sr,S
    SrIndY,      // (sr,S),Y
};

// Direct page. Every direct-page address is in bank 0; the chip spends one
// cycle more (3 units) whenever the low byte of D is not zero.
template <class B>
inline uint16_t dp_address(Ctx<B>& m, uint8_t op) {
    auto& c = B::cpu(m);
    if (c.d & 0xFF) B::tick(m, 3);
    return uint16_t(c.d + op);
}

// dp,X and dp,Y. In emulation mode with the low byte of D at 0 the index
// wraps within the direct page, as on the 6502; with any other D the sum is
// a plain 16-bit one, as in native mode.
template <class B, int Q>
inline uint16_t dp_indexed_address(Ctx<B>& m, uint8_t op, uint16_t index) {
    auto& c = B::cpu(m);
    if constexpr (is_emu<Q>) {
        if ((c.d & 0xFF) == 0) return uint16_t(c.d | uint8_t(op + index));
    }
    return uint16_t(dp_address<B>(m, op) + index);
}

// The 16-bit pointer of (dp) and (dp),Y. In emulation mode with the low byte
// of D at 0 its second byte comes from the same page ($xxFF, then $xx00).
template <class B, int Q>
inline uint16_t read_dp_pointer(Ctx<B>& m, uint8_t op) {
    auto& c = B::cpu(m);
    uint16_t p = dp_address<B>(m, op);
    uint16_t hi_at = uint16_t(p + 1);
    if constexpr (is_emu<Q>) {
        if ((c.d & 0xFF) == 0) hi_at = uint16_t(c.d | uint8_t(op + 1));
    }
    uint16_t lo = B::read(m, 0, p);
    return uint16_t(lo | (B::read(m, 0, hi_at) << 8));
}

// The pointer of (dp,X). In emulation mode its second byte always comes
// from the page of the first, whatever D holds: with D's low byte non-zero
// the first byte may lie outside D's page, and the second follows it there
// but wraps within that page.
template <class B, int Q>
inline uint16_t read_dpx_pointer(Ctx<B>& m, uint8_t op) {
    uint16_t p = dp_indexed_address<B, Q>(m, op, B::cpu(m).x);
    uint16_t hi_at;
    if constexpr (is_emu<Q>) hi_at = uint16_t((p & 0xFF00) | uint8_t(p + 1));
    else hi_at = uint16_t(p + 1);
    uint16_t lo = B::read(m, 0, p);
    return uint16_t(lo | (B::read(m, 0, hi_at) << 8));
}

// sr,S: S + op in bank 0, a 16-bit sum in both modes (stack-relative
// addressing is the 65816's own and leaves page 1 freely).
template <class B>
inline uint16_t sr_address(Ctx<B>& m, uint8_t op) {
    return uint16_t(B::cpu(m).s + op);
}

// Modes whose 16-bit data wraps within bank 0.
constexpr bool in_bank0(Am am) { return am == Am::Dp || am == Am::DpX || am == Am::DpY || am == Am::Sr; }

// Fetches the operand and returns the 24-bit effective address.
template <class B, int Q, Am am>
inline uint32_t effective_address(Ctx<B>& m) {
    auto& c = B::cpu(m);
    if constexpr (am == Am::Dp) {
        return dp_address<B>(m, fetch8<B>(m));
    } else if constexpr (am == Am::DpX) {
        return dp_indexed_address<B, Q>(m, fetch8<B>(m), c.x);
    } else if constexpr (am == Am::DpY) {
        return dp_indexed_address<B, Q>(m, fetch8<B>(m), c.y);
    } else if constexpr (am == Am::DpInd) {
        return (uint32_t(c.dbr) << 16) | read_dp_pointer<B, Q>(m, fetch8<B>(m));
    } else if constexpr (am == Am::DpIndLong) {
        // [dp] is the 65816's own: its three bytes never wrap within a page.
        uint16_t p = dp_address<B>(m, fetch8<B>(m));
        return read_pointer24<B>(m, p);
    } else if constexpr (am == Am::DpXInd) {
        return (uint32_t(c.dbr) << 16) | read_dpx_pointer<B, Q>(m, fetch8<B>(m));
    } else if constexpr (am == Am::DpIndY) {
        uint32_t base = (uint32_t(c.dbr) << 16) | read_dp_pointer<B, Q>(m, fetch8<B>(m));
        return (base + c.y) & 0xFFFFFF;
    } else if constexpr (am == Am::DpIndLongY) {
        uint16_t p = dp_address<B>(m, fetch8<B>(m));
        return (read_pointer24<B>(m, p) + c.y) & 0xFFFFFF;
    } else if constexpr (am == Am::Abs) {
        return (uint32_t(c.dbr) << 16) | fetch16<B>(m);
    } else if constexpr (am == Am::AbsX) {
        return (((uint32_t(c.dbr) << 16) | fetch16<B>(m)) + c.x) & 0xFFFFFF;
    } else if constexpr (am == Am::AbsY) {
        return (((uint32_t(c.dbr) << 16) | fetch16<B>(m)) + c.y) & 0xFFFFFF;
    } else if constexpr (am == Am::Long) {
        return fetch24<B>(m);
    } else if constexpr (am == Am::LongX) {
        return (fetch24<B>(m) + c.x) & 0xFFFFFF;
    } else if constexpr (am == Am::Sr) {
        return sr_address<B>(m, fetch8<B>(m));
    } else {
        static_assert(am == Am::SrIndY);
        uint16_t p = sr_address<B>(m, fetch8<B>(m));
        uint32_t base = (uint32_t(c.dbr) << 16) | read_pointer16<B>(m, p);
        return (base + c.y) & 0xFFFFFF;
    }
}

// ---------------------------------------------------------------------------
// Base costs in cycles at 8-bit width; 16-bit width adds one cycle (two for
// read-modify-write).

// ORA AND EOR ADC LDA CMP SBC, BIT, LDX LDY CPX CPY STX STY
constexpr int read_cycles(Am am) {
    switch (am) {
        case Am::Dp: return 3;
        case Am::DpX: case Am::DpY: return 4;
        case Am::DpInd: return 5;
        case Am::DpXInd: return 6;
        case Am::DpIndY: return 5;
        case Am::DpIndLong: case Am::DpIndLongY: return 6;
        case Am::Abs: case Am::AbsX: case Am::AbsY: return 4;
        case Am::Long: case Am::LongX: return 5;
        case Am::Sr: return 4;
        case Am::SrIndY: return 7;
    }
    return 0;
}

// STA, STZ
constexpr int store_cycles(Am am) {
    switch (am) {
        case Am::DpIndY: return 6;
        case Am::AbsX: case Am::AbsY: return 5;
        default: return read_cycles(am);
    }
}

// ASL ROL LSR ROR INC DEC TSB TRB on memory
constexpr int rmw_cycles(Am am) {
    switch (am) {
        case Am::Dp: return 5;
        case Am::DpX: return 6;
        case Am::Abs: return 6;
        case Am::AbsX: return 7;
        default: return 0;
    }
}

// ---------------------------------------------------------------------------
// Arithmetic

enum class Alu { Ora, And, Eor, Adc, Lda, Cmp, Sbc, Bit };

// Decimal mode works digit by digit, low digit first, as the chip's
// decimal adjust does. Adding: a digit sum above 9 gets 6 more and carries
// into the next digit. Subtracting: a digit that borrowed gets 6 less.
// Digits above 9 in the operands go through the same steps, which is what
// the chip gives for them. V is the signed overflow of the value the top
// digit has before its own adjustment; for a subtraction that is the same
// as in binary mode. C is the carry (no borrow) out of the top digit; N and
// Z follow the adjusted result.
template <bool Wide>
inline void adc_decimal(CpuRegs& c, uint16_t a, uint16_t b) {
    constexpr int kDigits = Wide ? 4 : 2;
    constexpr uint32_t top = Wide ? 0x8000 : 0x80;
    uint32_t result = 0;
    uint32_t before_top = 0;
    int carry = c.c;
    for (int i = 0; i < kDigits; i++) {
        const int shift = 4 * i;
        int digit = ((a >> shift) & 0x0F) + ((b >> shift) & 0x0F) + carry;
        if (i == kDigits - 1) before_top = result | (uint32_t(digit) << shift);
        if (digit > 9) digit += 6;
        carry = digit > 0x0F;
        result |= uint32_t(digit & 0x0F) << shift;
    }
    c.v = (~(a ^ b) & (a ^ before_top) & top) != 0;
    c.c = uint8_t(carry);
    set_acc<Wide>(c, uint16_t(result));
    set_nz<Wide>(c, uint16_t(result));
}

template <bool Wide>
inline void sbc_decimal(CpuRegs& c, uint16_t a, uint16_t b) {
    constexpr int kDigits = Wide ? 4 : 2;
    constexpr uint32_t top = Wide ? 0x8000 : 0x80;
    uint32_t result = 0;
    int borrow = 1 - c.c;
    const uint32_t binary = uint32_t(a) - b - borrow;
    for (int i = 0; i < kDigits; i++) {
        const int shift = 4 * i;
        int digit = ((a >> shift) & 0x0F) - ((b >> shift) & 0x0F) - borrow;
        borrow = digit < 0;
        if (borrow) digit -= 6;
        result |= uint32_t(digit & 0x0F) << shift;
    }
    c.v = ((a ^ b) & (a ^ binary) & top) != 0;
    c.c = uint8_t(1 - borrow);
    set_acc<Wide>(c, uint16_t(result));
    set_nz<Wide>(c, uint16_t(result));
}

// Applies an accumulator operation to an m-width operand.
template <Alu op, bool Wide>
inline void alu_apply(CpuRegs& c, uint16_t v) {
    constexpr uint32_t mask = Wide ? 0xFFFF : 0xFF;
    constexpr uint32_t top = Wide ? 0x8000 : 0x80;
    uint16_t a = get_reg<Wide>(c.a);
    if constexpr (op == Alu::Ora) {
        a |= v;
        set_acc<Wide>(c, a);
        set_nz<Wide>(c, a);
    } else if constexpr (op == Alu::And) {
        a &= v;
        set_acc<Wide>(c, a);
        set_nz<Wide>(c, a);
    } else if constexpr (op == Alu::Eor) {
        a ^= v;
        set_acc<Wide>(c, a);
        set_nz<Wide>(c, a);
    } else if constexpr (op == Alu::Lda) {
        set_acc<Wide>(c, v);
        set_nz<Wide>(c, v);
    } else if constexpr (op == Alu::Adc) {
        if (c.p & kFlagD) {
            adc_decimal<Wide>(c, a, v);
            return;
        }
        uint32_t r = uint32_t(a) + v + c.c;
        c.c = r > mask;
        c.v = (~(a ^ v) & (a ^ r) & top) != 0;
        set_acc<Wide>(c, uint16_t(r));
        set_nz<Wide>(c, uint16_t(r));
    } else if constexpr (op == Alu::Sbc) {
        if (c.p & kFlagD) {
            sbc_decimal<Wide>(c, a, v);
            return;
        }
        uint32_t r = uint32_t(a) + (~v & mask) + c.c;
        c.c = r > mask;
        c.v = ((a ^ v) & (a ^ r) & top) != 0;
        set_acc<Wide>(c, uint16_t(r));
        set_nz<Wide>(c, uint16_t(r));
    } else if constexpr (op == Alu::Cmp) {
        uint32_t r = uint32_t(a) - v;
        c.c = a >= v;
        set_nz<Wide>(c, uint16_t(r));
    } else {
        static_assert(op == Alu::Bit);
        c.z = (a & v) == 0;
        c.n = (v & top) != 0;
        c.v = (v & (top >> 1)) != 0;
    }
}

// ---------------------------------------------------------------------------
// Loads, stores, arithmetic on memory

template <class B, int Q, Alu op, Am am>
void op_alu(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, read_cycles(am) + W);
    uint32_t a = effective_address<B, Q, am>(m);
    alu_apply<op, W>(B::cpu(m), read_data<B, W, in_bank0(am)>(m, a));
}

template <class B, int Q, Alu op>
void op_alu_imm(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, 2 + W);
    uint16_t v = W ? fetch16<B>(m) : fetch8<B>(m);
    auto& c = B::cpu(m);
    if constexpr (op == Alu::Bit) c.z = (get_reg<W>(c.a) & v) == 0;  // immediate BIT changes only Z
    else alu_apply<op, W>(c, v);
}

template <class B, int Q, Am am>
void op_sta(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, store_cycles(am) + W);
    uint32_t a = effective_address<B, Q, am>(m);
    write_data<B, W, in_bank0(am)>(m, a, B::cpu(m).a);
}

template <class B, int Q, Am am>
void op_stz(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, store_cycles(am) + W);
    uint32_t a = effective_address<B, Q, am>(m);
    write_data<B, W, in_bank0(am)>(m, a, 0);
}

enum class Idx { X, Y };

template <class B, Idx r>
inline uint16_t& index_reg(Ctx<B>& m) {
    auto& c = B::cpu(m);
    if constexpr (r == Idx::X) return c.x;
    else return c.y;
}

template <class B, int Q, Idx r>
void op_ld_index_imm(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 2 + W);
    uint16_t v = W ? fetch16<B>(m) : fetch8<B>(m);
    index_reg<B, r>(m) = v;
    set_nz<W>(B::cpu(m), v);
}

template <class B, int Q, Idx r, Am am>
void op_ld_index(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, read_cycles(am) + W);
    uint32_t a = effective_address<B, Q, am>(m);
    uint16_t v = read_data<B, W, in_bank0(am)>(m, a);
    index_reg<B, r>(m) = v;
    set_nz<W>(B::cpu(m), v);
}

template <class B, int Q, Idx r, Am am>
void op_st_index(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, read_cycles(am) + W);
    uint32_t a = effective_address<B, Q, am>(m);
    write_data<B, W, in_bank0(am)>(m, a, index_reg<B, r>(m));
}

template <bool Wide>
inline void compare(CpuRegs& c, uint16_t reg, uint16_t v) {
    c.c = reg >= v;
    set_nz<Wide>(c, uint16_t(reg - v));
}

template <class B, int Q, Idx r>
void op_cp_index_imm(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 2 + W);
    uint16_t v = W ? fetch16<B>(m) : fetch8<B>(m);
    compare<W>(B::cpu(m), index_reg<B, r>(m), v);
}

template <class B, int Q, Idx r, Am am>
void op_cp_index(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, read_cycles(am) + W);
    uint32_t a = effective_address<B, Q, am>(m);
    uint16_t v = read_data<B, W, in_bank0(am)>(m, a);
    compare<W>(B::cpu(m), index_reg<B, r>(m), v);
}

// Read-modify-write operations
enum class Rmw { Asl, Lsr, Rol, Ror, Inc, Dec, Tsb, Trb };

template <Rmw op, bool Wide>
inline uint16_t rmw_apply(CpuRegs& c, uint16_t v) {
    constexpr uint16_t top = Wide ? 0x8000 : 0x80;
    constexpr uint16_t mask = Wide ? 0xFFFF : 0xFF;
    uint16_t r;
    if constexpr (op == Rmw::Asl) {
        c.c = (v & top) != 0;
        r = uint16_t((v << 1) & mask);
    } else if constexpr (op == Rmw::Lsr) {
        c.c = v & 1;
        r = uint16_t(v >> 1);
    } else if constexpr (op == Rmw::Rol) {
        r = uint16_t(((v << 1) | c.c) & mask);
        c.c = (v & top) != 0;
    } else if constexpr (op == Rmw::Ror) {
        r = uint16_t((v >> 1) | (c.c ? top : 0));
        c.c = v & 1;
    } else if constexpr (op == Rmw::Inc) {
        r = uint16_t((v + 1) & mask);
    } else if constexpr (op == Rmw::Dec) {
        r = uint16_t((v - 1) & mask);
    } else if constexpr (op == Rmw::Tsb) {
        c.z = (get_reg<Wide>(c.a) & v) == 0;
        return uint16_t(v | get_reg<Wide>(c.a));
    } else {
        static_assert(op == Rmw::Trb);
        c.z = (get_reg<Wide>(c.a) & v) == 0;
        return uint16_t(v & ~c.a & mask);
    }
    set_nz<Wide>(c, r);
    return r;
}

template <class B, int Q, Rmw op, Am am>
void op_rmw(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, rmw_cycles(am) + 2 * W);
    uint32_t a = effective_address<B, Q, am>(m);
    uint16_t v = read_data<B, W, in_bank0(am)>(m, a);
    uint16_t r = rmw_apply<op, W>(B::cpu(m), v);
    if constexpr (W) wr<B>(m, next_data_address<in_bank0(am)>(a), uint8_t(r >> 8));  // high byte first
    wr<B>(m, a, uint8_t(r));
}

template <class B, int Q, Rmw op>
void op_rmw_acc(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    set_acc<W>(c, rmw_apply<op, W>(c, get_reg<W>(c.a)));
}

template <class B, int Q, Idx r, int delta>
void op_step_index(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 2);
    uint16_t& reg = index_reg<B, r>(m);
    reg = get_reg<W>(uint16_t(reg + delta));
    set_nz<W>(B::cpu(m), reg);
}

// ---------------------------------------------------------------------------
// Transfers

template <class B, int Q, Idx dst>
void op_transfer_a_to_index(Ctx<B>& m) {  // TAX, TAY
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    uint16_t v = get_reg<W>(c.a);
    index_reg<B, dst>(m) = v;
    set_nz<W>(c, v);
}

template <class B, int Q, Idx src>
void op_transfer_index_to_a(Ctx<B>& m) {  // TXA, TYA
    constexpr bool W = !m8<Q>;
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    uint16_t v = index_reg<B, src>(m);
    set_acc<W>(c, v);
    set_nz<W>(c, v);
}

template <class B, int Q, Idx src, Idx dst>
void op_transfer_index(Ctx<B>& m) {  // TXY, TYX
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 2);
    uint16_t v = index_reg<B, src>(m);
    index_reg<B, dst>(m) = v;
    set_nz<W>(B::cpu(m), v);
}

template <class B, int Q>
void op_tsx(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    c.x = get_reg<W>(c.s);
    set_nz<W>(c, c.x);
}

template <class B, int Q>
inline void set_stack_pointer(CpuRegs& c, uint16_t v) {
    if constexpr (is_emu<Q>) c.s = uint16_t((c.s & 0xFF00) | (v & 0xFF));
    else c.s = v;
}

template <class B, int Q>
void op_txs(Ctx<B>& m) {
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    set_stack_pointer<B, Q>(c, c.x);
}

template <class B, int Q>
void op_tcs(Ctx<B>& m) {
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    set_stack_pointer<B, Q>(c, c.a);
}

template <class B, int Q>
void op_tsc(Ctx<B>& m) {
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    c.a = c.s;
    set_nz<true>(c, c.a);
}

template <class B, int Q>
void op_tcd(Ctx<B>& m) {
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    c.d = c.a;
    set_nz<true>(c, c.d);
}

template <class B, int Q>
void op_tdc(Ctx<B>& m) {
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    c.a = c.d;
    set_nz<true>(c, c.a);
}

template <class B, int Q>
void op_xba(Ctx<B>& m) {
    cycles<B>(m, 3);
    auto& c = B::cpu(m);
    c.a = uint16_t((c.a >> 8) | (c.a << 8));
    set_nz<false>(c, c.a);
}

// ---------------------------------------------------------------------------
// Status flags and mode

enum class Flag { C, D, I, V };

template <class B, int Q, Flag f, bool value>
void op_flag(Ctx<B>& m) {
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    if constexpr (f == Flag::C) c.c = value;
    else if constexpr (f == Flag::V) c.v = value;
    else if constexpr (f == Flag::D) c.p = value ? (c.p | kFlagD) : (c.p & ~kFlagD);
    else if constexpr (value) {  // SEI
        c.p |= kFlagI;
        c.irq_mask = 0;
    } else {  // CLI
        c.p &= ~kFlagI;
        c.irq_mask = 3;
        arm_check<B>(c);
    }
}

template <class B, int Q>
void op_rep(Ctx<B>& m) {
    cycles<B>(m, 3);
    uint8_t v = fetch8<B>(m);
    auto& c = B::cpu(m);
    if (v & 0x80) c.n = 0;
    if (v & 0x40) c.v = 0;
    if (v & 0x02) c.z = 0;
    if (v & 0x01) c.c = 0;
    c.p &= uint8_t(~(v & 0x3C));
    if constexpr (is_emu<Q>) c.p |= kFlagM | kFlagX;  // they stay 1 in emulation mode
    if (v & kFlagI) {
        c.irq_mask = 3;
        arm_check<B>(c);
    }
    if constexpr (!is_emu<Q>) select_table<B>(c);
}

template <class B, int Q>
void op_sep(Ctx<B>& m) {
    cycles<B>(m, 3);
    uint8_t v = fetch8<B>(m);
    auto& c = B::cpu(m);
    if (v & 0x80) c.n = 1;
    if (v & 0x40) c.v = 1;
    if (v & 0x02) c.z = 1;
    if (v & 0x01) c.c = 1;
    c.p |= uint8_t(v & 0x3C);
    if (v & kFlagI) c.irq_mask = 0;
    if constexpr (!is_emu<Q>) {
        if (v & kFlagX) {
            c.x &= 0xFF;
            c.y &= 0xFF;
        }
        select_table<B>(c);
    }
}

template <class B>
inline void enter_emulation(CpuCore<Ctx<B>>& c) {
    c.e = 1;
    c.x &= 0xFF;
    c.y &= 0xFF;
    c.s = uint16_t(0x0100 | (c.s & 0xFF));
    c.p |= kFlagM | kFlagX;
    select_table<B>(c);
}

template <class B, int Q>
void op_xce(Ctx<B>& m) {
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    if (c.c == c.e) return;
    if (c.c) {  // native to emulation
        c.c = 0;
        enter_emulation<B>(c);
    } else {  // emulation to native: 8-bit accumulator and index until REP
        c.c = 1;
        c.e = 0;
        c.p |= kFlagM | kFlagX;
        select_table<B>(c);
    }
    c.check_routine = &interrupt_check<B>;
    arm_check<B>(c);
}

// ---------------------------------------------------------------------------
// Stack instructions

template <class B, int Q>
void op_pha(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, 3 + W);
    auto& c = B::cpu(m);
    if constexpr (W) push16<B, Q>(m, c.a);
    else push8<B, Q>(m, uint8_t(c.a));
}

template <class B, int Q, Idx r>
void op_push_index(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 3 + W);
    uint16_t v = index_reg<B, r>(m);
    if constexpr (W) push16<B, Q>(m, v);
    else push8<B, Q>(m, uint8_t(v));
}

template <class B, int Q>
void op_pla(Ctx<B>& m) {
    constexpr bool W = !m8<Q>;
    cycles<B>(m, 4 + W);
    uint16_t v = W ? pull16<B, Q>(m) : pull8<B, Q>(m);
    auto& c = B::cpu(m);
    set_acc<W>(c, v);
    set_nz<W>(c, v);
}

template <class B, int Q, Idx r>
void op_pull_index(Ctx<B>& m) {
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 4 + W);
    uint16_t v = W ? pull16<B, Q>(m) : pull8<B, Q>(m);
    index_reg<B, r>(m) = v;
    set_nz<W>(B::cpu(m), v);
}

template <class B, int Q>
void op_phb(Ctx<B>& m) {
    cycles<B>(m, 3);
    push8<B, kWideStack>(m, B::cpu(m).dbr);
    end_wide_stack_op<Q>(B::cpu(m));
}

template <class B, int Q>
void op_phk(Ctx<B>& m) {
    cycles<B>(m, 3);
    push8<B, kWideStack>(m, B::cpu(m).pbr);
    end_wide_stack_op<Q>(B::cpu(m));
}

template <class B, int Q>
void op_php(Ctx<B>& m) {
    cycles<B>(m, 3);
    push8<B, Q>(m, cpu_status(B::cpu(m)));
}

template <class B, int Q>
void op_phd(Ctx<B>& m) {
    cycles<B>(m, 4);
    push16<B, kWideStack>(m, B::cpu(m).d);
    end_wide_stack_op<Q>(B::cpu(m));
}

template <class B, int Q>
void op_plb(Ctx<B>& m) {
    cycles<B>(m, 4);
    uint8_t v = pull8<B, kWideStack>(m);
    auto& c = B::cpu(m);
    end_wide_stack_op<Q>(c);
    c.dbr = v;
    set_nz<false>(c, v);
}

template <class B, int Q>
void op_pld(Ctx<B>& m) {
    cycles<B>(m, 5);
    uint16_t v = pull16<B, kWideStack>(m);
    auto& c = B::cpu(m);
    end_wide_stack_op<Q>(c);
    c.d = v;
    set_nz<true>(c, v);
}

template <class B, int Q>
void op_plp(Ctx<B>& m) {
    cycles<B>(m, 4);
    uint8_t v = pull8<B, Q>(m);
    auto& c = B::cpu(m);
    set_status<B, Q>(c, v);
    if (!(v & kFlagI)) arm_check<B>(c);
}

template <class B, int Q>
void op_pea(Ctx<B>& m) {
    cycles<B>(m, 5);
    push16<B, kWideStack>(m, fetch16<B>(m));
    end_wide_stack_op<Q>(B::cpu(m));
}

// PEI reads its word like [dp] reads a pointer: never wrapped in a page.
template <class B, int Q>
void op_pei(Ctx<B>& m) {
    cycles<B>(m, 6);
    uint16_t p = dp_address<B>(m, fetch8<B>(m));
    push16<B, kWideStack>(m, read_pointer16<B>(m, p));
    end_wide_stack_op<Q>(B::cpu(m));
}

template <class B, int Q>
void op_per(Ctx<B>& m) {
    cycles<B>(m, 6);
    uint16_t off = fetch16<B>(m);
    push16<B, kWideStack>(m, uint16_t(B::cpu(m).pc + off));
    end_wide_stack_op<Q>(B::cpu(m));
}

// ---------------------------------------------------------------------------
// Jumps, calls and returns

template <class B, int Q>
void op_jmp_abs(Ctx<B>& m) {
    cycles<B>(m, 3);
    uint16_t t = fetch16<B>(m);
    B::cpu(m).pc = t;
}

template <class B, int Q>
void op_jml_long(Ctx<B>& m) {
    cycles<B>(m, 4);
    uint32_t t = fetch24<B>(m);
    auto& c = B::cpu(m);
    c.pc = uint16_t(t);
    c.pbr = uint8_t(t >> 16);
}

template <class B, int Q>
void op_jmp_ind(Ctx<B>& m) {
    cycles<B>(m, 5);
    // The 6502's page wrap of JMP ($xxFF) is gone on this chip, in both modes.
    uint16_t p = fetch16<B>(m);
    B::cpu(m).pc = read_pointer16<B>(m, p);
}

template <class B>
inline uint16_t read_program_pointer(Ctx<B>& m, uint16_t p) {
    auto& c = B::cpu(m);
    uint16_t lo = B::read(m, c.pbr, p);
    return uint16_t(lo | (B::read(m, c.pbr, uint16_t(p + 1)) << 8));
}

template <class B, int Q>
void op_jmp_indx(Ctx<B>& m) {
    cycles<B>(m, 6);
    uint16_t p = uint16_t(fetch16<B>(m) + B::cpu(m).x);
    B::cpu(m).pc = read_program_pointer<B>(m, p);
}

template <class B, int Q>
void op_jml_ind(Ctx<B>& m) {
    cycles<B>(m, 6);
    uint16_t p = fetch16<B>(m);
    uint32_t t = read_pointer24<B>(m, p);
    auto& c = B::cpu(m);
    c.pc = uint16_t(t);
    c.pbr = uint8_t(t >> 16);
}

template <class B, int Q>
void op_jsr_abs(Ctx<B>& m) {
    cycles<B>(m, 6);
    uint16_t t = fetch16<B>(m);
    auto& c = B::cpu(m);
    push16<B, Q>(m, uint16_t(c.pc - 1));  // address of the instruction's last byte
    c.pc = t;
}

template <class B, int Q>
void op_jsr_indx(Ctx<B>& m) {
    cycles<B>(m, 8);
    uint16_t op = fetch16<B>(m);
    auto& c = B::cpu(m);
    push16<B, kWideStack>(m, uint16_t(c.pc - 1));
    end_wide_stack_op<Q>(c);
    c.pc = read_program_pointer<B>(m, uint16_t(op + c.x));
}

template <class B, int Q>
void op_jsl(Ctx<B>& m) {
    cycles<B>(m, 8);
    uint32_t t = fetch24<B>(m);
    auto& c = B::cpu(m);
    push8<B, kWideStack>(m, c.pbr);
    push16<B, kWideStack>(m, uint16_t(c.pc - 1));
    end_wide_stack_op<Q>(c);
    c.pc = uint16_t(t);
    c.pbr = uint8_t(t >> 16);
}

template <class B, int Q>
void op_rts(Ctx<B>& m) {
    cycles<B>(m, 6);
    uint16_t t = pull16<B, Q>(m);
    B::cpu(m).pc = uint16_t(t + 1);
}

template <class B, int Q>
void op_rtl(Ctx<B>& m) {
    cycles<B>(m, 6);
    uint16_t t = pull16<B, kWideStack>(m);
    uint8_t bank = pull8<B, kWideStack>(m);
    auto& c = B::cpu(m);
    end_wide_stack_op<Q>(c);
    c.pc = uint16_t(t + 1);
    c.pbr = bank;
}

template <class B, int Q>
void op_rti(Ctx<B>& m) {
    cycles<B>(m, is_emu<Q> ? 6 : 7);
    uint8_t status = pull8<B, Q>(m);
    auto& c = B::cpu(m);
    set_status<B, Q>(c, status);
    if (!(status & kFlagI)) arm_check<B>(c);
    c.pc = pull16<B, Q>(m);
    if constexpr (!is_emu<Q>) c.pbr = pull8<B, Q>(m);
}

// ---------------------------------------------------------------------------
// Branches

// A taken branch costs a cycle more; in emulation mode another when the
// target lies in another page than the instruction that follows the branch.
template <class B, int Q>
inline void take_branch(Ctx<B>& m, uint16_t target) {
    cycles<B>(m, 1);
    auto& c = B::cpu(m);
    if constexpr (is_emu<Q>) {
        if ((target >> 8) != (c.pc >> 8)) cycles<B>(m, 1);
    }
    c.pc = target;
}

enum class Cond { Pl, Mi, Vc, Vs, Cc, Cs, Ne, Eq, Always };

template <Cond cond>
inline bool condition(const CpuRegs& c) {
    switch (cond) {
        case Cond::Pl: return !c.n;
        case Cond::Mi: return c.n;
        case Cond::Vc: return !c.v;
        case Cond::Vs: return c.v;
        case Cond::Cc: return !c.c;
        case Cond::Cs: return c.c;
        case Cond::Ne: return !c.z;
        case Cond::Eq: return c.z;
        case Cond::Always: return true;
    }
    return false;
}

template <class B, int Q, Cond cond>
void op_branch(Ctx<B>& m) {
    // BRA costs 3 (4 across a page in emulation mode); the others 2 + taken.
    cycles<B>(m, 2);
    auto& c = B::cpu(m);
    int8_t off = int8_t(fetch8<B>(m));
    if (condition<cond>(c)) take_branch<B, Q>(m, uint16_t(c.pc + off));
}

template <class B, int Q>
void op_brl(Ctx<B>& m) {
    cycles<B>(m, 4);
    uint16_t off = fetch16<B>(m);
    auto& c = B::cpu(m);
    c.pc = uint16_t(c.pc + off);
}

// ---------------------------------------------------------------------------
// Interrupts

enum class Interrupt { Nmi, Irq, Brk, Cop };

// Pushes the return state and jumps through the vector. Emulation and native
// mode differ in what is pushed and which vector is used; the test is made
// here at run time because interrupts are rare. The IRQ sources stay set:
// the line is held until the program acknowledges the source.
template <class B>
void enter_interrupt(Ctx<B>& m, Interrupt kind, uint16_t return_pc) {
    auto& c = B::cpu(m);
    uint16_t vector;
    if (c.e) {
        B::tick(m, 21);
        push16<B, kEmu>(m, return_pc);
        // As on the 6502, bit 4 of the pushed status tells a software
        // interrupt (1) from a hardware one (0); in the register it reads 1.
        uint8_t status = cpu_status(c);
        if (kind == Interrupt::Nmi || kind == Interrupt::Irq) status &= uint8_t(~kFlagX);
        push8<B, kEmu>(m, status);
        switch (kind) {
            case Interrupt::Nmi: vector = 0xFFFA; break;
            case Interrupt::Cop: vector = 0xFFF4; break;
            default: vector = 0xFFFE; break;  // IRQ and BRK share it
        }
    } else {
        B::tick(m, 24);
        push8<B, 0>(m, c.pbr);
        push16<B, 0>(m, return_pc);
        push8<B, 0>(m, cpu_status(c));
        switch (kind) {
            case Interrupt::Nmi: vector = 0xFFEA; break;
            case Interrupt::Irq: vector = 0xFFEE; break;
            case Interrupt::Brk: vector = 0xFFE6; break;
            default: vector = 0xFFE4; break;
        }
    }
    c.irq_mask = 0;
    c.p = uint8_t((c.p & ~kFlagD) | kFlagI);
    c.pc = read_pointer16<B>(m, vector);
    c.pbr = 0;
    // A bus may want to know (the main CPU's debugger traps interrupts).
    if constexpr (requires { B::interrupt_entered(m, 0); }) B::interrupt_entered(m, int(kind));
}

template <class B>
void nmi_entry(Ctx<B>& m) {
    auto& c = B::cpu(m);
    c.nmi_pending = 0;
    c.next_step = &fetch_execute<B>;
    enter_interrupt<B>(m, Interrupt::Nmi, c.pc);
}

template <class B>
void irq_entry(Ctx<B>& m) {
    auto& c = B::cpu(m);
    c.next_step = &fetch_execute<B>;
    enter_interrupt<B>(m, Interrupt::Irq, c.pc);
    // An NMI raised alongside is entered straight after the IRQ's push.
    if (c.nmi_pending) c.next_step = &nmi_entry<B>;
}

template <class B, int Q, Interrupt kind>
void op_software_interrupt(Ctx<B>& m) {  // BRK, COP: two bytes, PC + 2 pushed
    fetch8<B>(m);
    enter_interrupt<B>(m, kind, B::cpu(m).pc);
}

// ---------------------------------------------------------------------------
// Step routines

template <class B>
void fetch_execute(Ctx<B>& m) {
    auto& c = B::cpu(m);
    uint8_t op = B::read(m, c.pbr, c.pc);
    c.pc++;
    c.table[op](m);
}

// Decides what follows the next instruction, then runs it: so an interrupt
// raised during an instruction is entered after one more instruction.
template <class B>
void interrupt_check(Ctx<B>& m) {
    auto& c = B::cpu(m);
    c.next_step = &fetch_execute<B>;
    if (c.nmi_pending) c.next_step = &nmi_entry<B>;
    if (c.irq_sources & c.irq_mask) c.next_step = &irq_entry<B>;
    fetch_execute<B>(m);
}

template <class B>
void idle_step(Ctx<B>& m) {
    B::tick(m, kIdleStepUnits);
}

template <class B>
void wake_up(Ctx<B>& m) {
    auto& c = B::cpu(m);
    c.check_routine = &interrupt_check<B>;
    c.waiting = 0;
    if (c.irq_sources & c.irq_mask) irq_entry<B>(m);
    else if (c.nmi_pending) nmi_entry<B>(m);
    else c.next_step = c.check_routine;  // a masked IRQ only ends the wait
}

template <class B, int Q>
void op_wai(Ctx<B>& m) {
    cycles<B>(m, 3);
    auto& c = B::cpu(m);
    // A pending IRQ source ends WAI at once, whatever the mask. So does an
    // NMI raised during the instruction before: the check routine has made
    // its entry the next step, and waiting now would sleep through it.
    if (c.irq_sources || c.nmi_pending) return;
    c.waiting = 1;
    c.next_step = &idle_step<B>;
    c.check_routine = &wake_up<B>;
}

template <class B, int Q>
void op_stp(Ctx<B>& m) {
    cycles<B>(m, 3);
    auto& c = B::cpu(m);
    c.pc--;  // PC stays on STP
    c.next_step = &idle_step<B>;
    c.check_routine = &idle_step<B>;
}

// ---------------------------------------------------------------------------
// Block moves and the rest

template <class B, int Q, int delta>
void op_block_move(Ctx<B>& m) {  // MVN (+1), MVP (-1): one byte per step
    constexpr bool W = !x8<Q>;
    cycles<B>(m, 7);
    uint8_t dst = fetch8<B>(m);
    uint8_t src = fetch8<B>(m);
    auto& c = B::cpu(m);
    c.dbr = dst;
    uint8_t v = B::read(m, src, c.x);
    B::write(m, dst, c.y, v);
    c.x = get_reg<W>(uint16_t(c.x + delta));
    c.y = get_reg<W>(uint16_t(c.y + delta));
    uint16_t count = c.a;
    c.a = uint16_t(count - 1);
    if (count != 0) c.pc = uint16_t(c.pc - 3);  // run again as the next step
}

template <class B, int Q>
void op_nop(Ctx<B>& m) { cycles<B>(m, 2); }

template <class B, int Q>
void op_wdm(Ctx<B>& m) {
    cycles<B>(m, 2);
    fetch8<B>(m);
}

// ---------------------------------------------------------------------------
// Opcode tables

template <class B, int Q>
void fill_table(Routine<B>* t) {
    using enum Am;
    t[0x00] = &op_software_interrupt<B, Q, Interrupt::Brk>;
    t[0x01] = &op_alu<B, Q, Alu::Ora, DpXInd>;
    t[0x02] = &op_software_interrupt<B, Q, Interrupt::Cop>;
    t[0x03] = &op_alu<B, Q, Alu::Ora, Sr>;
    t[0x04] = &op_rmw<B, Q, Rmw::Tsb, Dp>;
    t[0x05] = &op_alu<B, Q, Alu::Ora, Dp>;
    t[0x06] = &op_rmw<B, Q, Rmw::Asl, Dp>;
    t[0x07] = &op_alu<B, Q, Alu::Ora, DpIndLong>;
    t[0x08] = &op_php<B, Q>;
    t[0x09] = &op_alu_imm<B, Q, Alu::Ora>;
    t[0x0A] = &op_rmw_acc<B, Q, Rmw::Asl>;
    t[0x0B] = &op_phd<B, Q>;
    t[0x0C] = &op_rmw<B, Q, Rmw::Tsb, Abs>;
    t[0x0D] = &op_alu<B, Q, Alu::Ora, Abs>;
    t[0x0E] = &op_rmw<B, Q, Rmw::Asl, Abs>;
    t[0x0F] = &op_alu<B, Q, Alu::Ora, Long>;

    t[0x10] = &op_branch<B, Q, Cond::Pl>;
    t[0x11] = &op_alu<B, Q, Alu::Ora, DpIndY>;
    t[0x12] = &op_alu<B, Q, Alu::Ora, DpInd>;
    t[0x13] = &op_alu<B, Q, Alu::Ora, SrIndY>;
    t[0x14] = &op_rmw<B, Q, Rmw::Trb, Dp>;
    t[0x15] = &op_alu<B, Q, Alu::Ora, DpX>;
    t[0x16] = &op_rmw<B, Q, Rmw::Asl, DpX>;
    t[0x17] = &op_alu<B, Q, Alu::Ora, DpIndLongY>;
    t[0x18] = &op_flag<B, Q, Flag::C, false>;
    t[0x19] = &op_alu<B, Q, Alu::Ora, AbsY>;
    t[0x1A] = &op_rmw_acc<B, Q, Rmw::Inc>;
    t[0x1B] = &op_tcs<B, Q>;
    t[0x1C] = &op_rmw<B, Q, Rmw::Trb, Abs>;
    t[0x1D] = &op_alu<B, Q, Alu::Ora, AbsX>;
    t[0x1E] = &op_rmw<B, Q, Rmw::Asl, AbsX>;
    t[0x1F] = &op_alu<B, Q, Alu::Ora, LongX>;

    t[0x20] = &op_jsr_abs<B, Q>;
    t[0x21] = &op_alu<B, Q, Alu::And, DpXInd>;
    t[0x22] = &op_jsl<B, Q>;
    t[0x23] = &op_alu<B, Q, Alu::And, Sr>;
    t[0x24] = &op_alu<B, Q, Alu::Bit, Dp>;
    t[0x25] = &op_alu<B, Q, Alu::And, Dp>;
    t[0x26] = &op_rmw<B, Q, Rmw::Rol, Dp>;
    t[0x27] = &op_alu<B, Q, Alu::And, DpIndLong>;
    t[0x28] = &op_plp<B, Q>;
    t[0x29] = &op_alu_imm<B, Q, Alu::And>;
    t[0x2A] = &op_rmw_acc<B, Q, Rmw::Rol>;
    t[0x2B] = &op_pld<B, Q>;
    t[0x2C] = &op_alu<B, Q, Alu::Bit, Abs>;
    t[0x2D] = &op_alu<B, Q, Alu::And, Abs>;
    t[0x2E] = &op_rmw<B, Q, Rmw::Rol, Abs>;
    t[0x2F] = &op_alu<B, Q, Alu::And, Long>;

    t[0x30] = &op_branch<B, Q, Cond::Mi>;
    t[0x31] = &op_alu<B, Q, Alu::And, DpIndY>;
    t[0x32] = &op_alu<B, Q, Alu::And, DpInd>;
    t[0x33] = &op_alu<B, Q, Alu::And, SrIndY>;
    t[0x34] = &op_alu<B, Q, Alu::Bit, DpX>;
    t[0x35] = &op_alu<B, Q, Alu::And, DpX>;
    t[0x36] = &op_rmw<B, Q, Rmw::Rol, DpX>;
    t[0x37] = &op_alu<B, Q, Alu::And, DpIndLongY>;
    t[0x38] = &op_flag<B, Q, Flag::C, true>;
    t[0x39] = &op_alu<B, Q, Alu::And, AbsY>;
    t[0x3A] = &op_rmw_acc<B, Q, Rmw::Dec>;
    t[0x3B] = &op_tsc<B, Q>;
    t[0x3C] = &op_alu<B, Q, Alu::Bit, AbsX>;
    t[0x3D] = &op_alu<B, Q, Alu::And, AbsX>;
    t[0x3E] = &op_rmw<B, Q, Rmw::Rol, AbsX>;
    t[0x3F] = &op_alu<B, Q, Alu::And, LongX>;

    t[0x40] = &op_rti<B, Q>;
    t[0x41] = &op_alu<B, Q, Alu::Eor, DpXInd>;
    t[0x42] = &op_wdm<B, Q>;
    t[0x43] = &op_alu<B, Q, Alu::Eor, Sr>;
    t[0x44] = &op_block_move<B, Q, -1>;
    t[0x45] = &op_alu<B, Q, Alu::Eor, Dp>;
    t[0x46] = &op_rmw<B, Q, Rmw::Lsr, Dp>;
    t[0x47] = &op_alu<B, Q, Alu::Eor, DpIndLong>;
    t[0x48] = &op_pha<B, Q>;
    t[0x49] = &op_alu_imm<B, Q, Alu::Eor>;
    t[0x4A] = &op_rmw_acc<B, Q, Rmw::Lsr>;
    t[0x4B] = &op_phk<B, Q>;
    t[0x4C] = &op_jmp_abs<B, Q>;
    t[0x4D] = &op_alu<B, Q, Alu::Eor, Abs>;
    t[0x4E] = &op_rmw<B, Q, Rmw::Lsr, Abs>;
    t[0x4F] = &op_alu<B, Q, Alu::Eor, Long>;

    t[0x50] = &op_branch<B, Q, Cond::Vc>;
    t[0x51] = &op_alu<B, Q, Alu::Eor, DpIndY>;
    t[0x52] = &op_alu<B, Q, Alu::Eor, DpInd>;
    t[0x53] = &op_alu<B, Q, Alu::Eor, SrIndY>;
    t[0x54] = &op_block_move<B, Q, 1>;
    t[0x55] = &op_alu<B, Q, Alu::Eor, DpX>;
    t[0x56] = &op_rmw<B, Q, Rmw::Lsr, DpX>;
    t[0x57] = &op_alu<B, Q, Alu::Eor, DpIndLongY>;
    t[0x58] = &op_flag<B, Q, Flag::I, false>;
    t[0x59] = &op_alu<B, Q, Alu::Eor, AbsY>;
    t[0x5A] = &op_push_index<B, Q, Idx::Y>;
    t[0x5B] = &op_tcd<B, Q>;
    t[0x5C] = &op_jml_long<B, Q>;
    t[0x5D] = &op_alu<B, Q, Alu::Eor, AbsX>;
    t[0x5E] = &op_rmw<B, Q, Rmw::Lsr, AbsX>;
    t[0x5F] = &op_alu<B, Q, Alu::Eor, LongX>;

    t[0x60] = &op_rts<B, Q>;
    t[0x61] = &op_alu<B, Q, Alu::Adc, DpXInd>;
    t[0x62] = &op_per<B, Q>;
    t[0x63] = &op_alu<B, Q, Alu::Adc, Sr>;
    t[0x64] = &op_stz<B, Q, Dp>;
    t[0x65] = &op_alu<B, Q, Alu::Adc, Dp>;
    t[0x66] = &op_rmw<B, Q, Rmw::Ror, Dp>;
    t[0x67] = &op_alu<B, Q, Alu::Adc, DpIndLong>;
    t[0x68] = &op_pla<B, Q>;
    t[0x69] = &op_alu_imm<B, Q, Alu::Adc>;
    t[0x6A] = &op_rmw_acc<B, Q, Rmw::Ror>;
    t[0x6B] = &op_rtl<B, Q>;
    t[0x6C] = &op_jmp_ind<B, Q>;
    t[0x6D] = &op_alu<B, Q, Alu::Adc, Abs>;
    t[0x6E] = &op_rmw<B, Q, Rmw::Ror, Abs>;
    t[0x6F] = &op_alu<B, Q, Alu::Adc, Long>;

    t[0x70] = &op_branch<B, Q, Cond::Vs>;
    t[0x71] = &op_alu<B, Q, Alu::Adc, DpIndY>;
    t[0x72] = &op_alu<B, Q, Alu::Adc, DpInd>;
    t[0x73] = &op_alu<B, Q, Alu::Adc, SrIndY>;
    t[0x74] = &op_stz<B, Q, DpX>;
    t[0x75] = &op_alu<B, Q, Alu::Adc, DpX>;
    t[0x76] = &op_rmw<B, Q, Rmw::Ror, DpX>;
    t[0x77] = &op_alu<B, Q, Alu::Adc, DpIndLongY>;
    t[0x78] = &op_flag<B, Q, Flag::I, true>;
    t[0x79] = &op_alu<B, Q, Alu::Adc, AbsY>;
    t[0x7A] = &op_pull_index<B, Q, Idx::Y>;
    t[0x7B] = &op_tdc<B, Q>;
    t[0x7C] = &op_jmp_indx<B, Q>;
    t[0x7D] = &op_alu<B, Q, Alu::Adc, AbsX>;
    t[0x7E] = &op_rmw<B, Q, Rmw::Ror, AbsX>;
    t[0x7F] = &op_alu<B, Q, Alu::Adc, LongX>;

    t[0x80] = &op_branch<B, Q, Cond::Always>;
    t[0x81] = &op_sta<B, Q, DpXInd>;
    t[0x82] = &op_brl<B, Q>;
    t[0x83] = &op_sta<B, Q, Sr>;
    t[0x84] = &op_st_index<B, Q, Idx::Y, Dp>;
    t[0x85] = &op_sta<B, Q, Dp>;
    t[0x86] = &op_st_index<B, Q, Idx::X, Dp>;
    t[0x87] = &op_sta<B, Q, DpIndLong>;
    t[0x88] = &op_step_index<B, Q, Idx::Y, -1>;
    t[0x89] = &op_alu_imm<B, Q, Alu::Bit>;
    t[0x8A] = &op_transfer_index_to_a<B, Q, Idx::X>;
    t[0x8B] = &op_phb<B, Q>;
    t[0x8C] = &op_st_index<B, Q, Idx::Y, Abs>;
    t[0x8D] = &op_sta<B, Q, Abs>;
    t[0x8E] = &op_st_index<B, Q, Idx::X, Abs>;
    t[0x8F] = &op_sta<B, Q, Long>;

    t[0x90] = &op_branch<B, Q, Cond::Cc>;
    t[0x91] = &op_sta<B, Q, DpIndY>;
    t[0x92] = &op_sta<B, Q, DpInd>;
    t[0x93] = &op_sta<B, Q, SrIndY>;
    t[0x94] = &op_st_index<B, Q, Idx::Y, DpX>;
    t[0x95] = &op_sta<B, Q, DpX>;
    t[0x96] = &op_st_index<B, Q, Idx::X, DpY>;
    t[0x97] = &op_sta<B, Q, DpIndLongY>;
    t[0x98] = &op_transfer_index_to_a<B, Q, Idx::Y>;
    t[0x99] = &op_sta<B, Q, AbsY>;
    t[0x9A] = &op_txs<B, Q>;
    t[0x9B] = &op_transfer_index<B, Q, Idx::X, Idx::Y>;
    t[0x9C] = &op_stz<B, Q, Abs>;
    t[0x9D] = &op_sta<B, Q, AbsX>;
    t[0x9E] = &op_stz<B, Q, AbsX>;
    t[0x9F] = &op_sta<B, Q, LongX>;

    t[0xA0] = &op_ld_index_imm<B, Q, Idx::Y>;
    t[0xA1] = &op_alu<B, Q, Alu::Lda, DpXInd>;
    t[0xA2] = &op_ld_index_imm<B, Q, Idx::X>;
    t[0xA3] = &op_alu<B, Q, Alu::Lda, Sr>;
    t[0xA4] = &op_ld_index<B, Q, Idx::Y, Dp>;
    t[0xA5] = &op_alu<B, Q, Alu::Lda, Dp>;
    t[0xA6] = &op_ld_index<B, Q, Idx::X, Dp>;
    t[0xA7] = &op_alu<B, Q, Alu::Lda, DpIndLong>;
    t[0xA8] = &op_transfer_a_to_index<B, Q, Idx::Y>;
    t[0xA9] = &op_alu_imm<B, Q, Alu::Lda>;
    t[0xAA] = &op_transfer_a_to_index<B, Q, Idx::X>;
    t[0xAB] = &op_plb<B, Q>;
    t[0xAC] = &op_ld_index<B, Q, Idx::Y, Abs>;
    t[0xAD] = &op_alu<B, Q, Alu::Lda, Abs>;
    t[0xAE] = &op_ld_index<B, Q, Idx::X, Abs>;
    t[0xAF] = &op_alu<B, Q, Alu::Lda, Long>;

    t[0xB0] = &op_branch<B, Q, Cond::Cs>;
    t[0xB1] = &op_alu<B, Q, Alu::Lda, DpIndY>;
    t[0xB2] = &op_alu<B, Q, Alu::Lda, DpInd>;
    t[0xB3] = &op_alu<B, Q, Alu::Lda, SrIndY>;
    t[0xB4] = &op_ld_index<B, Q, Idx::Y, DpX>;
    t[0xB5] = &op_alu<B, Q, Alu::Lda, DpX>;
    t[0xB6] = &op_ld_index<B, Q, Idx::X, DpY>;
    t[0xB7] = &op_alu<B, Q, Alu::Lda, DpIndLongY>;
    t[0xB8] = &op_flag<B, Q, Flag::V, false>;
    t[0xB9] = &op_alu<B, Q, Alu::Lda, AbsY>;
    t[0xBA] = &op_tsx<B, Q>;
    t[0xBB] = &op_transfer_index<B, Q, Idx::Y, Idx::X>;
    t[0xBC] = &op_ld_index<B, Q, Idx::Y, AbsX>;
    t[0xBD] = &op_alu<B, Q, Alu::Lda, AbsX>;
    t[0xBE] = &op_ld_index<B, Q, Idx::X, AbsY>;
    t[0xBF] = &op_alu<B, Q, Alu::Lda, LongX>;

    t[0xC0] = &op_cp_index_imm<B, Q, Idx::Y>;
    t[0xC1] = &op_alu<B, Q, Alu::Cmp, DpXInd>;
    t[0xC2] = &op_rep<B, Q>;
    t[0xC3] = &op_alu<B, Q, Alu::Cmp, Sr>;
    t[0xC4] = &op_cp_index<B, Q, Idx::Y, Dp>;
    t[0xC5] = &op_alu<B, Q, Alu::Cmp, Dp>;
    t[0xC6] = &op_rmw<B, Q, Rmw::Dec, Dp>;
    t[0xC7] = &op_alu<B, Q, Alu::Cmp, DpIndLong>;
    t[0xC8] = &op_step_index<B, Q, Idx::Y, 1>;
    t[0xC9] = &op_alu_imm<B, Q, Alu::Cmp>;
    t[0xCA] = &op_step_index<B, Q, Idx::X, -1>;
    t[0xCB] = &op_wai<B, Q>;
    t[0xCC] = &op_cp_index<B, Q, Idx::Y, Abs>;
    t[0xCD] = &op_alu<B, Q, Alu::Cmp, Abs>;
    t[0xCE] = &op_rmw<B, Q, Rmw::Dec, Abs>;
    t[0xCF] = &op_alu<B, Q, Alu::Cmp, Long>;

    t[0xD0] = &op_branch<B, Q, Cond::Ne>;
    t[0xD1] = &op_alu<B, Q, Alu::Cmp, DpIndY>;
    t[0xD2] = &op_alu<B, Q, Alu::Cmp, DpInd>;
    t[0xD3] = &op_alu<B, Q, Alu::Cmp, SrIndY>;
    t[0xD4] = &op_pei<B, Q>;
    t[0xD5] = &op_alu<B, Q, Alu::Cmp, DpX>;
    t[0xD6] = &op_rmw<B, Q, Rmw::Dec, DpX>;
    t[0xD7] = &op_alu<B, Q, Alu::Cmp, DpIndLongY>;
    t[0xD8] = &op_flag<B, Q, Flag::D, false>;
    t[0xD9] = &op_alu<B, Q, Alu::Cmp, AbsY>;
    t[0xDA] = &op_push_index<B, Q, Idx::X>;
    t[0xDB] = &op_stp<B, Q>;
    t[0xDC] = &op_jml_ind<B, Q>;
    t[0xDD] = &op_alu<B, Q, Alu::Cmp, AbsX>;
    t[0xDE] = &op_rmw<B, Q, Rmw::Dec, AbsX>;
    t[0xDF] = &op_alu<B, Q, Alu::Cmp, LongX>;

    t[0xE0] = &op_cp_index_imm<B, Q, Idx::X>;
    t[0xE1] = &op_alu<B, Q, Alu::Sbc, DpXInd>;
    t[0xE2] = &op_sep<B, Q>;
    t[0xE3] = &op_alu<B, Q, Alu::Sbc, Sr>;
    t[0xE4] = &op_cp_index<B, Q, Idx::X, Dp>;
    t[0xE5] = &op_alu<B, Q, Alu::Sbc, Dp>;
    t[0xE6] = &op_rmw<B, Q, Rmw::Inc, Dp>;
    t[0xE7] = &op_alu<B, Q, Alu::Sbc, DpIndLong>;
    t[0xE8] = &op_step_index<B, Q, Idx::X, 1>;
    t[0xE9] = &op_alu_imm<B, Q, Alu::Sbc>;
    t[0xEA] = &op_nop<B, Q>;
    t[0xEB] = &op_xba<B, Q>;
    t[0xEC] = &op_cp_index<B, Q, Idx::X, Abs>;
    t[0xED] = &op_alu<B, Q, Alu::Sbc, Abs>;
    t[0xEE] = &op_rmw<B, Q, Rmw::Inc, Abs>;
    t[0xEF] = &op_alu<B, Q, Alu::Sbc, Long>;

    t[0xF0] = &op_branch<B, Q, Cond::Eq>;
    t[0xF1] = &op_alu<B, Q, Alu::Sbc, DpIndY>;
    t[0xF2] = &op_alu<B, Q, Alu::Sbc, DpInd>;
    t[0xF3] = &op_alu<B, Q, Alu::Sbc, SrIndY>;
    t[0xF4] = &op_pea<B, Q>;
    t[0xF5] = &op_alu<B, Q, Alu::Sbc, DpX>;
    t[0xF6] = &op_rmw<B, Q, Rmw::Inc, DpX>;
    t[0xF7] = &op_alu<B, Q, Alu::Sbc, DpIndLongY>;
    t[0xF8] = &op_flag<B, Q, Flag::D, true>;
    t[0xF9] = &op_alu<B, Q, Alu::Sbc, AbsY>;
    t[0xFA] = &op_pull_index<B, Q, Idx::X>;
    t[0xFB] = &op_xce<B, Q>;
    t[0xFC] = &op_jsr_indx<B, Q>;
    t[0xFD] = &op_alu<B, Q, Alu::Sbc, AbsX>;
    t[0xFE] = &op_rmw<B, Q, Rmw::Inc, AbsX>;
    t[0xFF] = &op_alu<B, Q, Alu::Sbc, LongX>;
}

// The emulation table and the four native quarters of one bus, built once.
template <class B>
struct Tables {
    Routine<B> emu[256];
    Routine<B> native[1024];

    static const Tables& get() {
        static const Tables tables = build();
        return tables;
    }

  private:
    static Tables build() {
        Tables t{};
        fill_table<B, kEmu>(t.emu);
        fill_table<B, 0>(t.native);
        fill_table<B, 1>(t.native + 256);
        fill_table<B, 2>(t.native + 512);
        fill_table<B, 3>(t.native + 768);
        return t;
    }
};

// ---------------------------------------------------------------------------
// Entry points used by the owner of a core instance

template <class B>
void power_on(Ctx<B>& m) {
    auto& c = B::cpu(m);
    static_cast<CpuRegs&>(c) = CpuRegs{};
    c.p = kEmulationStatus;
    c.check_routine = &interrupt_check<B>;
    c.next_step = c.check_routine;
    select_table<B>(c);
    c.pc = read_pointer16<B>(m, 0xFFFC);
}

template <class B>
void reset(Ctx<B>& m) {
    auto& c = B::cpu(m);
    B::tick(m, 24);
    c.p = kEmulationStatus;
    c.e = 1;
    c.x &= 0xFF;
    c.y &= 0xFF;
    c.s = uint16_t(0x0100 | ((c.s - 3) & 0xFF));
    c.d = 0;
    c.irq_mask = 0;
    c.irq_sources = 0;
    c.nmi_pending = 0;
    c.waiting = 0;
    c.check_routine = &interrupt_check<B>;
    c.next_step = c.check_routine;
    select_table<B>(c);
    c.pc = read_pointer16<B>(m, 0xFFFC);
    c.pbr = 0;
    c.dbr = 0;
}

template <class B>
void raise_nmi(Ctx<B>& m) {
    auto& c = B::cpu(m);
    c.nmi_pending = 1;
    c.next_step = c.check_routine;
}

template <class B>
void raise_irq(Ctx<B>& m, uint8_t source) {
    auto& c = B::cpu(m);
    c.irq_sources |= source;
    c.next_step = c.check_routine;
}

// Sets the full status and E as a debugger edit or a loaded state does, and
// re-derives the IRQ mask, the table and the dispatch.
template <class B>
void set_status_and_mode(Ctx<B>& m, uint8_t status, uint8_t e) {
    auto& c = B::cpu(m);
    c.e = e ? 1 : 0;
    if (c.e) {
        set_status<B, kEmu>(c, status);
        c.x &= 0xFF;
        c.y &= 0xFF;
        c.s = uint16_t(0x0100 | (c.s & 0xFF));
        select_table<B>(c);
    } else {
        set_status<B, 0>(c, status);
    }
    c.waiting = 0;
    c.check_routine = &interrupt_check<B>;
    c.next_step = c.check_routine;
}

}  // namespace vt::w65816
