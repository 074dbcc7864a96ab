// The Type line of the Gamepak Properties and of --info names every chip.
#include <gtest/gtest.h>

#include "cart/loader_support.h"
#include "cart/rom_info.h"
#include "coproc/chips.h"

namespace vt::test {
namespace {

TEST(ChipNames, EveryKindBoardAndSpecialCartridgeNamesItsChip) {
    Cartridge c;
    for (const Chip& chip : all_chips()) {
        if (chip.kind == kCoprocNone) continue;
        c.coprocessor = chip.kind;
        c.dsp_variant = 4;
        const std::string expected = std::string("LOROM + ") + chip.name + (chip.kind == kCoprocDsp ? "4" : "");
        EXPECT_EQ(rom_information(c).type, expected);
    }
    c.coprocessor = kCoprocDsp;
    c.dsp_variant = 1;
    c.pcb_id = 13;  // SHVC-1B0N, a board carrying a DSP
    EXPECT_EQ(rom_information(c).type, "SHVC-1B0N + DSP1");

    struct Case {
        const char* title;
        const char* type;
    } cases[] = {
        {"Super GAMEBOY", "LOROM + SGB"},
        {"Super GAMEBOY2", "LOROM + SGB"},
        {"XBAND VIDEOGAME MODEM", "LOROM + XBAND"},
        {"Satellaview BS-X", "LOROM + BSX"},
        {"SYNTHETIC TEST", "LOROM"},
    };
    for (const Case& k : cases) {
        HeaderFields f;
        f.title = k.title;
        auto image = pattern_image(256 * kKiB);
        write_header(image, 0x7FC0, f);
        set_word(image, 0x7FFC, 0x8000);
        fix_checksum(image, 0x7FC0);
        Loaded l = load_image(image);
        ASSERT_TRUE(l.result.loaded()) << k.title;
        EXPECT_EQ(rom_information(l.cart()).type, k.type) << k.title;
        EXPECT_NE(rom_information_block(rom_information(l.cart()), "\n").find(std::string("Type:     ") + k.type),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace vt::test
