// The GSU interpreter: one handler per opcode, ALT state and register
// operand, dispatched through a table of 1,024 entries indexed by
// (ALT1 + 2 x ALT2) x 256 + opcode.
//
// Pipeline: the byte after the current instruction is always fetched ahead
// into `pipe`. When a handler starts, R15 addresses that byte; the handler
// steps R15 past every byte it consumes (its operands come out of the
// pipeline, and each next byte is fetched into it). So the instruction that
// follows a write to R15 (a branch, JMP, LOOP, IWT R15 ...) has already been
// fetched and runs once before the new address takes effect: the delay slot.
#include <utility>

#include "coproc/gsu/gsu.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/main_cpu.h"

namespace vt {

namespace {

using GsuOp = void (*)(Machine& m);

// --- helpers shared by the handlers

// Takes the pipeline byte as an operand and fetches the next one.
inline uint8_t operand_byte(Gsu& g) {
    uint8_t v = g.pipe;
    g.r[15]++;
    g.pipe = g.program_base[g.r[15]];
    return v;
}

inline uint16_t operand_word(Gsu& g) {
    uint8_t low = operand_byte(g);
    return uint16_t(low | operand_byte(g) << 8);
}

inline void set_zs(Gsu& g, uint16_t v) {
    g.f.z = v == 0;
    g.f.s = (v & 0x8000) != 0;
}

inline void clear_prefixes(Gsu& g) {
    g.sfr &= uint16_t(~(kSfrAlt1 | kSfrAlt2 | kSfrB));
    g.sreg = g.dreg = 0;
}

inline uint16_t sreg(const Gsu& g) { return g.r[g.sreg]; }

// Register writes that have side effects: R14 refills the ROM buffer; R15
// redirects the fetch after the byte already in the pipeline.
inline void set_register(Gsu& g, int n, uint16_t v) {
    g.r[size_t(n)] = v;
    if (n == 14) gsu_fill_rom_buffer(g);
}

// The end of every instruction that is not a prefix or a branch: step past
// the last byte, drop the prefixes.
inline void finish(Gsu& g) {
    g.r[15]++;
    clear_prefixes(g);
}

// Finish, then write the result to the destination register (after the
// step, so a result written to R15 is the next fetch address).
inline void finish_with(Gsu& g, uint16_t v) {
    int d = g.dreg;
    finish(g);
    set_register(g, d, v);
}

// Finish, then write register n (instructions naming their own register).
inline void finish_to(Gsu& g, int n, uint16_t v) {
    finish(g);
    set_register(g, n, v);
}

inline uint8_t ram_byte(const Gsu& g, uint16_t a) { return g.ram_base[a]; }

// Words pair the byte at A with the byte at A XOR 1.
inline uint16_t ram_word(Gsu& g, uint16_t a) {
    g.ram_address = a;
    return uint16_t(g.ram_base[a] | g.ram_base[a ^ 1] << 8);
}

inline void store_word(Gsu& g, uint16_t a, uint16_t v) {
    g.ram_address = a;
    g.ram_base[a] = uint8_t(v);
    g.ram_base[a ^ 1] = uint8_t(v >> 8);
}

inline void store_byte(Gsu& g, uint16_t a, uint8_t v) {
    g.ram_address = a;
    g.ram_base[a] = v;
}

// COLOR and GETC: the POR nibble options applied to the new colour.
inline void set_colour(Gsu& g, uint8_t v) {
    if (g.por & kPorHighNibble) v = uint8_t((v & 0xF0) | (v >> 4));
    if (g.por & kPorFreezeHigh) v = uint8_t((g.colr & 0xF0) | (v & 0x0F));
    g.colr = v;
}

// ---------------------------------------------------------------------------
// Control

void op_stop(Machine& m) {
    Gsu& g = m.gsu;
    g.f.go = false;
    g.por = 0;
    gsu_select_plot_tables(g);
    g.cbr = 0;
    if (!(g.cfgr & 0x80)) {
        g.sfr |= kSfrIrq;
        cpu_raise_irq(m, kIrqCartridge);
    }
    g.stop_slice = true;
    finish(g);
}

void op_nop(Machine& m) { finish(m.gsu); }

// CACHE sets the cache base to the current block of 16 bytes and loads the
// 512 bytes from there into the cache RAM.
void op_cache(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t base = g.r[15] & 0xFFF0;
    if (g.cbr != base) {
        g.cbr = base;
        for (int i = 0; i < kGsuCacheSize; i++) g.cache[size_t(i)] = g.program_base[uint16_t(base + i)];
    }
    finish(g);
}

template <int Cond>
void op_branch(Machine& m) {
    Gsu& g = m.gsu;
    int8_t offset = int8_t(operand_byte(g));
    const GsuFlags& f = g.f;
    bool taken;
    switch (Cond) {
        case 0x05: taken = true; break;
        case 0x06: taken = f.s == f.ov; break;  // BGE
        case 0x07: taken = f.s != f.ov; break;  // BLT
        case 0x08: taken = !f.z; break;
        case 0x09: taken = f.z; break;
        case 0x0A: taken = !f.s; break;
        case 0x0B: taken = f.s; break;
        case 0x0C: taken = !f.cy; break;
        case 0x0D: taken = f.cy; break;
        case 0x0E: taken = !f.ov; break;
        default: taken = f.ov; break;  // BVS
    }
    // R15 addresses the byte after the offset: the delay slot, already in
    // the pipeline.
    if (taken) g.r[15] = uint16_t(g.r[15] + offset);
    else g.r[15]++;
}

// ---------------------------------------------------------------------------
// Prefixes

template <int N>
void op_to(Machine& m) {
    Gsu& g = m.gsu;
    if (g.sfr & kSfrB) {  // MOVE
        finish_to(g, N, sreg(g));
        return;
    }
    g.dreg = N;
    g.r[15]++;
}

template <int N>
void op_with(Machine& m) {
    Gsu& g = m.gsu;
    g.sreg = g.dreg = N;
    g.sfr |= kSfrB;
    g.r[15]++;
}

template <int N>
void op_from(Machine& m) {
    Gsu& g = m.gsu;
    if (g.sfr & kSfrB) {  // MOVES
        uint16_t v = g.r[N];
        set_zs(g, v);
        g.f.ov = (v & 0x80) != 0;
        finish_with(g, v);
        return;
    }
    g.sreg = N;
    g.r[15]++;
}

template <uint16_t Bits>
void op_alt(Machine& m) {
    Gsu& g = m.gsu;
    g.sfr = uint16_t((g.sfr & ~kSfrB) | Bits);
    g.r[15]++;
}

// ---------------------------------------------------------------------------
// Memory

template <int N>
void op_stw(Machine& m) {
    Gsu& g = m.gsu;
    store_word(g, g.r[N], sreg(g));
    finish(g);
}

template <int N>
void op_stb(Machine& m) {
    Gsu& g = m.gsu;
    store_byte(g, g.r[N], uint8_t(sreg(g)));
    finish(g);
}

template <int N>
void op_ldw(Machine& m) {
    Gsu& g = m.gsu;
    finish_with(g, ram_word(g, g.r[N]));
}

template <int N>
void op_ldb(Machine& m) {
    Gsu& g = m.gsu;
    g.ram_address = g.r[N];
    finish_with(g, ram_byte(g, g.r[N]));
}

void op_sbk(Machine& m) {
    Gsu& g = m.gsu;
    store_word(g, g.ram_address, sreg(g));
    finish(g);
}

template <int N>
void op_ibt(Machine& m) {
    Gsu& g = m.gsu;
    int8_t v = int8_t(operand_byte(g));
    finish_to(g, N, uint16_t(v));
}

template <int N>
void op_iwt(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t v = operand_word(g);
    finish_to(g, N, v);
}

template <int N>
void op_lms(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t a = uint16_t(operand_byte(g) << 1);
    finish_to(g, N, ram_word(g, a));
}

template <int N>
void op_sms(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t a = uint16_t(operand_byte(g) << 1);
    store_word(g, a, g.r[N]);
    finish(g);
}

template <int N>
void op_lm(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t a = operand_word(g);
    finish_to(g, N, ram_word(g, a));
}

template <int N>
void op_sm(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t a = operand_word(g);
    store_word(g, a, g.r[N]);
    finish(g);
}

void op_getb(Machine& m) { finish_with(m.gsu, m.gsu.rom_buffer); }

void op_getbh(Machine& m) {
    Gsu& g = m.gsu;
    finish_with(g, uint16_t(g.rom_buffer << 8 | (sreg(g) & 0xFF)));
}

void op_getbl(Machine& m) {
    Gsu& g = m.gsu;
    finish_with(g, uint16_t((sreg(g) & 0xFF00) | g.rom_buffer));
}

void op_getbs(Machine& m) { finish_with(m.gsu, uint16_t(int8_t(m.gsu.rom_buffer))); }

void op_getc(Machine& m) {
    Gsu& g = m.gsu;
    set_colour(g, g.rom_buffer);
    finish(g);
}

void op_ramb(Machine& m) {
    gsu_set_ram_bank(m, uint8_t(sreg(m.gsu)));
    finish(m.gsu);
}

// The ROM buffer keeps the byte it holds until R14 is written again.
void op_romb(Machine& m) {
    m.gsu.rombr = uint8_t(sreg(m.gsu));
    m.gsu.rom_base = gsu_bank_base(m, m.gsu.rombr & 0x7F);
    finish(m.gsu);
}

// ---------------------------------------------------------------------------
// Jumps

void op_loop(Machine& m) {
    Gsu& g = m.gsu;
    g.r[12]--;
    set_zs(g, g.r[12]);
    finish(g);
    if (g.r[12] != 0) g.r[15] = g.r[13];
}

template <int N>
void op_link(Machine& m) {
    Gsu& g = m.gsu;
    g.r[11] = uint16_t(g.r[15] + N);
    finish(g);
}

template <int N>
void op_jmp(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t target = g.r[N];
    finish(g);
    g.r[15] = target;
}

// LJMP also moves the cache base to the new address's block.
template <int N>
void op_ljmp(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t target = sreg(g);
    uint8_t bank = uint8_t(g.r[N]);
    finish(g);
    gsu_set_program_bank(m, bank);
    g.r[15] = target;
    g.cbr = target & 0xFFF0;
}

// ---------------------------------------------------------------------------
// Arithmetic and logic

enum class Operand { Reg, Imm };

template <Operand K, int N>
inline uint16_t operand(const Gsu& g) {
    if constexpr (K == Operand::Reg) return g.r[N];
    else return uint16_t(N);
}

template <Operand K, int N, bool WithCarry>
void op_add(Machine& m) {
    Gsu& g = m.gsu;
    uint32_t a = sreg(g), b = operand<K, N>(g);
    uint32_t r = a + b + (WithCarry && g.f.cy ? 1 : 0);
    uint16_t v = uint16_t(r);
    g.f.cy = r > 0xFFFF;
    g.f.ov = (~(a ^ b) & (a ^ v) & 0x8000) != 0;
    set_zs(g, v);
    finish_with(g, v);
}

template <Operand K, int N, bool WithCarry, bool Store>
void op_sub(Machine& m) {
    Gsu& g = m.gsu;
    int32_t a = sreg(g), b = operand<K, N>(g);
    int32_t r = a - b - (WithCarry && !g.f.cy ? 1 : 0);
    uint16_t v = uint16_t(r);
    g.f.cy = r >= 0;
    g.f.ov = ((a ^ b) & (a ^ v) & 0x8000) != 0;
    set_zs(g, v);
    if constexpr (Store) finish_with(g, v);
    else finish(g);
}

enum class Logic { And, Bic, Or, Xor };

template <Logic L, Operand K, int N>
void op_logic(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t a = sreg(g), b = operand<K, N>(g);
    uint16_t v;
    switch (L) {
        case Logic::And: v = a & b; break;
        case Logic::Bic: v = a & uint16_t(~b); break;
        case Logic::Or: v = a | b; break;
        default: v = a ^ b; break;
    }
    set_zs(g, v);
    finish_with(g, v);
}

template <Operand K, int N, bool Signed>
void op_mult(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t a = sreg(g), b = operand<K, N>(g);
    uint16_t v = Signed ? uint16_t(int8_t(a) * int8_t(b)) : uint16_t((a & 0xFF) * (b & 0xFF));
    set_zs(g, v);
    finish_with(g, v);
}

template <bool Long>
void op_fmult(Machine& m) {
    Gsu& g = m.gsu;
    int32_t product = int32_t(int16_t(sreg(g))) * int32_t(int16_t(g.r[6]));
    uint16_t high = uint16_t(uint32_t(product) >> 16);
    uint16_t low = uint16_t(product);
    g.f.cy = (low & 0x8000) != 0;
    set_zs(g, high);
    if constexpr (Long) g.r[4] = low;
    finish_with(g, high);
}

template <int N>
void op_inc(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t v = uint16_t(g.r[N] + 1);
    set_zs(g, v);
    finish_to(g, N, v);
}

template <int N>
void op_dec(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t v = uint16_t(g.r[N] - 1);
    set_zs(g, v);
    finish_to(g, N, v);
}

// One-operand instructions on Sreg: the result and the flags they set.
enum class Unary { Lsr, Rol, Ror, Asr, Div2, Swap, Not, Sex, Lob, Hib };

template <Unary U>
void op_unary(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t a = sreg(g);
    uint16_t v;
    switch (U) {
        case Unary::Lsr:
            v = a >> 1;
            g.f.cy = a & 1;
            break;
        case Unary::Rol:
            v = uint16_t(a << 1 | (g.f.cy ? 1 : 0));
            g.f.cy = (a & 0x8000) != 0;
            break;
        case Unary::Ror:
            v = uint16_t(a >> 1 | (g.f.cy ? 0x8000 : 0));
            g.f.cy = a & 1;
            break;
        case Unary::Asr:
            v = uint16_t(int16_t(a) >> 1);
            g.f.cy = a & 1;
            break;
        case Unary::Div2:
            v = a == 0xFFFF ? 0 : uint16_t(int16_t(a) >> 1);
            g.f.cy = a & 1;
            break;
        case Unary::Swap: v = uint16_t(a << 8 | a >> 8); break;
        case Unary::Not: v = uint16_t(~a); break;
        case Unary::Sex: v = uint16_t(int8_t(a)); break;
        case Unary::Lob: v = a & 0xFF; break;
        default: v = a >> 8; break;  // HIB
    }
    if constexpr (U == Unary::Lob || U == Unary::Hib) {
        g.f.z = v == 0;
        g.f.s = (v & 0x80) != 0;
    } else {
        set_zs(g, v);
    }
    finish_with(g, v);
}

// MERGE packs the high bytes of R7 and R8; its flags describe the pixel
// bits of the result.
void op_merge(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t v = uint16_t((g.r[7] & 0xFF00) | (g.r[8] >> 8));
    g.f.z = (v & 0xF0F0) != 0;
    g.f.cy = (v & 0xE0E0) != 0;
    g.f.ov = (v & 0xC0C0) != 0;
    g.f.s = (v & 0x8080) != 0;
    finish_with(g, v);
}

// ---------------------------------------------------------------------------
// Plotting

void op_plot(Machine& m) {
    gsu_plot(m.gsu);
    finish(m.gsu);
}

// RPIX leaves the ROM buffer alone even when its result goes to R14.
void op_rpix(Machine& m) {
    Gsu& g = m.gsu;
    uint16_t v = gsu_read_pixel(g, uint8_t(g.r[1]), uint8_t(g.r[2]));
    int d = g.dreg;
    finish(g);
    g.r[size_t(d)] = v;
}

void op_color(Machine& m) {
    Gsu& g = m.gsu;
    set_colour(g, uint8_t(sreg(g)));
    finish(g);
}

void op_cmode(Machine& m) {
    Gsu& g = m.gsu;
    g.por = uint8_t(sreg(g));
    gsu_select_plot_tables(g);
    finish(g);
}

// ---------------------------------------------------------------------------
// The dispatch table

// The handler for opcode Op in ALT state Alt (0 none, 1 ALT1, 2 ALT2, 3 both).
template <int Alt, int Op>
constexpr GsuOp handler() {
    constexpr int n = Op & 15;
    constexpr bool alt1 = Alt & 1, alt2 = Alt & 2;
    constexpr Operand k = alt2 ? Operand::Imm : Operand::Reg;
    if constexpr (Op == 0x00) return &op_stop;
    else if constexpr (Op == 0x01) return &op_nop;
    else if constexpr (Op == 0x02) return &op_cache;
    else if constexpr (Op == 0x03) return &op_unary<Unary::Lsr>;
    else if constexpr (Op == 0x04) return &op_unary<Unary::Rol>;
    else if constexpr (Op <= 0x0F) return &op_branch<Op>;
    else if constexpr (Op <= 0x1F) return &op_to<n>;
    else if constexpr (Op <= 0x2F) return &op_with<n>;
    else if constexpr (Op <= 0x3B) return alt1 ? &op_stb<n> : &op_stw<n>;
    else if constexpr (Op == 0x3C) return &op_loop;
    else if constexpr (Op == 0x3D) return &op_alt<kSfrAlt1>;
    else if constexpr (Op == 0x3E) return &op_alt<kSfrAlt2>;
    else if constexpr (Op == 0x3F) return &op_alt<kSfrAlt1 | kSfrAlt2>;
    else if constexpr (Op <= 0x4B) return alt1 ? &op_ldb<n> : &op_ldw<n>;
    else if constexpr (Op == 0x4C) return alt1 ? &op_rpix : &op_plot;
    else if constexpr (Op == 0x4D) return &op_unary<Unary::Swap>;
    else if constexpr (Op == 0x4E) return alt1 ? &op_cmode : &op_color;
    else if constexpr (Op == 0x4F) return &op_unary<Unary::Not>;
    else if constexpr (Op <= 0x5F) return &op_add<k, n, alt1>;
    else if constexpr (Op <= 0x6F) {
        if constexpr (Alt == 3) return &op_sub<Operand::Reg, n, false, false>;  // CMP
        else return &op_sub<k, n, alt1, true>;
    } else if constexpr (Op == 0x70) return &op_merge;
    else if constexpr (Op <= 0x7F) return &op_logic<alt1 ? Logic::Bic : Logic::And, k, n>;
    else if constexpr (Op <= 0x8F) return &op_mult<k, n, !alt1>;
    else if constexpr (Op == 0x90) return &op_sbk;
    else if constexpr (Op <= 0x94) return &op_link<n>;
    else if constexpr (Op == 0x95) return &op_unary<Unary::Sex>;
    else if constexpr (Op == 0x96) return alt1 ? &op_unary<Unary::Div2> : &op_unary<Unary::Asr>;
    else if constexpr (Op == 0x97) return &op_unary<Unary::Ror>;
    else if constexpr (Op <= 0x9D) return alt1 ? &op_ljmp<n> : &op_jmp<n>;
    else if constexpr (Op == 0x9E) return &op_unary<Unary::Lob>;
    else if constexpr (Op == 0x9F) return &op_fmult<alt1>;
    else if constexpr (Op <= 0xAF) {
        if constexpr (Alt == 0) return &op_ibt<n>;
        else if constexpr (Alt == 2) return &op_sms<n>;
        else return &op_lms<n>;
    } else if constexpr (Op <= 0xBF) return &op_from<n>;
    else if constexpr (Op == 0xC0) return &op_unary<Unary::Hib>;
    else if constexpr (Op <= 0xCF) return &op_logic<alt1 ? Logic::Xor : Logic::Or, k, n>;
    else if constexpr (Op <= 0xDE) return &op_inc<n>;
    else if constexpr (Op == 0xDF) {
        if constexpr (Alt == 2) return &op_ramb;
        else if constexpr (Alt == 3) return &op_romb;
        else return &op_getc;
    } else if constexpr (Op <= 0xEE) return &op_dec<n>;
    else if constexpr (Op == 0xEF) {
        constexpr GsuOp kGet[4] = {&op_getb, &op_getbh, &op_getbl, &op_getbs};
        return kGet[Alt];
    } else {
        if constexpr (Alt == 0) return &op_iwt<n>;
        else if constexpr (Alt == 2) return &op_sm<n>;
        else return &op_lm<n>;
    }
}

template <size_t... I>
constexpr std::array<GsuOp, 1024> make_table(std::index_sequence<I...>) {
    return {handler<int(I >> 8), int(I & 0xFF)>()...};
}

constexpr std::array<GsuOp, 1024> kDispatch = make_table(std::make_index_sequence<1024>{});

void unpack_flags(Gsu& g) {
    uint16_t s = g.sfr;
    g.f = {(s & kSfrZ) != 0, (s & kSfrCy) != 0, (s & kSfrS) != 0,
           (s & kSfrOv) != 0, (s & kSfrGo) != 0, (s & kSfrR) != 0};
}

void pack_flags(Gsu& g) {
    const GsuFlags& f = g.f;
    uint16_t low = uint16_t((f.z ? kSfrZ : 0) | (f.cy ? kSfrCy : 0) | (f.s ? kSfrS : 0) |
                            (f.ov ? kSfrOv : 0) | (f.go ? kSfrGo : 0) | (f.r ? kSfrR : 0));
    g.sfr = uint16_t((g.sfr & 0xFF00) | low);
}

}  // namespace

int gsu_run(Machine& m, int count) {
    Gsu& g = m.gsu;
    unpack_flags(g);
    g.stop_slice = false;
    int done = 0;
    while (done < count) {
        uint8_t opcode = g.pipe;
        g.pipe = g.program_base[g.r[15]];
        kDispatch[size_t(((g.sfr >> 8) & 3) << 8 | opcode)](m);
        done++;
        if (g.stop_slice) break;
    }
    pack_flags(g);
    gsu_refresh_running(m);
    return done;
}

}  // namespace vt
