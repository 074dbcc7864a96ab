// The chip table: one row per coprocessor kind, and the driver taking the
// loaded chip's hooks from it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/gsu/gsu.h"
#include "coproc/sa1/sa1.h"
#include "core/driver.h"

namespace vt::test {
namespace {

std::vector<uint8_t> lorom_with_type(uint8_t type) {
    HeaderFields f;
    f.cart_type = type;
    auto image = pattern_image(512 * kKiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0xFFFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

TEST(ChipTable, EveryKindHasItsOwnRowAndAnUnknownKindHasNone) {
    std::set<std::string> names;
    std::set<std::string> tags;
    size_t chunks = 0;
    for (uint8_t kind = kCoprocNone; kind <= kCoprocBsxBase; kind++) {
        const Chip& chip = chip_for(kind);
        EXPECT_EQ(chip.kind, kind);
        names.insert(chip.name);
        // State chunks carry four-character tags; the two Satellaview
        // cartridges share theirs, the DSP and the ST011 the NEC core's.
        for (const ChipStateChunk& c : chip.state_chunks) {
            EXPECT_EQ(std::string(c.tag).size(), 4u) << chip.name;
            if (kind == kCoprocSt011 && std::string(c.tag) == "XNEC") continue;
            if (kind != kCoprocBsxBase) chunks++, tags.insert(c.tag);
        }
    }
    EXPECT_EQ(tags.size(), chunks);
    // The memory pack and the base cartridge are both "BSX".
    EXPECT_EQ(names.size() + 1, all_chips().size());
    EXPECT_EQ(chip_for(kCoprocBsxBase).state_chunks.data(), chip_for(kCoprocBsx).state_chunks.data());
    EXPECT_EQ(chip_for(200).kind, kCoprocNone);
    EXPECT_EQ(chip_for(kCoprocSa1).catch_up, &sa1_catch_up);
    EXPECT_EQ(chip_for(kCoprocSuperFx).line_end, &gsu_line_end);
}

TEST(ChipTable, TheDriverTakesTheLoadedChipsHooksAndDropsThemWithTheCartridge) {
    Loaded l = load_image(lorom_with_type(0x34));  // SA-1
    Machine& m = l.m();
    ASSERT_EQ(m.cart.coprocessor, kCoprocSa1);
    EXPECT_EQ(m.timing.chip_catch_up, &sa1_catch_up);
    EXPECT_EQ(m.timing.chip_line_end, &sa1_line_end);

    MemoryFiles files;
    files.files["/roms/fx.sfc"] = lorom_with_type(0x1A);  // Super FX
    LoadOptions options;
    options.read_file = files.reader();
    options.save_previous_battery = false;  // nowhere to write the Super FX's RAM
    ASSERT_TRUE(load_gamepak(m, "/roms/fx.sfc", options).loaded());
    EXPECT_EQ(m.timing.chip_catch_up, nullptr);
    EXPECT_EQ(m.timing.chip_line_end, &gsu_line_end);

    files.files["/roms/plain.sfc"] = lorom_with_type(0x00);
    ASSERT_TRUE(load_gamepak(m, "/roms/plain.sfc", options).loaded());
    EXPECT_EQ(m.timing.chip_catch_up, nullptr);
    EXPECT_EQ(m.timing.chip_line_end, nullptr);
}

TEST(ChipTable, ARunningSa1IsBroughtLevelAfterEveryStepAndKeepsItsClockAcrossLines) {
    Loaded l = load_image(lorom_with_type(0x34));
    Machine& m = l.m();
    run_frame(m);
    machine_run(m, RunUnit::Instruction);
    EXPECT_EQ(m.sa1.clock, 0);  // stopped: never runs
    m.sa1.running = true;
    machine_run(m, RunUnit::Instruction);
    // Level within one SA-1 instruction.
    EXPECT_GE(m.sa1.clock, m.timing.line_clock);
    EXPECT_LT(m.sa1.clock, m.timing.line_clock + 10);
    run_line(m);
    // The line end takes a line off both clocks.
    EXPECT_GE(m.sa1.clock, m.timing.line_clock);
    EXPECT_LT(m.sa1.clock, m.timing.line_clock + 10);
    machine_reset(m);
    EXPECT_FALSE(m.sa1.running);
}

TEST(ChipTable, TheSuperFxMapsItsRamAndItsRegisters) {
    Loaded l = load_image(lorom_with_type(0x1A));
    Machine& m = l.m();
    bus_write(m, 0x70, 0x1234, 0xA5);
    EXPECT_EQ(bus_read(m, 0x70, 0x1234), 0xA5);
    EXPECT_EQ(bus_read(m, 0x00, 0x7234), 0xA5);  // the 8 KiB window shows the start of bank $70
    EXPECT_EQ(bus_peek(m, 0x00, 0x303B), kGsuVersion);
    EXPECT_EQ(bus_peek(m, 0x00, 0x3300), kNotReadable);
    EXPECT_EQ(bus_peek(m, 0x70, 0x1234), 0xA5);
}

}  // namespace
}  // namespace vt::test
