// The 6502 core on a flat 64 KiB memory: cycle counts (every bus access
// is a cycle), dummy accesses, interrupts and their timing rules.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "nes/nes_cpu_core.h"

namespace vt {
namespace {

struct FlatBus {
    std::array<uint8_t, 0x10000> mem{};
    uint64_t cycles = 0;
    bool irq_line = false;
    struct Access {
        bool write;
        uint16_t address;
        uint8_t value;
    };
    std::vector<Access> log;
    std::function<void(uint64_t)> on_cycle;

    uint8_t read(uint16_t a) {
        if (on_cycle) on_cycle(cycles);
        cycles++;
        log.push_back({false, a, mem[a]});
        return mem[a];
    }
    void write(uint16_t a, uint8_t v) {
        if (on_cycle) on_cycle(cycles);
        cycles++;
        log.push_back({true, a, v});
        mem[a] = v;
    }
    bool irq() const { return irq_line; }
};

struct Rig {
    NesCpu cpu;
    FlatBus bus;
    nes_core::Core<FlatBus> core{cpu, bus};

    Rig() {
        cpu.pc = 0x8000;
        cpu.p = kNesFlagU;
    }
    void put(uint16_t at, std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes) bus.mem[at++] = b;
    }
    uint64_t step() {
        const uint64_t before = bus.cycles;
        bus.log.clear();
        core.step();
        return bus.cycles - before;
    }
};

// --- cycle counts -----------------------------------------------------------

struct CycleCase {
    std::vector<uint8_t> code;
    uint8_t x, y;
    uint64_t cycles;
    const char* what;
};

TEST(NesCpuCycles, InstructionsTakeTheirDocumentedCycles) {
    // Pointers for the indirect modes: ($10) -> $12F0, ($20) -> $1200.
    const CycleCase cases[] = {
        {{0xA9, 0x01}, 0, 0, 2, "lda #"},
        {{0xA5, 0x10}, 0, 0, 3, "lda zp"},
        {{0xB5, 0x10}, 1, 0, 4, "lda zp,x"},
        {{0xAD, 0x00, 0x12}, 0, 0, 4, "lda abs"},
        {{0xBD, 0x00, 0x12}, 0x10, 0, 4, "lda abs,x same page"},
        {{0xBD, 0xF8, 0x12}, 0x10, 0, 5, "lda abs,x page crossed"},
        {{0xB9, 0xF8, 0x12}, 0, 0x10, 5, "lda abs,y page crossed"},
        {{0xA1, 0x0E}, 2, 0, 6, "lda (zp,x)"},
        {{0xB1, 0x20}, 0, 0x10, 5, "lda (zp),y same page"},
        {{0xB1, 0x10}, 0, 0x20, 6, "lda (zp),y page crossed"},
        {{0x9D, 0x00, 0x12}, 0x10, 0, 5, "sta abs,x always 5"},
        {{0x99, 0x00, 0x12}, 0, 0x10, 5, "sta abs,y always 5"},
        {{0x91, 0x20}, 0, 0x10, 6, "sta (zp),y always 6"},
        {{0x85, 0x10}, 0, 0, 3, "sta zp"},
        {{0xE6, 0x10}, 0, 0, 5, "inc zp"},
        {{0xF6, 0x10}, 0, 0, 6, "inc zp,x"},
        {{0xEE, 0x00, 0x12}, 0, 0, 6, "inc abs"},
        {{0xFE, 0x00, 0x12}, 0, 0, 7, "inc abs,x"},
        {{0x0A}, 0, 0, 2, "asl a"},
        {{0xEA}, 0, 0, 2, "nop"},
        {{0x48}, 0, 0, 3, "pha"},
        {{0x68}, 0, 0, 4, "pla"},
        {{0x08}, 0, 0, 3, "php"},
        {{0x28}, 0, 0, 4, "plp"},
        {{0x20, 0x00, 0x90}, 0, 0, 6, "jsr"},
        {{0x60}, 0, 0, 6, "rts"},
        {{0x40}, 0, 0, 6, "rti"},
        {{0x4C, 0x00, 0x90}, 0, 0, 3, "jmp abs"},
        {{0x6C, 0x10, 0x00}, 0, 0, 5, "jmp (ind)"},
        {{0x00, 0x00}, 0, 0, 7, "brk"},
        {{0xD0, 0x10}, 0, 0, 3, "bne taken (Z clear)"},
        {{0xF0, 0x10}, 0, 0, 2, "beq not taken"},
        {{0xD0, 0x80}, 0, 0, 4, "bne taken across a page"},
        // Unofficial opcodes.
        {{0xA7, 0x10}, 0, 0, 3, "lax zp"},
        {{0xBF, 0xF8, 0x12}, 0, 0x10, 5, "lax abs,y page crossed"},
        {{0x87, 0x10}, 0, 0, 3, "sax zp"},
        {{0xC7, 0x10}, 0, 0, 5, "dcp zp"},
        {{0xDB, 0x00, 0x12}, 0, 0x10, 7, "dcp abs,y"},
        {{0xE3, 0x0E}, 2, 0, 8, "isc (zp,x)"},
        {{0x13, 0x20}, 0, 0x10, 8, "slo (zp),y"},
        {{0x1C, 0xF8, 0x12}, 0x10, 0, 5, "nop abs,x page crossed"},
        {{0x04, 0x10}, 0, 0, 3, "nop zp"},
        {{0x80, 0x10}, 0, 0, 2, "nop #"},
        {{0x1A}, 0, 0, 2, "nop implied"},
        {{0xEB, 0x01}, 0, 0, 2, "sbc # (unofficial)"},
        {{0xCB, 0x01}, 0, 0, 2, "axs #"},
    };
    for (const CycleCase& c : cases) {
        Rig r;
        r.put(0x0010, {0xF0, 0x12});
        r.put(0x0020, {0x00, 0x12});
        r.put(0x01FD, {0x00, 0x90, 0x00});  // RTS/RTI find a return address
        r.cpu.s = 0xFC;
        r.cpu.x = c.x;
        r.cpu.y = c.y;
        // Branches: the page-crossing case starts near a page's end.
        if (c.code[0] == 0xD0 && c.code[1] == 0x80) r.cpu.pc = 0x8010;
        for (size_t i = 0; i < c.code.size(); i++) r.bus.mem[uint16_t(r.cpu.pc + i)] = c.code[i];
        EXPECT_EQ(r.step(), c.cycles) << c.what;
    }
}

TEST(NesCpuCycles, IndexedReadDummyReadsTheUnfixedAddress) {
    Rig r;
    r.put(0x8000, {0xBD, 0xF8, 0x12});  // lda $12F8,x with X = $10
    r.cpu.x = 0x10;
    r.step();
    ASSERT_EQ(r.bus.log.size(), 5u);
    EXPECT_EQ(r.bus.log[3].address, 0x1208);  // the high byte not yet fixed
    EXPECT_EQ(r.bus.log[4].address, 0x1308);
}

TEST(NesCpuCycles, ReadModifyWriteWritesTheOldValueFirst) {
    Rig r;
    r.put(0x8000, {0xEE, 0x00, 0x12});  // inc $1200
    r.bus.mem[0x1200] = 0x41;
    r.step();
    ASSERT_EQ(r.bus.log.size(), 6u);
    EXPECT_TRUE(r.bus.log[4].write);
    EXPECT_EQ(r.bus.log[4].value, 0x41);
    EXPECT_TRUE(r.bus.log[5].write);
    EXPECT_EQ(r.bus.log[5].value, 0x42);
}

TEST(NesCpuCycles, JmpIndirectWrapsWithinThePage) {
    Rig r;
    r.put(0x8000, {0x6C, 0xFF, 0x12});
    r.bus.mem[0x12FF] = 0x34;
    r.bus.mem[0x1200] = 0x56;  // the high byte comes from $1200, not $1300
    r.bus.mem[0x1300] = 0x99;
    r.step();
    EXPECT_EQ(r.cpu.pc, 0x5634);
}

TEST(NesCpu, DecimalFlagDoesNotChangeAddition) {
    Rig r;
    r.put(0x8000, {0xF8, 0x18, 0xA9, 0x19, 0x69, 0x28});  // sed; clc; lda #$19; adc #$28
    for (int i = 0; i < 4; i++) r.step();
    EXPECT_EQ(r.cpu.a, 0x41);  // binary, not $47
    EXPECT_TRUE(r.cpu.p & kNesFlagD);
}

TEST(NesCpu, JamOpcodesHaltTheProcessor) {
    int jams = 0;
    for (int op = 0; op < 256; op++) {
        Rig r;
        r.bus.mem[0x8000] = uint8_t(op);
        r.step();
        if (r.cpu.jammed) {
            jams++;
            EXPECT_EQ(r.cpu.pc, 0x8000) << op;
            EXPECT_EQ(op & 0x0F, 0x02) << op;
        }
    }
    EXPECT_EQ(jams, 12);
}

// --- interrupts -------------------------------------------------------------

TEST(NesCpuInterrupts, BrkPushesTheAddressAfterItsPaddingByteWithB) {
    Rig r;
    r.put(0x8000, {0x00, 0xEA});
    r.put(0xFFFE, {0x00, 0x90});
    r.cpu.s = 0xFF;
    r.cpu.p = kNesFlagU | kNesFlagC;
    r.step();
    EXPECT_EQ(r.cpu.pc, 0x9000);
    EXPECT_EQ(r.bus.mem[0x1FF], 0x80);
    EXPECT_EQ(r.bus.mem[0x1FE], 0x02);
    EXPECT_EQ(r.bus.mem[0x1FD], kNesFlagU | kNesFlagB | kNesFlagC);
    EXPECT_TRUE(r.cpu.p & kNesFlagI);
}

TEST(NesCpuInterrupts, IrqPushesWithoutBAndTakesSevenCycles) {
    Rig r;
    r.put(0x8000, {0xEA, 0xEA});
    r.put(0xFFFE, {0x00, 0x90});
    r.cpu.s = 0xFF;
    r.bus.irq_line = true;
    r.step();  // the NOP; the IRQ is seen at its end
    EXPECT_EQ(r.step(), 7u);
    EXPECT_EQ(r.cpu.pc, 0x9000);
    EXPECT_EQ(r.bus.mem[0x1FE], 0x01);
    EXPECT_EQ(r.bus.mem[0x1FD], kNesFlagU);
}

TEST(NesCpuInterrupts, CliLetsTheIrqInOnlyAfterTheNextInstruction) {
    Rig r;
    r.put(0x8000, {0x58, 0xEA, 0xEA});  // cli; nop; nop
    r.put(0xFFFE, {0x00, 0x90});
    r.cpu.p = kNesFlagU | kNesFlagI;
    r.bus.irq_line = true;
    r.step();  // CLI
    EXPECT_FALSE(r.cpu.irq_pending);
    r.step();  // NOP runs; the IRQ is polled with I clear
    EXPECT_EQ(r.cpu.pc, 0x8002);
    EXPECT_TRUE(r.cpu.irq_pending);
    r.step();
    EXPECT_EQ(r.cpu.pc, 0x9000);
}

TEST(NesCpuInterrupts, SeiStillLetsAPendingIrqIn) {
    Rig r;
    r.put(0x8000, {0x78, 0xEA});  // sei; nop
    r.put(0xFFFE, {0x00, 0x90});
    r.bus.irq_line = true;
    r.step();
    EXPECT_TRUE(r.cpu.irq_pending);
    r.step();
    EXPECT_EQ(r.cpu.pc, 0x9000);
    // The pushed flags have I set, as SEI left them.
    EXPECT_TRUE(r.bus.mem[0x100 | uint8_t(r.cpu.s + 1)] & kNesFlagI);
}

TEST(NesCpuInterrupts, RtiRestoresIAtOnce) {
    Rig r;
    r.put(0x8000, {0x40});
    r.put(0x01FD, {kNesFlagU, 0x00, 0x90});  // P with I clear, return to $9000
    r.put(0xFFFE, {0x00, 0xA0});
    r.cpu.s = 0xFC;
    r.cpu.p = kNesFlagU | kNesFlagI;
    r.bus.irq_line = true;
    r.step();
    EXPECT_TRUE(r.cpu.irq_pending);
}

TEST(NesCpuInterrupts, NmiDuringBrkTakesOverTheVectorButKeepsB) {
    Rig r;
    r.put(0x8000, {0x00, 0x00});
    r.put(0xFFFA, {0x00, 0xA0});
    r.put(0xFFFE, {0x00, 0x90});
    r.cpu.s = 0xFF;
    // The NMI edge arrives while BRK pushes the return address.
    r.bus.on_cycle = [&r](uint64_t cycle) {
        if (cycle == 3) r.cpu.nmi_pending = true;
    };
    r.step();
    EXPECT_EQ(r.cpu.pc, 0xA000);
    EXPECT_FALSE(r.cpu.nmi_pending);
    EXPECT_TRUE(r.bus.mem[0x1FD] & kNesFlagB);
}

TEST(NesCpuInterrupts, NmiComesBeforeIrq) {
    Rig r;
    r.put(0x8000, {0xEA});
    r.put(0xFFFA, {0x00, 0xA0});
    r.put(0xFFFE, {0x00, 0x90});
    r.cpu.nmi_pending = true;
    r.cpu.irq_pending = true;
    r.step();
    EXPECT_EQ(r.cpu.pc, 0xA000);
}

}  // namespace
}  // namespace vt
