// The SPC700 instruction handlers and the opcode table.
//
// Handlers are built from small pieces: addressing modes (which fetch their
// operand bytes and return an address), sources (a byte from an addressing
// mode or an immediate), and operations on the unpacked flags. Each handler
// returns the extra cycles of a taken branch (0 for everything else).
#include "audio/spc700_opcodes.h"

#include "audio/spc700_bus.h"

namespace vt {

namespace {

constexpr int kTaken = 2;

// ---------------------------------------------------------------------------
// Fetching, direct page, stack

inline uint8_t fetch(Machine& m) { return spc_read(m, m.apu.pc++); }

inline uint16_t fetch16(Machine& m) {
    uint16_t lo = fetch(m);
    return uint16_t(lo | fetch(m) << 8);
}

// The P flag is the high byte of every direct-page address.
inline uint16_t dp_addr(const Apu& s, uint8_t offset) { return uint16_t(s.psw.p << 8 | offset); }

// A word in the direct page: the high byte wraps within the page.
inline uint16_t read_dp_word(Machine& m, uint8_t offset) {
    uint16_t lo = spc_read(m, dp_addr(m.apu, offset));
    return uint16_t(lo | spc_read(m, dp_addr(m.apu, uint8_t(offset + 1))) << 8);
}

inline void write_dp_word(Machine& m, uint8_t offset, uint16_t value) {
    spc_write(m, dp_addr(m.apu, offset), uint8_t(value));
    spc_write(m, dp_addr(m.apu, uint8_t(offset + 1)), uint8_t(value >> 8));
}

// The stack is page 1, which holds no I/O registers; pushes are writes like
// any other (TEST can keep them out of RAM).
inline void push(Machine& m, uint8_t v) {
    Apu& s = m.apu;
    spc_write(m, uint16_t(0x100 | s.sp), v);
    s.sp--;
}
inline uint8_t pop(Apu& s) { return s.ram[0x100 | ++s.sp]; }

inline void push_pc(Machine& m) {
    push(m, uint8_t(m.apu.pc >> 8));
    push(m, uint8_t(m.apu.pc));
}

inline uint16_t pop_pc(Apu& s) {
    uint16_t lo = pop(s);
    return uint16_t(lo | pop(s) << 8);
}

// The vectors of TCALL and BRK lie at $FFC0-$FFDF, where the boot ROM shows
// while it is mapped: they are read like any other bytes.
inline uint16_t read_word(Machine& m, uint16_t addr) {
    uint16_t lo = spc_read(m, addr);
    return uint16_t(lo | spc_read(m, uint16_t(addr + 1)) << 8);
}

inline uint16_t ya(const Apu& s) { return uint16_t(s.y << 8 | s.a); }

inline void set_ya(Apu& s, uint16_t v) {
    s.a = uint8_t(v);
    s.y = uint8_t(v >> 8);
}

inline void set_nz(Psw& f, uint8_t v) {
    f.n = v & 0x80;
    f.z = v == 0;
}

inline void set_nz16(Psw& f, uint16_t v) {
    f.n = v & 0x8000;
    f.z = v == 0;
}

// ---------------------------------------------------------------------------
// Addressing modes

using Mode = uint16_t (*)(Machine&);

inline uint16_t am_dp(Machine& m) { return dp_addr(m.apu, fetch(m)); }
inline uint16_t am_dpx(Machine& m) { return dp_addr(m.apu, uint8_t(fetch(m) + m.apu.x)); }
inline uint16_t am_dpy(Machine& m) { return dp_addr(m.apu, uint8_t(fetch(m) + m.apu.y)); }
inline uint16_t am_abs(Machine& m) { return fetch16(m); }
inline uint16_t am_absx(Machine& m) { return uint16_t(fetch16(m) + m.apu.x); }
inline uint16_t am_absy(Machine& m) { return uint16_t(fetch16(m) + m.apu.y); }
inline uint16_t am_ix(Machine& m) { return dp_addr(m.apu, m.apu.x); }                         // (X)
inline uint16_t am_idpx(Machine& m) { return read_dp_word(m, uint8_t(fetch(m) + m.apu.x)); }  // [dp+X]
inline uint16_t am_idpy(Machine& m) {                                                         // [dp]+Y
    return uint16_t(read_dp_word(m, fetch(m)) + m.apu.y);
}

using Source = uint8_t (*)(Machine&);

template <Mode M>
uint8_t mem(Machine& m) {
    return spc_read(m, M(m));
}

inline uint8_t imm(Machine& m) { return fetch(m); }

// ---------------------------------------------------------------------------
// Operations

using Alu = uint8_t (*)(Psw&, uint8_t, uint8_t);

uint8_t alu_or(Psw& f, uint8_t a, uint8_t b) {
    uint8_t r = a | b;
    set_nz(f, r);
    return r;
}

uint8_t alu_and(Psw& f, uint8_t a, uint8_t b) {
    uint8_t r = a & b;
    set_nz(f, r);
    return r;
}

uint8_t alu_eor(Psw& f, uint8_t a, uint8_t b) {
    uint8_t r = a ^ b;
    set_nz(f, r);
    return r;
}

// Returns the first operand unchanged, so the handlers can share the shape
// of the other operations; the compare forms never store it.
uint8_t alu_cmp(Psw& f, uint8_t a, uint8_t b) {
    f.c = a >= b;
    set_nz(f, uint8_t(a - b));
    return a;
}

// H is the carry out of bit 3. A subtraction is an addition of the
// operand's complement, so there C and H mean "no borrow" from bit 8 and
// from bit 4.
uint8_t alu_adc(Psw& f, uint8_t a, uint8_t b) {
    unsigned sum = unsigned(a) + b + f.c;
    uint8_t r = uint8_t(sum);
    f.h = ((a & 0x0F) + (b & 0x0F) + f.c) > 0x0F;
    f.c = sum > 0xFF;
    f.v = ~(a ^ b) & (a ^ r) & 0x80;
    set_nz(f, r);
    return r;
}

uint8_t alu_sbc(Psw& f, uint8_t a, uint8_t b) { return alu_adc(f, a, uint8_t(~b)); }

using Unary = uint8_t (*)(Psw&, uint8_t);

uint8_t op_asl(Psw& f, uint8_t v) {
    f.c = v & 0x80;
    v = uint8_t(v << 1);
    set_nz(f, v);
    return v;
}

uint8_t op_rol(Psw& f, uint8_t v) {
    bool carry_in = f.c;
    f.c = v & 0x80;
    v = uint8_t(v << 1 | carry_in);
    set_nz(f, v);
    return v;
}

uint8_t op_lsr(Psw& f, uint8_t v) {
    f.c = v & 0x01;
    v >>= 1;
    set_nz(f, v);
    return v;
}

uint8_t op_ror(Psw& f, uint8_t v) {
    bool carry_in = f.c;
    f.c = v & 0x01;
    v = uint8_t(v >> 1 | carry_in << 7);
    set_nz(f, v);
    return v;
}

uint8_t op_inc(Psw& f, uint8_t v) {
    v++;
    set_nz(f, v);
    return v;
}

uint8_t op_dec(Psw& f, uint8_t v) {
    v--;
    set_nz(f, v);
    return v;
}

// ---------------------------------------------------------------------------
// Arithmetic and logic handlers

template <Alu OP, Source SRC>
int alu_a(Machine& m) {
    uint8_t b = SRC(m);
    m.apu.a = OP(m.apu.psw, m.apu.a, b);
    return 0;
}

// dp, #imm: the immediate byte comes first.
template <Alu OP, bool Store>
int alu_dp_imm(Machine& m) {
    uint8_t b = fetch(m);
    uint16_t addr = am_dp(m);
    uint8_t r = OP(m.apu.psw, spc_read(m, addr), b);
    if constexpr (Store) spc_write(m, addr, r);
    return 0;
}

// dp, dp: the source byte comes first, then the destination.
template <Alu OP, bool Store>
int alu_dp_dp(Machine& m) {
    uint8_t b = spc_read(m, am_dp(m));
    uint16_t addr = am_dp(m);
    uint8_t r = OP(m.apu.psw, spc_read(m, addr), b);
    if constexpr (Store) spc_write(m, addr, r);
    return 0;
}

// (X), (Y): both in the direct page.
template <Alu OP, bool Store>
int alu_ix_iy(Machine& m) {
    Apu& s = m.apu;
    uint8_t b = spc_read(m, dp_addr(s, s.y));
    uint16_t addr = dp_addr(s, s.x);
    uint8_t r = OP(s.psw, spc_read(m, addr), b);
    if constexpr (Store) spc_write(m, addr, r);
    return 0;
}

template <uint8_t Apu::*R, Source SRC>
int cmp_reg(Machine& m) {
    uint8_t b = SRC(m);
    alu_cmp(m.apu.psw, m.apu.*R, b);
    return 0;
}

template <Unary OP, Mode M>
int rmw_mem(Machine& m) {
    uint16_t addr = M(m);
    spc_write(m, addr, OP(m.apu.psw, spc_read(m, addr)));
    return 0;
}

template <Unary OP, uint8_t Apu::*R>
int rmw_reg(Machine& m) {
    m.apu.*R = OP(m.apu.psw, m.apu.*R);
    return 0;
}

int xcn(Machine& m) {
    Apu& s = m.apu;
    s.a = uint8_t(s.a >> 4 | s.a << 4);
    set_nz(s.psw, s.a);
    return 0;
}

// MUL YA: N and Z follow Y, the product's high byte.
int mul(Machine& m) {
    Apu& s = m.apu;
    uint16_t r = uint16_t(s.y * s.a);
    set_ya(s, r);
    set_nz(s.psw, s.y);
    return 0;
}

// DIV YA, X. The divider produces a 9-bit quotient: while Y < 2X it is the
// plain quotient and remainder (V tells a quotient above $FF, A keeps its
// low byte); beyond that, X = 0 included, the chip gives the results below.
// H is set when the low digit of Y is at least that of X. N and Z follow A.
int div(Machine& m) {
    Apu& s = m.apu;
    const uint32_t dividend = ya(s);
    const uint32_t x = s.x;
    s.psw.v = s.y >= x;
    s.psw.h = (s.y & 0x0F) >= (x & 0x0F);
    if (s.y < (x << 1)) {
        s.a = uint8_t(dividend / x);
        s.y = uint8_t(dividend % x);
    } else {
        const uint32_t excess = dividend - (x << 9);
        s.a = uint8_t(255 - excess / (256 - x));
        s.y = uint8_t(x + excess % (256 - x));
    }
    set_nz(s.psw, s.a);
    return 0;
}

// Decimal adjust after an addition: $60 more when a carry came out or A is
// above $99 (C then set), 6 more when a half carry came out or the low digit
// is above 9.
int daa(Machine& m) {
    Apu& s = m.apu;
    if (s.psw.c || s.a > 0x99) {
        s.a += 0x60;
        s.psw.c = true;
    }
    if (s.psw.h || (s.a & 0x0F) > 9) s.a += 6;
    set_nz(s.psw, s.a);
    return 0;
}

// Decimal adjust after a subtraction: $60 less when it borrowed (C clear) or
// A is above $99 (C then clear), 6 less when the low digit borrowed (H
// clear) or is above 9.
int das(Machine& m) {
    Apu& s = m.apu;
    if (!s.psw.c || s.a > 0x99) {
        s.a -= 0x60;
        s.psw.c = false;
    }
    if (!s.psw.h || (s.a & 0x0F) > 9) s.a -= 6;
    set_nz(s.psw, s.a);
    return 0;
}

// ---------------------------------------------------------------------------
// 16-bit operations on YA and a direct-page word

int movw_ya_dp(Machine& m) {
    uint16_t v = read_dp_word(m, fetch(m));
    set_ya(m.apu, v);
    set_nz16(m.apu.psw, v);
    return 0;
}

int movw_dp_ya(Machine& m) {
    write_dp_word(m, fetch(m), ya(m.apu));
    return 0;
}

template <int Delta>
int incw_decw(Machine& m) {
    uint8_t offset = fetch(m);
    uint16_t v = uint16_t(read_dp_word(m, offset) + Delta);
    write_dp_word(m, offset, v);
    set_nz16(m.apu.psw, v);
    return 0;
}

// ADDW and SUBW add the word without a carry in (SUBW adds the complement
// and 1); H is the carry out of bit 11, C out of bit 15.
inline void add_word(Apu& s, uint16_t a, uint16_t b, unsigned carry_in) {
    uint32_t sum = uint32_t(a) + b + carry_in;
    uint16_t r = uint16_t(sum);
    s.psw.h = ((a & 0x0FFF) + (b & 0x0FFF) + carry_in) > 0x0FFF;
    s.psw.c = sum > 0xFFFF;
    s.psw.v = ~(a ^ b) & (a ^ r) & 0x8000;
    set_ya(s, r);
    set_nz16(s.psw, r);
}

int addw(Machine& m) {
    uint16_t b = read_dp_word(m, fetch(m));
    add_word(m.apu, ya(m.apu), b, 0);
    return 0;
}

int subw(Machine& m) {
    uint16_t b = read_dp_word(m, fetch(m));
    add_word(m.apu, ya(m.apu), uint16_t(~b), 1);
    return 0;
}

int cmpw(Machine& m) {
    Apu& s = m.apu;
    uint16_t a = ya(s);
    uint16_t b = read_dp_word(m, fetch(m));
    s.psw.c = a >= b;
    set_nz16(s.psw, uint16_t(a - b));
    return 0;
}

// ---------------------------------------------------------------------------
// Moves

template <uint8_t Apu::*R, Source SRC>
int mov_load(Machine& m) {
    uint8_t v = SRC(m);
    m.apu.*R = v;
    set_nz(m.apu.psw, v);
    return 0;
}

template <uint8_t Apu::*R, Mode M>
int mov_store(Machine& m) {
    uint16_t addr = M(m);
    spc_write(m, addr, m.apu.*R);
    return 0;
}

template <uint8_t Apu::*D, uint8_t Apu::*S>
int mov_reg(Machine& m) {
    m.apu.*D = m.apu.*S;
    set_nz(m.apu.psw, m.apu.*D);
    return 0;
}

int mov_sp_x(Machine& m) {
    m.apu.sp = m.apu.x;  // no flags
    return 0;
}

int mov_dp_imm(Machine& m) {
    uint8_t v = fetch(m);
    spc_write(m, am_dp(m), v);
    return 0;
}

int mov_dp_dp(Machine& m) {
    uint8_t v = spc_read(m, am_dp(m));
    spc_write(m, am_dp(m), v);
    return 0;
}

int mov_a_xinc(Machine& m) {
    Apu& s = m.apu;
    s.a = spc_read(m, dp_addr(s, s.x));
    s.x++;
    set_nz(s.psw, s.a);
    return 0;
}

int mov_xinc_a(Machine& m) {
    Apu& s = m.apu;
    spc_write(m, dp_addr(s, s.x), s.a);
    s.x++;
    return 0;
}

// ---------------------------------------------------------------------------
// Branches

inline int branch(Machine& m, bool taken) {
    int8_t rel = int8_t(fetch(m));
    if (!taken) return 0;
    m.apu.pc = uint16_t(m.apu.pc + rel);
    return kTaken;
}

template <bool Psw::*F, bool V>
int branch_if(Machine& m) {
    return branch(m, m.apu.psw.*F == V);
}

// BRA always branches; its table cost already includes that.
int bra(Machine& m) {
    branch(m, true);
    return 0;
}

template <int B>
int bbs(Machine& m) {
    uint8_t v = spc_read(m, am_dp(m));
    return branch(m, v & (1 << B));
}

template <int B>
int bbc(Machine& m) {
    uint8_t v = spc_read(m, am_dp(m));
    return branch(m, !(v & (1 << B)));
}

template <Mode M>
int cbne(Machine& m) {
    uint8_t v = spc_read(m, M(m));
    return branch(m, m.apu.a != v);
}

int dbnz_dp(Machine& m) {
    uint16_t addr = am_dp(m);
    uint8_t v = uint8_t(spc_read(m, addr) - 1);
    spc_write(m, addr, v);
    return branch(m, v != 0);
}

int dbnz_y(Machine& m) {
    m.apu.y--;
    return branch(m, m.apu.y != 0);
}

// ---------------------------------------------------------------------------
// Bit operations

template <int B>
int set1(Machine& m) {
    uint16_t addr = am_dp(m);
    spc_write(m, addr, uint8_t(spc_read(m, addr) | 1 << B));
    return 0;
}

template <int B>
int clr1(Machine& m) {
    uint16_t addr = am_dp(m);
    spc_write(m, addr, uint8_t(spc_read(m, addr) & ~(1 << B)));
    return 0;
}

// mem.bit operands: a 13-bit address and the bit number in bits 13-15.
struct BitOperand {
    uint16_t addr;
    uint8_t bit;
};

inline BitOperand fetch_bit_operand(Machine& m) {
    uint16_t w = fetch16(m);
    return {uint16_t(w & 0x1FFF), uint8_t(w >> 13)};
}

inline bool read_bit(Machine& m, BitOperand op) { return (spc_read(m, op.addr) >> op.bit) & 1; }

int or1(Machine& m) {
    bool bit = read_bit(m, fetch_bit_operand(m));
    m.apu.psw.c = m.apu.psw.c || bit;
    return 0;
}

int or1_not(Machine& m) {
    bool bit = read_bit(m, fetch_bit_operand(m));
    m.apu.psw.c = m.apu.psw.c || !bit;
    return 0;
}

int and1(Machine& m) {
    bool bit = read_bit(m, fetch_bit_operand(m));
    m.apu.psw.c = m.apu.psw.c && bit;
    return 0;
}

int and1_not(Machine& m) {
    bool bit = read_bit(m, fetch_bit_operand(m));
    m.apu.psw.c = m.apu.psw.c && !bit;
    return 0;
}

int eor1(Machine& m) {
    bool bit = read_bit(m, fetch_bit_operand(m));
    m.apu.psw.c = m.apu.psw.c != bit;
    return 0;
}

int not1(Machine& m) {
    BitOperand op = fetch_bit_operand(m);
    spc_write(m, op.addr, uint8_t(spc_read(m, op.addr) ^ (1 << op.bit)));
    return 0;
}

int mov1_c_bit(Machine& m) {
    m.apu.psw.c = read_bit(m, fetch_bit_operand(m));
    return 0;
}

int mov1_bit_c(Machine& m) {
    BitOperand op = fetch_bit_operand(m);
    uint8_t v = spc_read(m, op.addr);
    v = m.apu.psw.c ? uint8_t(v | 1 << op.bit) : uint8_t(v & ~(1 << op.bit));
    spc_write(m, op.addr, v);
    return 0;
}

// TSET1/TCLR1: N and Z as a compare of A with memory as read (A - memory),
// then set or clear the bits of A in memory.
int tset1(Machine& m) {
    Apu& s = m.apu;
    uint16_t addr = am_abs(m);
    uint8_t v = spc_read(m, addr);
    set_nz(s.psw, uint8_t(s.a - v));
    spc_write(m, addr, v | s.a);
    return 0;
}

int tclr1(Machine& m) {
    Apu& s = m.apu;
    uint16_t addr = am_abs(m);
    uint8_t v = spc_read(m, addr);
    set_nz(s.psw, uint8_t(s.a - v));
    spc_write(m, addr, v & ~s.a);
    return 0;
}

// ---------------------------------------------------------------------------
// Flags

template <bool Psw::*F, bool V>
int set_flag(Machine& m) {
    m.apu.psw.*F = V;
    return 0;
}

int notc(Machine& m) {
    m.apu.psw.c = !m.apu.psw.c;
    return 0;
}

int clrv(Machine& m) {
    m.apu.psw.v = false;
    m.apu.psw.h = false;
    return 0;
}

// ---------------------------------------------------------------------------
// Jumps, calls, stack

int nop(Machine&) { return 0; }

int jmp_abs(Machine& m) {
    m.apu.pc = fetch16(m);
    return 0;
}

int jmp_absx_indirect(Machine& m) {
    uint16_t addr = am_absx(m);
    uint16_t lo = spc_read(m, addr);
    m.apu.pc = uint16_t(lo | spc_read(m, uint16_t(addr + 1)) << 8);
    return 0;
}

int call(Machine& m) {
    uint16_t target = fetch16(m);
    push_pc(m);
    m.apu.pc = target;
    return 0;
}

int pcall(Machine& m) {
    uint8_t offset = fetch(m);
    push_pc(m);
    m.apu.pc = uint16_t(0xFF00 | offset);
    return 0;
}

template <int N>
int tcall(Machine& m) {
    push_pc(m);
    m.apu.pc = read_word(m, uint16_t(0xFFDE - 2 * N));
    return 0;
}

// BRK pushes PC and PSW, sets B, clears I and jumps through $FFDE.
int brk(Machine& m) {
    Apu& s = m.apu;
    push_pc(m);
    push(m, psw_pack(s.psw));
    s.psw.b = true;
    s.psw.i = false;
    s.pc = read_word(m, 0xFFDE);
    return 0;
}

int ret(Machine& m) {
    m.apu.pc = pop_pc(m.apu);
    return 0;
}

// RETI pops PSW, then PC.
int reti(Machine& m) {
    Apu& s = m.apu;
    s.psw = psw_unpack(pop(s));
    s.pc = pop_pc(s);
    return 0;
}

template <uint8_t Apu::*R>
int push_reg(Machine& m) {
    push(m, m.apu.*R);
    return 0;
}

template <uint8_t Apu::*R>
int pop_reg(Machine& m) {
    m.apu.*R = pop(m.apu);  // no flags
    return 0;
}

int push_psw(Machine& m) {
    push(m, psw_pack(m.apu.psw));
    return 0;
}

int pop_psw(Machine& m) {
    m.apu.psw = psw_unpack(pop(m.apu));
    return 0;
}

// SLEEP and STOP stay on themselves until a reset.
int halt(Machine& m) {
    m.apu.pc--;
    return 0;
}

// Shorter names for the table.
constexpr auto A = &Apu::a;
constexpr auto X = &Apu::x;
constexpr auto Y = &Apu::y;
constexpr auto SP = &Apu::sp;
constexpr auto C = &Psw::c;
constexpr auto Z = &Psw::z;
constexpr auto I = &Psw::i;
constexpr auto P = &Psw::p;
constexpr auto V = &Psw::v;
constexpr auto N = &Psw::n;

}  // namespace

const SpcHandler kSpcOps[256] = {
    // $00
    nop, tcall<0>, set1<0>, bbs<0>,
    alu_a<alu_or, mem<am_dp>>, alu_a<alu_or, mem<am_abs>>, alu_a<alu_or, mem<am_ix>>, alu_a<alu_or, mem<am_idpx>>,
    alu_a<alu_or, imm>, alu_dp_dp<alu_or, true>, or1, rmw_mem<op_asl, am_dp>,
    rmw_mem<op_asl, am_abs>, push_psw, tset1, brk,
    // $10
    branch_if<N, false>, tcall<1>, clr1<0>, bbc<0>,
    alu_a<alu_or, mem<am_dpx>>, alu_a<alu_or, mem<am_absx>>, alu_a<alu_or, mem<am_absy>>, alu_a<alu_or, mem<am_idpy>>,
    alu_dp_imm<alu_or, true>, alu_ix_iy<alu_or, true>, incw_decw<-1>, rmw_mem<op_asl, am_dpx>,
    rmw_reg<op_asl, A>, rmw_reg<op_dec, X>, cmp_reg<X, mem<am_abs>>, jmp_absx_indirect,
    // $20
    set_flag<P, false>, tcall<2>, set1<1>, bbs<1>,
    alu_a<alu_and, mem<am_dp>>, alu_a<alu_and, mem<am_abs>>, alu_a<alu_and, mem<am_ix>>, alu_a<alu_and, mem<am_idpx>>,
    alu_a<alu_and, imm>, alu_dp_dp<alu_and, true>, or1_not, rmw_mem<op_rol, am_dp>,
    rmw_mem<op_rol, am_abs>, push_reg<A>, cbne<am_dp>, bra,
    // $30
    branch_if<N, true>, tcall<3>, clr1<1>, bbc<1>,
    alu_a<alu_and, mem<am_dpx>>, alu_a<alu_and, mem<am_absx>>, alu_a<alu_and, mem<am_absy>>, alu_a<alu_and, mem<am_idpy>>,
    alu_dp_imm<alu_and, true>, alu_ix_iy<alu_and, true>, incw_decw<1>, rmw_mem<op_rol, am_dpx>,
    rmw_reg<op_rol, A>, rmw_reg<op_inc, X>, cmp_reg<X, mem<am_dp>>, call,
    // $40
    set_flag<P, true>, tcall<4>, set1<2>, bbs<2>,
    alu_a<alu_eor, mem<am_dp>>, alu_a<alu_eor, mem<am_abs>>, alu_a<alu_eor, mem<am_ix>>, alu_a<alu_eor, mem<am_idpx>>,
    alu_a<alu_eor, imm>, alu_dp_dp<alu_eor, true>, and1, rmw_mem<op_lsr, am_dp>,
    rmw_mem<op_lsr, am_abs>, push_reg<X>, tclr1, pcall,
    // $50
    branch_if<V, false>, tcall<5>, clr1<2>, bbc<2>,
    alu_a<alu_eor, mem<am_dpx>>, alu_a<alu_eor, mem<am_absx>>, alu_a<alu_eor, mem<am_absy>>, alu_a<alu_eor, mem<am_idpy>>,
    alu_dp_imm<alu_eor, true>, alu_ix_iy<alu_eor, true>, cmpw, rmw_mem<op_lsr, am_dpx>,
    rmw_reg<op_lsr, A>, mov_reg<X, A>, cmp_reg<Y, mem<am_abs>>, jmp_abs,
    // $60
    set_flag<C, false>, tcall<6>, set1<3>, bbs<3>,
    alu_a<alu_cmp, mem<am_dp>>, alu_a<alu_cmp, mem<am_abs>>, alu_a<alu_cmp, mem<am_ix>>, alu_a<alu_cmp, mem<am_idpx>>,
    alu_a<alu_cmp, imm>, alu_dp_dp<alu_cmp, false>, and1_not, rmw_mem<op_ror, am_dp>,
    rmw_mem<op_ror, am_abs>, push_reg<Y>, dbnz_dp, ret,
    // $70
    branch_if<V, true>, tcall<7>, clr1<3>, bbc<3>,
    alu_a<alu_cmp, mem<am_dpx>>, alu_a<alu_cmp, mem<am_absx>>, alu_a<alu_cmp, mem<am_absy>>, alu_a<alu_cmp, mem<am_idpy>>,
    alu_dp_imm<alu_cmp, false>, alu_ix_iy<alu_cmp, false>, addw, rmw_mem<op_ror, am_dpx>,
    rmw_reg<op_ror, A>, mov_reg<A, X>, cmp_reg<Y, mem<am_dp>>, reti,
    // $80
    set_flag<C, true>, tcall<8>, set1<4>, bbs<4>,
    alu_a<alu_adc, mem<am_dp>>, alu_a<alu_adc, mem<am_abs>>, alu_a<alu_adc, mem<am_ix>>, alu_a<alu_adc, mem<am_idpx>>,
    alu_a<alu_adc, imm>, alu_dp_dp<alu_adc, true>, eor1, rmw_mem<op_dec, am_dp>,
    rmw_mem<op_dec, am_abs>, mov_load<Y, imm>, pop_psw, mov_dp_imm,
    // $90
    branch_if<C, false>, tcall<9>, clr1<4>, bbc<4>,
    alu_a<alu_adc, mem<am_dpx>>, alu_a<alu_adc, mem<am_absx>>, alu_a<alu_adc, mem<am_absy>>, alu_a<alu_adc, mem<am_idpy>>,
    alu_dp_imm<alu_adc, true>, alu_ix_iy<alu_adc, true>, subw, rmw_mem<op_dec, am_dpx>,
    rmw_reg<op_dec, A>, mov_reg<X, SP>, div, xcn,
    // $A0
    set_flag<I, true>, tcall<10>, set1<5>, bbs<5>,
    alu_a<alu_sbc, mem<am_dp>>, alu_a<alu_sbc, mem<am_abs>>, alu_a<alu_sbc, mem<am_ix>>, alu_a<alu_sbc, mem<am_idpx>>,
    alu_a<alu_sbc, imm>, alu_dp_dp<alu_sbc, true>, mov1_c_bit, rmw_mem<op_inc, am_dp>,
    rmw_mem<op_inc, am_abs>, cmp_reg<Y, imm>, pop_reg<A>, mov_xinc_a,
    // $B0
    branch_if<C, true>, tcall<11>, clr1<5>, bbc<5>,
    alu_a<alu_sbc, mem<am_dpx>>, alu_a<alu_sbc, mem<am_absx>>, alu_a<alu_sbc, mem<am_absy>>, alu_a<alu_sbc, mem<am_idpy>>,
    alu_dp_imm<alu_sbc, true>, alu_ix_iy<alu_sbc, true>, movw_ya_dp, rmw_mem<op_inc, am_dpx>,
    rmw_reg<op_inc, A>, mov_sp_x, das, mov_a_xinc,
    // $C0
    set_flag<I, false>, tcall<12>, set1<6>, bbs<6>,
    mov_store<A, am_dp>, mov_store<A, am_abs>, mov_store<A, am_ix>, mov_store<A, am_idpx>,
    cmp_reg<X, imm>, mov_store<X, am_abs>, mov1_bit_c, mov_store<Y, am_dp>,
    mov_store<Y, am_abs>, mov_load<X, imm>, pop_reg<X>, mul,
    // $D0
    branch_if<Z, false>, tcall<13>, clr1<6>, bbc<6>,
    mov_store<A, am_dpx>, mov_store<A, am_absx>, mov_store<A, am_absy>, mov_store<A, am_idpy>,
    mov_store<X, am_dp>, mov_store<X, am_dpy>, movw_dp_ya, mov_store<Y, am_dpx>,
    rmw_reg<op_dec, Y>, mov_reg<A, Y>, cbne<am_dpx>, daa,
    // $E0
    clrv, tcall<14>, set1<7>, bbs<7>,
    mov_load<A, mem<am_dp>>, mov_load<A, mem<am_abs>>, mov_load<A, mem<am_ix>>, mov_load<A, mem<am_idpx>>,
    mov_load<A, imm>, mov_load<X, mem<am_abs>>, not1, mov_load<Y, mem<am_dp>>,
    mov_load<Y, mem<am_abs>>, notc, pop_reg<Y>, halt,
    // $F0
    branch_if<Z, true>, tcall<15>, clr1<7>, bbc<7>,
    mov_load<A, mem<am_dpx>>, mov_load<A, mem<am_absx>>, mov_load<A, mem<am_absy>>, mov_load<A, mem<am_idpy>>,
    mov_load<X, mem<am_dp>>, mov_load<X, mem<am_dpy>>, mov_dp_dp, mov_load<Y, mem<am_dpx>>,
    rmw_reg<op_inc, Y>, mov_reg<Y, A>, dbnz_y, halt,
};

// Cycles per opcode, from the published instruction set; a taken branch
// adds kTaken.
const uint8_t kSpcCycles[256] = {
    2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 5, 4, 5, 4, 6, 8,   // $00
    2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 6, 5, 2, 2, 4, 6,   // $10
    2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 5, 4, 5, 4, 5, 4,   // $20
    2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 6, 5, 2, 2, 3, 8,   // $30
    2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 4, 4, 5, 4, 6, 6,   // $40
    2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 4, 5, 2, 2, 4, 3,   // $50
    2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 4, 4, 5, 4, 5, 5,   // $60
    2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 5, 5, 2, 2, 3, 6,   // $70
    2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 5, 4, 5, 2, 4, 5,   // $80
    2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 5, 5, 2, 2, 12, 5,  // $90
    3, 8, 4, 5, 3, 4, 3, 6, 2, 6, 4, 4, 5, 2, 4, 4,   // $A0
    2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 5, 5, 2, 2, 3, 4,   // $B0
    3, 8, 4, 5, 4, 5, 4, 7, 2, 5, 6, 4, 5, 2, 4, 9,   // $C0
    2, 8, 4, 5, 5, 6, 6, 7, 4, 5, 5, 5, 2, 2, 6, 3,   // $D0
    2, 8, 4, 5, 3, 4, 3, 6, 2, 4, 5, 3, 4, 3, 4, 3,   // $E0
    2, 8, 4, 5, 4, 5, 5, 6, 3, 4, 5, 4, 2, 2, 4, 3,   // $F0
};

}  // namespace vt
