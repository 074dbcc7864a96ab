// Breakpoints: the list's rules, the stop before the instruction, single
// steps with the audio CPU caught up, running on, breakpoints on interrupt
// handlers and the interrupt traps.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "core/driver.h"
#include "core/machine.h"
#include "core/main_cpu_debug.h"
#include "debug/breakpoints.h"
#include "debug/interrupt_vectors.h"
#include "debug/stepping.h"
#include "debug/w65816_listing.h"
#include "support/test_rom.h"

namespace vt {
namespace {

// The smoke cartridge's main loop: REP #$20, INC $12, SEP #$20, BRA main.
constexpr uint32_t kMainLoop = 0x00801F;

uint32_t pc_of(const Machine& m) { return (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc; }

std::string listing_line(const Machine& m, uint32_t address) {
    W65816Listing l = main_cpu_listing_start(m, false);
    l.pc = address;
    return main_cpu_listing(m, l, 1)[0].text;
}

TEST(BreakpointList, AddFindRemove) {
    Debugger d;
    EXPECT_TRUE(breakpoint_add(d, 0x008000));
    EXPECT_FALSE(breakpoint_add(d, 0x008000));  // unique
    EXPECT_TRUE(breakpoint_add(d, 0x7E1234));
    EXPECT_TRUE(breakpoint_add(d, 0x00FFEA));
    EXPECT_TRUE(breakpoint_find(d, 0x7E1234).exists);
    EXPECT_FALSE(breakpoint_find(d, 0x7E1234).disabled);
    EXPECT_FALSE(breakpoint_find(d, 0x7E1235).exists);

    breakpoint_set_disabled(d, 0x7E1234, true);
    EXPECT_TRUE(breakpoint_find(d, 0x7E1234).disabled);
    EXPECT_EQ(d.breakpoints[1], 0x7E1234u | kBreakpointDisabled);

    // Removing closes the gap and keeps the order.
    EXPECT_TRUE(breakpoint_remove(d, 0x008000));
    EXPECT_FALSE(breakpoint_remove(d, 0x008000));
    EXPECT_EQ(d.breakpoints, (std::vector<uint32_t>{0x7E1234 | kBreakpointDisabled, 0x00FFEA}));

    breakpoints_disable_all(d);
    for (uint32_t e : d.breakpoints) EXPECT_TRUE(breakpoint_disabled(e));

    EXPECT_TRUE(breakpoint_toggle(d, 0x123456));
    EXPECT_FALSE(breakpoint_toggle(d, 0x123456));
    EXPECT_FALSE(breakpoint_find(d, 0x123456).exists);
}

TEST(BreakpointList, TheThirtyThirdAddLeavesThirtyTwo) {
    Debugger d;
    for (uint32_t i = 0; i < 32; i++) EXPECT_TRUE(breakpoint_add(d, 0x8000 + i));
    EXPECT_FALSE(breakpoint_add(d, 0x9000));
    EXPECT_EQ(d.breakpoints.size(), 32u);
    EXPECT_FALSE(breakpoint_find(d, 0x9000).exists);
}

TEST(BreakpointList, AddressText) {
    std::string typed;
    for (char key : std::string("12G4")) {
        if (hex_digit(key)) typed += key;
    }
    EXPECT_EQ(typed, "124");
    EXPECT_EQ(hex_address("124"), 0x124u);
    EXPECT_EQ(hex_address("7e2005"), 0x7E2005u);
    EXPECT_EQ(hex_address("7E2005"), 0x7E2005u);
    EXPECT_EQ(hex_address(""), 0u);

    struct Case {
        const char* text;
        bool ok;
        uint32_t address;
    };
    const Case cases[] = {
        {"008000", true, 0x008000}, {"$8000", true, 0x008000}, {"0x7E2000", true, 0x7E2000},
        {"ffffff", true, 0xFFFFFF}, {"000000801f", true, 0x00801F}, {"", false, 0},
        {"$", false, 0},            {"0x", false, 0},           {"1234567", false, 0},
        {"80 00", false, 0},        {"g000", false, 0},         {"-1", false, 0},
    };
    for (const Case& c : cases) {
        uint32_t address = 0;
        EXPECT_EQ(parse_address(c.text, address), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(address, c.address) << c.text;
        }
    }
}

TEST(Breakpoints, StopBeforeTheInstructionStepAndRunOn) {
    auto m = test::machine_with_rom("smoke");
    ASSERT_EQ(listing_line(*m, kMainLoop), "00801f rep     #$20");
    ASSERT_TRUE(breakpoint_add(m->debug, kMainLoop));

    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(pc_of(*m), kMainLoop);
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::Breakpoint);
    EXPECT_EQ(m->debug.hit.address, kMainLoop);
    EXPECT_EQ(m->cpu.p & 0x20, 0x20);  // REP #$20 has not run

    // Step: REP runs, the audio CPU is level with the main CPU.
    EXPECT_EQ(debug_step(*m), RunStop::Instruction);
    EXPECT_EQ(pc_of(*m), kMainLoop + 2);
    EXPECT_EQ(m->cpu.p & 0x20, 0);
    EXPECT_GE(m->apu.clock, m->timing.line_clock);
    EXPECT_EQ(debug_step(*m), RunStop::Instruction);
    EXPECT_EQ(pc_of(*m), kMainLoop + 4);  // after INC $12

    // Run: round the loop once and stop at the breakpoint again.
    const uint16_t counter = test::wram16(*m, 0x12);
    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(pc_of(*m), kMainLoop);
    EXPECT_EQ(test::wram16(*m, 0x12), counter);  // INC has not run again yet
    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(test::wram16(*m, 0x12), uint16_t(counter + 1));
}

TEST(Breakpoints, StepOnABreakpointRunsItsInstruction) {
    auto m = test::machine_with_rom("smoke");
    breakpoint_add(m->debug, kMainLoop);
    machine_run(*m, RunUnit::UntilStopped);
    ASSERT_EQ(pc_of(*m), kMainLoop);
    EXPECT_EQ(debug_step(*m), RunStop::Instruction);
    EXPECT_EQ(pc_of(*m), kMainLoop + 2);
}

TEST(Breakpoints, ADisabledBreakpointDoesNotStopUntilTickedAgain) {
    auto m = test::machine_with_rom("smoke");
    breakpoint_add(m->debug, kMainLoop);
    breakpoint_set_disabled(m->debug, kMainLoop, true);
    EXPECT_EQ(machine_run(*m, RunUnit::Frame), RunStop::FrameEnd);
    breakpoint_set_disabled(m->debug, kMainLoop, false);
    EXPECT_EQ(machine_run(*m, RunUnit::Frame), RunStop::Requested);
    EXPECT_EQ(pc_of(*m), kMainLoop);
}

// The NMI handler's address from the Interrupt Vectors table: a breakpoint
// there stops at its first instruction.
TEST(Breakpoints, BreakpointOnTheNmiHandlerIsHit) {
    auto m = test::machine_with_rom("smoke");
    const InterruptHandlers handlers = read_interrupt_handlers(*m);
    const uint32_t nmi = handlers[1][2];  // native column, NMI row
    EXPECT_EQ(nmi, uint32_t(bus_peek(*m, 0, 0xFFEA) | (bus_peek(*m, 0, 0xFFEB) << 8)));
    EXPECT_EQ(handlers[0][1], 0x008000u);  // RESET
    EXPECT_EQ(listing_line(*m, nmi).substr(7), "rep     #$20");
    breakpoint_add(m->debug, nmi);
    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(pc_of(*m), nmi);
    EXPECT_EQ(m->timing.line, m->timing.last_visible_line + 1);  // the first V-blank line
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::Breakpoint);
}

TEST(InterruptTraps, StopRightAfterTheEntry) {
    auto m = test::machine_with_rom("smoke");
    m->debug.interrupt_traps = kTrapNmi;
    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::Interrupt);
    EXPECT_EQ(m->debug.hit.value, 0);  // NMI
    const uint32_t nmi = read_interrupt_handlers(*m)[1][2];
    EXPECT_EQ(pc_of(*m), nmi);
    EXPECT_EQ(m->debug.hit.address, nmi);
    // The entry has pushed the return address and status.
    EXPECT_EQ(m->cpu.s, 0x1FFF - 4);

    // An IRQ trap does not fire for NMIs.
    auto other = test::machine_with_rom("smoke");
    other->debug.interrupt_traps = kTrapIrq | kTrapBrk | kTrapCop;
    EXPECT_EQ(machine_run(*other, RunUnit::Frame), RunStop::FrameEnd);
    EXPECT_EQ(machine_run(*other, RunUnit::Frame), RunStop::FrameEnd);
    EXPECT_EQ(other->debug.hit.kind, DebugHitKind::None);

    EXPECT_EQ(interrupt_trap_bit("nmi"), kTrapNmi);
    EXPECT_EQ(interrupt_trap_bit("cop"), kTrapCop);
    EXPECT_FALSE(interrupt_trap_bit("reset").has_value());
}

}  // namespace
}  // namespace vt
