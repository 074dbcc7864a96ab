// The 6502 interpreter of the NES's CPU, written once over a bus type:
//
//   uint8_t bus.read(uint16_t address);           // one CPU cycle
//   void    bus.write(uint16_t address, uint8_t);  // one CPU cycle
//   bool    bus.irq();                             // the IRQ line's level
//
// Every cycle of an instruction is one bus access, as on the chip: the
// dummy reads of indexed addressing, the double write of read-modify-write
// instructions and the idle reads of implied instructions all reach the
// bus, so the cycle count is the access count and a register with read side
// effects ($2002, $2007, $4015) sees them where the console does.
#pragma once

#include "nes/nes_cpu.h"

namespace vt::nes_core {

template <class Bus>
struct Core {
    NesCpu& c;
    Bus& bus;

    uint8_t rd(uint16_t a) { return bus.read(a); }
    void wr(uint16_t a, uint8_t v) { bus.write(a, v); }
    uint8_t fetch() { return rd(c.pc++); }
    uint16_t fetch16() {
        const uint8_t lo = fetch();
        return uint16_t(lo | fetch() << 8);
    }

    void nz(uint8_t v) { c.p = uint8_t((c.p & ~(kNesFlagN | kNesFlagZ)) | (v & 0x80) | (v == 0 ? kNesFlagZ : 0)); }
    void set_flag(uint8_t f, bool on) { c.p = on ? uint8_t(c.p | f) : uint8_t(c.p & ~f); }

    void push(uint8_t v) { wr(uint16_t(0x100 | c.s--), v); }
    uint8_t pull() { return rd(uint16_t(0x100 | ++c.s)); }

    // --- addressing: each returns the effective address after the mode's
    // own cycles (the operand's access is the caller's).
    uint16_t imm() { return c.pc++; }
    uint16_t zp() { return fetch(); }
    uint16_t zp_indexed(uint8_t index) {
        const uint8_t base = fetch();
        rd(base);  // the unindexed address is read while the index is added
        return uint8_t(base + index);
    }
    uint16_t abs() { return fetch16(); }
    // Reads fix the high byte only when the index crosses a page; writes and
    // read-modify-writes always take the fix-up cycle.
    template <bool Always>
    uint16_t abs_indexed(uint8_t index) {
        const uint16_t base = fetch16();
        const uint16_t address = uint16_t(base + index);
        if (Always || ((base ^ address) & 0xFF00)) rd(uint16_t((base & 0xFF00) | (address & 0x00FF)));
        return address;
    }
    uint16_t ind_x() {
        const uint8_t base = fetch();
        rd(base);
        const uint8_t ptr = uint8_t(base + c.x);
        const uint8_t lo = rd(ptr);
        return uint16_t(lo | rd(uint8_t(ptr + 1)) << 8);
    }
    template <bool Always>
    uint16_t ind_y() {
        const uint8_t ptr = fetch();
        const uint8_t lo = rd(ptr);
        const uint16_t base = uint16_t(lo | rd(uint8_t(ptr + 1)) << 8);
        const uint16_t address = uint16_t(base + c.y);
        if (Always || ((base ^ address) & 0xFF00)) rd(uint16_t((base & 0xFF00) | (address & 0x00FF)));
        return address;
    }

    // --- operations
    void adc(uint8_t v) {
        const unsigned sum = unsigned(c.a) + v + (c.p & kNesFlagC);
        set_flag(kNesFlagV, (~(c.a ^ v) & (c.a ^ sum) & 0x80) != 0);
        set_flag(kNesFlagC, sum > 0xFF);
        c.a = uint8_t(sum);
        nz(c.a);
    }
    void sbc(uint8_t v) { adc(uint8_t(~v)); }
    void compare(uint8_t reg, uint8_t v) {
        set_flag(kNesFlagC, reg >= v);
        nz(uint8_t(reg - v));
    }
    void bit(uint8_t v) {
        c.p = uint8_t((c.p & ~(kNesFlagN | kNesFlagV | kNesFlagZ)) | (v & 0xC0) | ((c.a & v) == 0 ? kNesFlagZ : 0));
    }
    uint8_t asl(uint8_t v) {
        set_flag(kNesFlagC, v & 0x80);
        v = uint8_t(v << 1);
        nz(v);
        return v;
    }
    uint8_t lsr(uint8_t v) {
        set_flag(kNesFlagC, v & 1);
        v >>= 1;
        nz(v);
        return v;
    }
    uint8_t rol(uint8_t v) {
        const uint8_t carry = c.p & kNesFlagC;
        set_flag(kNesFlagC, v & 0x80);
        v = uint8_t(v << 1 | carry);
        nz(v);
        return v;
    }
    uint8_t ror(uint8_t v) {
        const uint8_t carry = uint8_t((c.p & kNesFlagC) << 7);
        set_flag(kNesFlagC, v & 1);
        v = uint8_t(v >> 1 | carry);
        nz(v);
        return v;
    }
    uint8_t inc(uint8_t v) {
        nz(++v);
        return v;
    }
    uint8_t dec(uint8_t v) {
        nz(--v);
        return v;
    }

