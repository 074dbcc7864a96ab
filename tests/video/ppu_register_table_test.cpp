// The register tables the State Inspector and the real-time save share:
// their labels, and values that are what the registers hold or read.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "core/driver.h"
#include "core/system_register_table.h"
#include "state/state_file.h"
#include "support/test_rom.h"
#include "video/ppu_register_table.h"

namespace vt::test {
namespace {

std::vector<std::string> labels(std::span<const IoRegister> table) {
    std::vector<std::string> out;
    for (const IoRegister& r : table) out.push_back(io_register_label(r));
    return out;
}

TEST(RegisterTables, LabelsAsTheInspectorShowsThem) {
    const std::vector<std::string> ppu = {
        "2100 INIDISP", "2101 OBJSEL",  "2102 OAMADDL", "2103 OAMADDH", "2104 OAMDATA", "2105 BGMODE",
        "2106 MOSAIC",  "2107 BG1SC",   "2108 BG2SC",   "2109 BG3SC",   "210A BG4SC",   "210B BG12NBA",
        "210C BG34NBA", "210D BG1HOFS", "210E BG1VOFS", "210F BG2HOFS", "2110 BG2VOFS", "2111 BG3HOFS",
        "2112 BG3VOFS", "2113 BG4HOFS", "2114 BG4VOFS", "2115 VMAINC",  "2116 VMADDL",  "2117 VMADDH",
        "2118 VMDATAL", "2119 VMDATAH", "211A M7SEL",   "211B M7A",     "211C M7B",     "211D M7C",
        "211E M7D",     "211F M7X",     "2120 M7Y",     "2121 CGADD",   "2122 CGDATA",  "2123 W12SEL",
        "2124 W34SEL",  "2125 WOBJSEL", "2126 WH0",     "2127 WH1",     "2128 WH2",     "2129 WH3",
        "212A WBGLOG",  "212B WOBJLOG", "212C TM",      "212D TS",      "212E TMW",     "212F TSW",
        "2130 CGWSEL",  "2131 CGADSUB", "2132 COLDATA", "2133 SETINI",  "2134 MPYL",    "2135 MPYM",
        "2136 MPYH",    "2137 SLHV",    "213C OPHCT",   "213D OPVCT",   "213E STAT77",  "213F STAT78",
    };
    EXPECT_EQ(labels(ppu_register_table()), ppu);
    const std::vector<std::string> cpu = {
        "4200 NMITIMEN", "4201 WRIO",   "4202 WRMPYA", "4203 WRMPYB", "4204 WRDIVL", "4205 WRDIVH",
        "4206 WRDIVB",   "4207 HTIMEL", "4208 HTIMEH", "4209 VTIMEL", "420A VTIMEH", "420B MDMAEN",
        "420C HDMAEN",   "420D MEMSEL", "4210 RDNMI",  "4211 TIMEUP", "4212 HVBJOY", "4213 RDIO",
        "4214 RDDIVL",   "4215 RDDIVH", "4216 RDMPYL", "4217 RDMPYH", "4218 JOY1L",  "4219 JOY1H",
        "421A JOY2L",    "421B JOY2H",  "421C JOY3L",  "421D JOY3H",  "421E JOY4L",  "421F JOY4H",
    };
    EXPECT_EQ(labels(system_register_table()), cpu);
}

TEST(RegisterTables, WrittenRegistersShowTheirLastWrite) {
    auto m = machine_with_rom("smoke");
    uint8_t v = 0x11;
    for (const IoRegister& r : ppu_register_table()) {
        if (r.kind == RegisterKind::Written && r.address != 0x2132) {
            v = uint8_t(v + 0x17);
            bus_write(*m, 0, r.address, v);
            EXPECT_EQ(r.value(*m), v) << io_register_label(r);
        } else if (r.kind == RegisterKind::Latched) {
            bus_write(*m, 0, r.address, 0x34);
            bus_write(*m, 0, r.address, 0x01);  // the high byte, written last
            EXPECT_EQ(r.value(*m), 0x01) << io_register_label(r);
        } else if (r.kind == RegisterKind::Port) {
            EXPECT_EQ(r.value, nullptr) << io_register_label(r);
        }
    }
    // COLDATA: red 5, green 5, blue 9 is one write for red and green.
    bus_write(*m, 0, 0x2132, 0x20 | 5);
    bus_write(*m, 0, 0x2132, 0x40 | 5);
    bus_write(*m, 0, 0x2132, 0x80 | 9);
    EXPECT_EQ(ppu_register_table()[50].value(*m), 0x60 | 5);

    // $420B would start a DMA; the others keep what was written.
    for (const IoRegister& r : system_register_table()) {
        if (r.kind != RegisterKind::Written || r.address == 0x420B) continue;
        bus_write(*m, 0, r.address, 0x01);
        EXPECT_EQ(r.value(*m), 0x01) << io_register_label(r);
    }
}

TEST(RegisterTables, ReadOnlyRegistersShowWhatAReadReturns) {
    auto m = machine_with_rom("smoke");
    bus_write(*m, 0, 0x211B, 0x34), bus_write(*m, 0, 0x211B, 0x12);  // M7A $1234
    bus_write(*m, 0, 0x211C, 0x00), bus_write(*m, 0, 0x211C, 0xFE);  // M7B high byte -2
    bus_write(*m, 0, 0x4204, 0x39), bus_write(*m, 0, 0x4205, 0x30);  // 12345 / 10
    bus_write(*m, 0, 0x4206, 10);
    m->sysregs.joy[1] = 0xBEEF;
    for (std::span<const IoRegister> table : {ppu_register_table(), system_register_table()}) {
        for (const IoRegister& r : table) {
            const bool shown = (r.address >= 0x2134 && r.address <= 0x2136) || (r.address >= 0x4214);
            if (!shown) continue;
            // Shown before the read: showing has no side effect.
            const uint8_t value = r.value(*m);
            EXPECT_EQ(value, bus_read(*m, 0, r.address)) << io_register_label(r);
        }
    }
}

// The product is worked out when first read after M7A or M7B changes; a
// state taken before that read holds the product all the same.
TEST(RegisterTables, AProductNotYetReadSurvivesAState) {
    auto m = machine_with_rom("smoke");
    run_frames(*m, 2);
    bus_write(*m, 0, 0x211B, 0x00), bus_write(*m, 0, 0x211B, 0x03);  // M7A $0300
    bus_write(*m, 0, 0x211C, 0x00), bus_write(*m, 0, 0x211C, 0x05);  // times 5
    ASSERT_TRUE(m->ppu.product_stale);
    const std::vector<uint8_t> state = state_file_bytes(*m, "", "", StateOptions{});
    auto loaded = machine_with_rom("smoke");
    ASSERT_TRUE(load_state_bytes(*loaded, state.data(), state.size(), StateOptions{}));
    EXPECT_EQ(bus_read(*loaded, 0, 0x2134), 0x00);
    EXPECT_EQ(bus_read(*loaded, 0, 0x2135), 0x0F);
    EXPECT_EQ(bus_read(*loaded, 0, 0x2136), 0x00);
}

}  // namespace
}  // namespace vt::test
