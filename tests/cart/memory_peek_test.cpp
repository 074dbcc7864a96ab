// Peeking at the address space for the debugger: a peek returns what a read
// would return, or "not readable", and changes nothing in the machine.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cart/bus.h"
#include "cart/memory_map.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

// Everything a read can change: clock, open bus, port addresses, latches,
// flip-flops, flags and the serial shift registers.
struct ReadEffects {
    int32_t line_clock;
    uint8_t open_bus, dma_active, rdnmi, timeup, irq_sources, stat78;
    uint32_t wram_port;
    uint16_t oam_addr, cgram_addr, vram_addr, vram_latch, shift0, shift1;
    bool ophct_second, opvct_second, product_stale;
    uint8_t ppu1_bus, ppu2_bus, timer_counter0;

    explicit ReadEffects(const Machine& m)
        : line_clock(m.timing.line_clock),
          open_bus(m.mem.open_bus),
          dma_active(m.mem.dma_active),
          rdnmi(m.sysregs.rdnmi),
          timeup(m.sysregs.timeup),
          irq_sources(m.cpu.irq_sources),
          stat78(m.ppu.stat78),
          wram_port(m.mem.wram_port),
          oam_addr(m.ppu.oam_addr),
          cgram_addr(m.ppu.cgram_addr),
          vram_addr(m.ppu.vram_addr),
          vram_latch(m.ppu.vram_latch),
          shift0(m.sysregs.shift[0]),
          shift1(m.sysregs.shift[1]),
          ophct_second(m.ppu.ophct_second),
          opvct_second(m.ppu.opvct_second),
          product_stale(m.ppu.product_stale),
          ppu1_bus(m.ppu.ppu1_bus),
          ppu2_bus(m.ppu.ppu2_bus),
          timer_counter0(m.apu.timer_counter[0]) {}
    bool operator==(const ReadEffects&) const = default;
};

// A machine with state in every register a read changes: flags set, odd
// flip-flop phases, stale product, a DMA lock byte, a mouse-like shift.
std::unique_ptr<Machine> busy_machine() {
    auto m = machine_with_rom("cart_sram");
    run_frames(*m, 2);
    Machine& mm = *m;
    mm.sysregs.rdnmi |= 0x80;
    mm.sysregs.timeup = 0x80;
    mm.cpu.irq_sources = kIrqTimer;
    mm.sysregs.shift[0] = 0x8001;
    mm.sysregs.wrio = 0x80;
    mm.ppu.ophct_second = true;
    mm.ppu.product_stale = true;
    mm.ppu.oam_addr = 0x0005;
    mm.ppu.cgram_addr = 0x0003;
    mm.mem.wram_port = 0x01FFFF;
    mm.mem.open_bus = 0x5A;
    return m;
}

TEST(MemoryPeek, PeekingTheWholeAddressSpaceChangesNothing) {
    auto m = busy_machine();
    const ReadEffects before(*m);
    const auto wram = m->mem.wram;
    uint64_t readable = 0;
    for (uint32_t a = 0; a < 0x1000000; a++) {
        if (bus_peek(*m, uint8_t(a >> 16), uint16_t(a)) != kNotReadable) readable++;
    }
    EXPECT_TRUE(ReadEffects(*m) == before);
    EXPECT_TRUE(m->mem.wram == wram);
    EXPECT_GT(readable, 0x800000u);  // ROM and work RAM at least
}

// A peek gives what the next read gives, however often it is asked; the
// read then does what reads do.
TEST(MemoryPeek, RegistersPeekAsTheyWouldReadWithoutTheirSideEffects) {
    struct Case {
        uint16_t addr;
        const char* name;
    };
    const Case cases[] = {
        {0x2134, "MPYL (stale product)"}, {0x2136, "MPYH"},    {0x2138, "OAMDATA"},  {0x2139, "VMDATALREAD"},
        {0x213A, "VMDATAHREAD"},          {0x213B, "CGDATA"},  {0x213C, "OPHCT"},    {0x213D, "OPVCT"},
        {0x213E, "STAT77"},               {0x213F, "STAT78"},  {0x2140, "APUIO0"},   {0x2180, "WMDATA"},
        {0x4016, "JOYSER0"},              {0x4017, "JOYSER1"}, {0x4210, "RDNMI"},    {0x4211, "TIMEUP"},
        {0x4212, "HVBJOY"},               {0x4214, "RDDIVL"},  {0x4218, "JOY1L"},    {0x4302, "A1T0L"},
        {0x0123, "work RAM"},             {0x8000, "ROM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = busy_machine();
        const ReadEffects before(*m);
        const int first = bus_peek(*m, 0x00, c.addr);
        const int second = bus_peek(*m, 0x00, c.addr);
        ASSERT_NE(first, kNotReadable);
        EXPECT_EQ(first, second);
        EXPECT_TRUE(ReadEffects(*m) == before);
        EXPECT_EQ(bus_read(*m, 0x00, c.addr), first);
    }
}

TEST(MemoryPeek, BatteryRamPeeksAsItReads) {
    auto m = busy_machine();
    ASSERT_GT(m->cart.sram_size, 0u);
    bus_write(*m, 0x70, 0x0010, 0xC3);
    EXPECT_EQ(bus_peek(*m, 0x70, 0x0010), 0xC3);
    EXPECT_EQ(bus_peek(*m, 0xF0, 0x0010), bus_read(*m, 0xF0, 0x0010));
}

TEST(MemoryPeek, WriteOnlyAndEmptyAddressesAreNotReadable) {
    auto m = busy_machine();
    for (uint16_t addr : {0x2100, 0x2104, 0x2118, 0x2122, 0x2137, 0x2181, 0x21FF, 0x4200, 0x420B, 0x430C, 0x4380,
                          0x5000, 0x2000}) {
        EXPECT_EQ(bus_peek(*m, 0x00, addr), kNotReadable) << std::hex << addr;
    }
    EXPECT_EQ(bus_peek(*m, 0x60, 0x0000), kNotReadable);  // LoROM open bus above the ROM's banks
}

}  // namespace
}  // namespace vt::test