    // Read-modify-write: the unchanged value is written back while the
    // new one is computed.
    template <class F>
    void rmw(uint16_t address, F f) {
        uint8_t v = rd(address);
        wr(address, v);
        wr(address, f(v));
    }

    void implied() { rd(c.pc); }

    void branch(bool taken) {
        const int8_t offset = int8_t(fetch());
        if (!taken) return;
        rd(c.pc);
        const uint16_t target = uint16_t(c.pc + offset);
        if ((target ^ c.pc) & 0xFF00) rd(uint16_t((c.pc & 0xFF00) | (target & 0x00FF)));
        c.pc = target;
    }

    // BRK, IRQ and NMI share the sequence. An NMI that arrives before the
    // vector is fetched takes over the vector (the pushed B flag stays as
    // the BRK or IRQ left it).
    void interrupt(uint16_t vector, bool brk) {
        if (brk) {
            fetch();  // the padding byte after BRK
        } else {
            rd(c.pc);
            rd(c.pc);
        }
        push(uint8_t(c.pc >> 8));
        push(uint8_t(c.pc));
        push(uint8_t(c.p | kNesFlagU | (brk ? kNesFlagB : 0)));
        if (vector != kNesNmiVector && c.nmi_pending) {
            vector = kNesNmiVector;
        }
        if (vector == kNesNmiVector) c.nmi_pending = false;
        c.p |= kNesFlagI;
        const uint8_t lo = rd(vector);
        c.pc = uint16_t(lo | rd(uint16_t(vector + 1)) << 8);
    }

