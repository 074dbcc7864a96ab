// Watchpoints: stops after watched reads and writes with what happened,
// mirrors of the system area, log lines for the Trace attribute, handlers
// that stay in front when a register owner reinstalls its page, and tables
// that are exactly as before once nothing is watched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cart/bus.h"
#include "cart/memory_map.h"
#include "core/driver.h"
#include "core/machine.h"
#include "debug/watchpoints.h"
#include "support/test_rom.h"

namespace vt {
namespace {

uint32_t pc_of(const Machine& m) { return (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc; }

bool same_tables(const HandlerTables& a, const HandlerTables& b) {
    return a.read_page == b.read_page && a.write_page == b.write_page && a.read_bank == b.read_bank &&
           a.write_bank == b.write_bank && a.peek_page == b.peek_page && a.peek_bank == b.peek_bank;
}

// The smoke cartridge stores $A5 at $7E:2000 with STA $7E2000 at $00:8015.
TEST(Watchpoints, WriteStopsAfterTheInstruction) {
    auto m = test::machine_with_rom("smoke");
    ASSERT_TRUE(watch_set(*m, 0x7E2000, kWatchWrite));
    EXPECT_TRUE(m->debug.watching);
    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::WatchWrite);
    EXPECT_EQ(m->debug.hit.address, 0x7E2000u);
    EXPECT_EQ(m->debug.hit.value, 0xA5);
    EXPECT_EQ(m->debug.hit.instruction, 0x008015u);
    EXPECT_EQ(pc_of(*m), 0x008019u);  // the next instruction
    EXPECT_EQ(test::wram8(*m, 0x2000), 0xA5);
}

// STZ $10 in bank 0 writes $7E:0010 through the low work RAM mirror.
TEST(Watchpoints, MirrorsOfTheSystemAreaAreOneAddress) {
    auto m = test::machine_with_rom("smoke");
    watch_set(*m, 0x7E0010, kWatchWrite);
    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(m->debug.hit.address, 0x000010u);
    EXPECT_EQ(m->debug.hit.instruction, 0x00800Bu);
    EXPECT_EQ(watch_key(0x800010), 0x7E0010u);
    EXPECT_EQ(watch_key(0xBF4210), 0x004210u);
    EXPECT_EQ(watch_key(0x7F0010), 0x7F0010u);
    EXPECT_EQ(watch_key(0x408000), 0x408000u);
}

// The NMI handler reads RDNMI.
TEST(Watchpoints, ReadStopsWithTheValueRead) {
    auto m = test::machine_with_rom("smoke");
    watch_set(*m, 0x004210, kWatchRead);
    EXPECT_EQ(machine_run(*m, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::WatchRead);
    EXPECT_EQ(m->debug.hit.address, 0x004210u);
    EXPECT_EQ(m->debug.hit.value & 0x80, 0x80);  // the NMI flag, cleared by this read
    EXPECT_EQ(m->sysregs.rdnmi & 0x80, 0);
}

TEST(Watchpoints, TraceAttributeWritesLinesWithoutStopping) {
    auto m = test::machine_with_rom("smoke");
    std::string log;
    m->debug.watch_log = [](void* user, const char* text, size_t size) {
        static_cast<std::string*>(user)->append(text, size);
    };
    m->debug.watch_log_user = &log;
    watch_set(*m, 0x7E0012, kWatchTrace);
    EXPECT_EQ(machine_run(*m, RunUnit::Frame), RunStop::FrameEnd);
    // STZ $12, then INC $12 (16-bit: read, read, write high, write low).
    EXPECT_EQ(log.rfind("Watch write [00:0012] = 00 @ 00800f\r\n", 0), 0u) << log.substr(0, 200);
    EXPECT_NE(log.find("Watch read  [00:0012] = "), std::string::npos);
    EXPECT_NE(log.find(" @ 008021\r\n"), std::string::npos);
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::None);
    EXPECT_EQ(watch_log_line(true, 0x7E2000, 0xA5, 0x008015), "Watch write [7e:2000] = a5 @ 008015");
}

// A DMA takes page $21 away while it runs and puts it back at its end: the
// watch on INIDISP stays in front.
TEST(Watchpoints, StayInFrontWhenARegisterPageIsReinstalled) {
    auto m = test::machine_with_rom("smoke");
    watch_set(*m, 0x002100, kWatchWrite);
    memory_install_page(*m, 0x21, kOpenBusWindow);
    memory_install_io_page(*m);
    bus_write(*m, 0x80, 0x2100, 0x0F);
    EXPECT_EQ(m->ppu.inidisp, 0x0F);
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::WatchWrite);
    EXPECT_EQ(m->debug.hit.address, 0x802100u);
}

TEST(Watchpoints, TablesReturnToWhatTheyWereAndPeeksSeeNothing) {
    auto m = test::machine_with_rom("smoke");
    const HandlerTables before = m->mem.cpu;
    watch_set(*m, 0x7E0010, kWatchRead | kWatchWrite);
    watch_set(*m, 0x00FFEA, kWatchRead);
    watch_set(*m, 0x002118, kWatchWrite);
    EXPECT_FALSE(same_tables(before, m->mem.cpu));
    EXPECT_EQ(bus_peek(*m, 0, 0xFFEA), m->mem.rom_lower[0][0xFFEA]);
    EXPECT_EQ(m->debug.hit.kind, DebugHitKind::None);

    // Attributes cleared: the entry stays in the list, inert.
    watch_set(*m, 0x7E0010, 0);
    EXPECT_EQ(m->debug.watches.size(), 3u);
    watch_remove(*m, 0x00FFEA);
    watch_clear(*m);
    EXPECT_TRUE(same_tables(before, m->mem.cpu));
    EXPECT_FALSE(m->debug.watching);
}

TEST(Watchpoints, ListHoldsTwoHundredFiftySix) {
    auto m = test::machine_with_rom("smoke");
    for (uint32_t i = 0; i < 256; i++) ASSERT_TRUE(watch_set(*m, 0x7E8000 + i, kWatchTrace));
    EXPECT_FALSE(watch_set(*m, 0x7E9000, kWatchTrace));
    EXPECT_TRUE(watch_set(*m, 0x7E8000, kWatchRead));  // an existing one changes
    EXPECT_EQ(watch_find(m->debug, 0x7E8000), kWatchRead);
    EXPECT_EQ(watch_find(m->debug, 0x7E9000), 0u);
    EXPECT_EQ(m->debug.watches.size(), 256u);
}

}  // namespace
}  // namespace vt
