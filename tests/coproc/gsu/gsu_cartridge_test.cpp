// Super FX test cartridges through the whole machine: the GSU draws, the
// 65816 copies its characters into VRAM and the PPU shows them.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>

#include "cli/cli_runner.h"
#include "coproc/gsu/gsu.h"
#include "core/driver.h"
#include "support/test_rom.h"
#include "video/ppu.h"

namespace vt::test {
namespace {

// The picture the cartridge's GSU program draws.
int drawn_colour(int x, int y) { return ((x ^ y) >> 3) & 15; }

// The 16-colour character layout written out directly: 128-line screen,
// characters down the columns, 32 bytes each, planes 0/1 at +0/+1 and 2/3
// at +16/+17 of each row's pair of bytes.
std::array<uint8_t, 8192> expected_characters() {
    std::array<uint8_t, 8192> ram{};
    for (int y = 0; y < 128; y++) {
        for (int x = 0; x < 128; x++) {
            int c = drawn_colour(x, y);
            int character = (x / 8) * 16 + (y / 8);
            for (int plane = 0; plane < 4; plane++) {
                int at = character * 32 + (y % 8) * 2 + (plane / 2) * 16 + (plane % 2);
                if ((c >> plane) & 1) ram[size_t(at)] |= uint8_t(0x80 >> (x % 8));
            }
        }
    }
    return ram;
}

TEST(GsuCartridge, TheGsuDrawsAPictureThatTheMainCpuShows) {
    auto m = machine_with_rom("gsu_picture");
    ASSERT_EQ(m->cart.coprocessor, kCoprocSuperFx);
    run_frames(*m, 8);

    EXPECT_EQ(wram8(*m, 0x104), kGsuVersion);
    EXPECT_GE(wram8(*m, 0x100), 1);                // it took the GSU a few frames
    EXPECT_EQ(wram8(*m, 0x102) & 0x80, 0x80);      // the stop raised the interrupt flag
    EXPECT_EQ(wram8(*m, 0x103) & 0x80, 0);         // and the read acknowledged it
    EXPECT_FALSE(m->gsu.running);

    const auto want = expected_characters();
    for (size_t i = 0; i < want.size(); i++) {
        ASSERT_EQ(m->cart.sram[i], want[i]) << "GSU RAM offset " << i;
        ASSERT_EQ(i & 1 ? m->ppu.vram_hi[i / 2] : m->ppu.vram_lo[i / 2], want[i]) << "VRAM byte " << i;
    }

    // On screen: pixel (x, y) on console line y + 1, two picture columns
    // per pixel. Each colour index shows as one colour, and the 16 are
    // distinct.
    std::map<int, std::array<uint8_t, 3>> seen;
    for (int y = 0; y < 128; y++) {
        for (int x = 0; x < 128; x++) {
            const uint8_t* p = video_picture(*m) + size_t(y * 2) * kPictureStride + size_t(x * 2) * 3;
            std::array<uint8_t, 3> rgb = {p[0], p[1], p[2]};
            auto [it, inserted] = seen.emplace(drawn_colour(x, y), rgb);
            ASSERT_EQ(it->second, rgb) << "pixel " << x << "," << y;
        }
    }
    ASSERT_EQ(seen.size(), 16u);
    for (auto a = seen.begin(); a != seen.end(); ++a) {
        for (auto b = std::next(a); b != seen.end(); ++b) EXPECT_NE(a->second, b->second);
    }
    EXPECT_EQ(seen[0], (std::array<uint8_t, 3>{0, 0, 0}));  // palette entry 0 is black
}

TEST(GsuCartridge, TheBenchCartridgeKeepsTheGsuRunningEveryLine) {
    auto m = machine_with_rom("gsu_bench");
    run_frames(*m, 2);
    ASSERT_TRUE(m->gsu.running);
    const uint16_t frame_counter = m->gsu.r[3];
    run_frames(*m, 6);
    EXPECT_TRUE(m->gsu.running);
    EXPECT_NE(m->gsu.r[3], frame_counter);  // it keeps drawing new frames
    EXPECT_EQ(m->gsu.slice_length, kGsuSliceLong);
    EXPECT_GE(wram8(*m, 0x100), 4);  // and the 65816 keeps taking its NMIs
}

TEST(GsuCartridge, TheRunnerNamesTheChip) {
    std::string dir = make_temp_folder("gsu_info");
    std::filesystem::copy_file(test_rom_path("gsu_picture"), dir + "/fx.sfc");
    CliRun run = run_cli({"fx.sfc", "--info"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Type:     LOROM + SUPER-FX\n"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vt::test