    void execute(uint8_t op);
    void step();
};

template <class Bus>
void Core<Bus>::step() {
    if (c.nmi_pending) {
        interrupt(kNesNmiVector, false);
    } else if (c.irq_pending) {
        interrupt(kNesIrqVector, false);
    } else if (c.jammed) {
        rd(c.pc);  // a jammed CPU only keeps the clock going
    } else {
        const uint8_t before = c.p;
        const uint8_t op = fetch();
        execute(op);
        // CLI, SEI and PLP change I after the interrupt poll of their last
        // cycle, so an IRQ waits one more instruction after CLI and one
        // still gets in after SEI.
        const uint8_t polled = (op == 0x58 || op == 0x78 || op == 0x28) ? before : c.p;
        c.irq_pending = !(polled & kNesFlagI) && bus.irq();
        return;
    }
    c.irq_pending = false;  // the handler starts with I set
}

template <class Bus>
void Core<Bus>::execute(uint8_t op) {
    // Operand helpers, by addressing mode.
    auto load = [this](uint16_t address) { return rd(address); };
    switch (op) {
        // --- loads
        case 0xA9: c.a = load(imm()); nz(c.a); break;
        case 0xA5: c.a = load(zp()); nz(c.a); break;
        case 0xB5: c.a = load(zp_indexed(c.x)); nz(c.a); break;
        case 0xAD: c.a = load(abs()); nz(c.a); break;
        case 0xBD: c.a = load(abs_indexed<false>(c.x)); nz(c.a); break;
        case 0xB9: c.a = load(abs_indexed<false>(c.y)); nz(c.a); break;
        case 0xA1: c.a = load(ind_x()); nz(c.a); break;
        case 0xB1: c.a = load(ind_y<false>()); nz(c.a); break;
        case 0xA2: c.x = load(imm()); nz(c.x); break;
        case 0xA6: c.x = load(zp()); nz(c.x); break;
        case 0xB6: c.x = load(zp_indexed(c.y)); nz(c.x); break;
        case 0xAE: c.x = load(abs()); nz(c.x); break;
        case 0xBE: c.x = load(abs_indexed<false>(c.y)); nz(c.x); break;
        case 0xA0: c.y = load(imm()); nz(c.y); break;
        case 0xA4: c.y = load(zp()); nz(c.y); break;
        case 0xB4: c.y = load(zp_indexed(c.x)); nz(c.y); break;
        case 0xAC: c.y = load(abs()); nz(c.y); break;
        case 0xBC: c.y = load(abs_indexed<false>(c.x)); nz(c.y); break;
        // LAX (unofficial): A and X loaded together.
        case 0xA7: c.a = c.x = load(zp()); nz(c.a); break;
        case 0xB7: c.a = c.x = load(zp_indexed(c.y)); nz(c.a); break;
        case 0xAF: c.a = c.x = load(abs()); nz(c.a); break;
        case 0xBF: c.a = c.x = load(abs_indexed<false>(c.y)); nz(c.a); break;
        case 0xA3: c.a = c.x = load(ind_x()); nz(c.a); break;
        case 0xB3: c.a = c.x = load(ind_y<false>()); nz(c.a); break;
        case 0xAB: c.a = c.x = load(imm()); nz(c.a); break;  // the stable form of LXA

        // --- stores
        case 0x85: wr(zp(), c.a); break;
        case 0x95: wr(zp_indexed(c.x), c.a); break;
        case 0x8D: wr(abs(), c.a); break;
        case 0x9D: wr(abs_indexed<true>(c.x), c.a); break;
        case 0x99: wr(abs_indexed<true>(c.y), c.a); break;
        case 0x81: wr(ind_x(), c.a); break;
        case 0x91: wr(ind_y<true>(), c.a); break;
        case 0x86: wr(zp(), c.x); break;
        case 0x96: wr(zp_indexed(c.y), c.x); break;
        case 0x8E: wr(abs(), c.x); break;
        case 0x84: wr(zp(), c.y); break;
        case 0x94: wr(zp_indexed(c.x), c.y); break;
        case 0x8C: wr(abs(), c.y); break;
        // SAX (unofficial): A AND X.
        case 0x87: wr(zp(), uint8_t(c.a & c.x)); break;
        case 0x97: wr(zp_indexed(c.y), uint8_t(c.a & c.x)); break;
        case 0x8F: wr(abs(), uint8_t(c.a & c.x)); break;
        case 0x83: wr(ind_x(), uint8_t(c.a & c.x)); break;
        // SHY / SHX (unofficial): the register AND the address's high byte + 1.
        case 0x9C: {
            const uint16_t address = abs_indexed<true>(c.x);
            const uint8_t v = uint8_t(c.y & ((address >> 8) + 1));
            wr(((address - c.x) ^ address) & 0xFF00 ? uint16_t((address & 0xFF) | v << 8) : address, v);
            break;
        }
        case 0x9E: {
            const uint16_t address = abs_indexed<true>(c.y);
            const uint8_t v = uint8_t(c.x & ((address >> 8) + 1));
            wr(((address - c.y) ^ address) & 0xFF00 ? uint16_t((address & 0xFF) | v << 8) : address, v);
            break;
        }

        // --- transfers and register steps
        case 0xAA: implied(); c.x = c.a; nz(c.x); break;
        case 0xA8: implied(); c.y = c.a; nz(c.y); break;
        case 0x8A: implied(); c.a = c.x; nz(c.a); break;
        case 0x98: implied(); c.a = c.y; nz(c.a); break;
        case 0xBA: implied(); c.x = c.s; nz(c.x); break;
        case 0x9A: implied(); c.s = c.x; break;
        case 0xE8: implied(); c.x = inc(c.x); break;
        case 0xC8: implied(); c.y = inc(c.y); break;
        case 0xCA: implied(); c.x = dec(c.x); break;
        case 0x88: implied(); c.y = dec(c.y); break;

        // --- flags
        case 0x18: implied(); c.p &= uint8_t(~kNesFlagC); break;
        case 0x38: implied(); c.p |= kNesFlagC; break;
        case 0x58: implied(); c.p &= uint8_t(~kNesFlagI); break;
        case 0x78: implied(); c.p |= kNesFlagI; break;
        case 0xB8: implied(); c.p &= uint8_t(~kNesFlagV); break;
        case 0xD8: implied(); c.p &= uint8_t(~kNesFlagD); break;
        case 0xF8: implied(); c.p |= kNesFlagD; break;

        // --- stack
        case 0x48: implied(); push(c.a); break;
        case 0x08: implied(); push(uint8_t(c.p | kNesFlagB | kNesFlagU)); break;
        case 0x68: implied(); rd(uint16_t(0x100 | c.s)); c.a = pull(); nz(c.a); break;
        case 0x28: implied(); rd(uint16_t(0x100 | c.s)); c.p = uint8_t((pull() & ~kNesFlagB) | kNesFlagU); break;

        // --- logic and arithmetic: the eight ALU groups share their modes.
#define VT_NES_ALU(base, expr)                                  \
    case base + 0x09: { const uint8_t v = load(imm()); expr; break; }                 \
    case base + 0x05: { const uint8_t v = load(zp()); expr; break; }                  \
    case base + 0x15: { const uint8_t v = load(zp_indexed(c.x)); expr; break; }       \
    case base + 0x0D: { const uint8_t v = load(abs()); expr; break; }                 \
    case base + 0x1D: { const uint8_t v = load(abs_indexed<false>(c.x)); expr; break; } \
    case base + 0x19: { const uint8_t v = load(abs_indexed<false>(c.y)); expr; break; } \
    case base + 0x01: { const uint8_t v = load(ind_x()); expr; break; }               \
    case base + 0x11: { const uint8_t v = load(ind_y<false>()); expr; break; }
        VT_NES_ALU(0x00, c.a |= v; nz(c.a))
        VT_NES_ALU(0x20, c.a &= v; nz(c.a))
        VT_NES_ALU(0x40, c.a ^= v; nz(c.a))
        VT_NES_ALU(0x60, adc(v))
        VT_NES_ALU(0xC0, compare(c.a, v))
        VT_NES_ALU(0xE0, sbc(v))
#undef VT_NES_ALU
        case 0xEB: sbc(load(imm())); break;  // unofficial copy of SBC #
        case 0xE0: compare(c.x, load(imm())); break;
        case 0xE4: compare(c.x, load(zp())); break;
        case 0xEC: compare(c.x, load(abs())); break;
        case 0xC0: compare(c.y, load(imm())); break;
        case 0xC4: compare(c.y, load(zp())); break;
        case 0xCC: compare(c.y, load(abs())); break;
        case 0x24: bit(load(zp())); break;
        case 0x2C: bit(load(abs())); break;
        // Immediate unofficial operations.
        case 0x0B:
        case 0x2B: c.a &= load(imm()); nz(c.a); set_flag(kNesFlagC, c.a & 0x80); break;  // ANC
        case 0x4B: c.a = lsr(uint8_t(c.a & load(imm()))); break;                          // ALR
        case 0x6B: {                                                                       // ARR
            const uint8_t v = uint8_t(c.a & load(imm()));
            c.a = uint8_t(v >> 1 | (c.p & kNesFlagC) << 7);
            nz(c.a);
            set_flag(kNesFlagC, c.a & 0x40);
            set_flag(kNesFlagV, ((c.a >> 6) ^ (c.a >> 5)) & 1);
            break;
        }
        case 0xCB: {  // AXS: X = (A AND X) - operand, carry as a compare
            const uint8_t v = load(imm());
            const uint8_t ax = c.a & c.x;
            set_flag(kNesFlagC, ax >= v);
            c.x = uint8_t(ax - v);
            nz(c.x);
            break;
        }
        case 0xBB: {  // LAS
            const uint8_t v = uint8_t(load(abs_indexed<false>(c.y)) & c.s);
            c.a = c.x = c.s = v;
            nz(v);
            break;
        }

        // --- shifts and steps in memory, and their unofficial combinations
        case 0x0A: implied(); c.a = asl(c.a); break;
        case 0x4A: implied(); c.a = lsr(c.a); break;
        case 0x2A: implied(); c.a = rol(c.a); break;
        case 0x6A: implied(); c.a = ror(c.a); break;
#define VT_NES_RMW(base, expr)                                                   \
    case base + 0x06: rmw(zp(), [this](uint8_t v) { expr; }); break;             \
    case base + 0x16: rmw(zp_indexed(c.x), [this](uint8_t v) { expr; }); break;  \
    case base + 0x0E: rmw(abs(), [this](uint8_t v) { expr; }); break;            \
    case base + 0x1E: rmw(abs_indexed<true>(c.x), [this](uint8_t v) { expr; }); break;
#define VT_NES_RMW_UNOFFICIAL(base, expr)                                                \
    VT_NES_RMW(base + 1, expr)                                                           \
    case base + 0x1B: rmw(abs_indexed<true>(c.y), [this](uint8_t v) { expr; }); break;   \
    case base + 0x03: rmw(ind_x(), [this](uint8_t v) { expr; }); break;                  \
    case base + 0x13: rmw(ind_y<true>(), [this](uint8_t v) { expr; }); break;
        VT_NES_RMW(0x00, return asl(v))
        VT_NES_RMW(0x40, return lsr(v))
        VT_NES_RMW(0x20, return rol(v))
        VT_NES_RMW(0x60, return ror(v))
        VT_NES_RMW(0xE0, return inc(v))
        VT_NES_RMW(0xC0, return dec(v))
        VT_NES_RMW_UNOFFICIAL(0x00, v = asl(v); c.a |= v; nz(c.a); return v)             // SLO
        VT_NES_RMW_UNOFFICIAL(0x20, v = rol(v); c.a &= v; nz(c.a); return v)             // RLA
        VT_NES_RMW_UNOFFICIAL(0x40, v = lsr(v); c.a ^= v; nz(c.a); return v)             // SRE
        VT_NES_RMW_UNOFFICIAL(0x60, v = ror(v); adc(v); return v)                        // RRA
        VT_NES_RMW_UNOFFICIAL(0xC0, v = uint8_t(v - 1); compare(c.a, v); return v)       // DCP
        VT_NES_RMW_UNOFFICIAL(0xE0, v = uint8_t(v + 1); sbc(v); return v)                // ISC
#undef VT_NES_RMW_UNOFFICIAL
#undef VT_NES_RMW

        // --- jumps, calls, returns
        case 0x4C: c.pc = abs(); break;
        case 0x6C: {
            const uint16_t ptr = abs();
            const uint8_t lo = rd(ptr);
            // The pointer's high byte comes from the same page.
            c.pc = uint16_t(lo | rd(uint16_t((ptr & 0xFF00) | ((ptr + 1) & 0x00FF))) << 8);
            break;
        }
        case 0x20: {
            const uint8_t lo = fetch();
            rd(uint16_t(0x100 | c.s));
            push(uint8_t(c.pc >> 8));
            push(uint8_t(c.pc));
            c.pc = uint16_t(lo | rd(c.pc) << 8);
            break;
        }
        case 0x60: {
            implied();
            rd(uint16_t(0x100 | c.s));
            const uint8_t lo = pull();
            c.pc = uint16_t(lo | pull() << 8);
            rd(c.pc++);
            break;
        }
        case 0x40: {
            implied();
            rd(uint16_t(0x100 | c.s));
            c.p = uint8_t((pull() & ~kNesFlagB) | kNesFlagU);
            const uint8_t lo = pull();
            c.pc = uint16_t(lo | pull() << 8);
            break;
        }
        case 0x00: interrupt(kNesIrqVector, true); break;

        // --- branches
        case 0x10: branch(!(c.p & kNesFlagN)); break;
        case 0x30: branch(c.p & kNesFlagN); break;
        case 0x50: branch(!(c.p & kNesFlagV)); break;
        case 0x70: branch(c.p & kNesFlagV); break;
        case 0x90: branch(!(c.p & kNesFlagC)); break;
        case 0xB0: branch(c.p & kNesFlagC); break;
        case 0xD0: branch(!(c.p & kNesFlagZ)); break;
        case 0xF0: branch(c.p & kNesFlagZ); break;

        // --- NOPs, official and not: they read their operand like a load.
        case 0xEA:
        case 0x1A: case 0x3A: case 0x5A: case 0x7A: case 0xDA: case 0xFA: implied(); break;
        case 0x80: case 0x82: case 0x89: case 0xC2: case 0xE2: load(imm()); break;
        case 0x04: case 0x44: case 0x64: load(zp()); break;
        case 0x14: case 0x34: case 0x54: case 0x74: case 0xD4: case 0xF4: load(zp_indexed(c.x)); break;
        case 0x0C: load(abs()); break;
        case 0x1C: case 0x3C: case 0x5C: case 0x7C: case 0xDC: case 0xFC: load(abs_indexed<false>(c.x)); break;

        // --- the rest: unstable stores (approximated) and JAM
        case 0x93: {  // SHA (ind),Y
            const uint16_t address = ind_y<true>();
            wr(address, uint8_t(c.a & c.x & ((address >> 8) + 1)));
            break;
        }
        case 0x9F: {  // SHA abs,Y
            const uint16_t address = abs_indexed<true>(c.y);
            wr(address, uint8_t(c.a & c.x & ((address >> 8) + 1)));
            break;
        }
        case 0x9B: {  // TAS
            const uint16_t address = abs_indexed<true>(c.y);
            c.s = c.a & c.x;
            wr(address, uint8_t(c.s & ((address >> 8) + 1)));
            break;
        }
        case 0x8B: c.a = uint8_t(c.x & load(imm())); nz(c.a); break;  // XAA, the stable part
        default:  // $02, $12, ... $F2: JAM
            c.jammed = true;
            c.pc--;
            break;
    }
}

}  // namespace vt::nes_core
