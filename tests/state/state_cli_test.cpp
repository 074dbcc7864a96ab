// veltrane-cli --save-state and --load-state: both formats, chosen by the
// file's content, and a run continued from a state matching one run
// straight through.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "state/state_test_support.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

std::string folder_with_rom(const std::string& name, const std::string& rom) {
    std::string dir = make_temp_folder(name);
    fs::copy_file(test_rom_path(rom), dir + "/game.sfc");
    return dir;
}

TEST(StateCli, ChunkedStateContinuesTheRunExactly) {
    const std::string dir = folder_with_rom("state_cli_chunked", "state_motion");
    CliRun first = run_cli({"game.sfc", "-n", "5", "--save-state", "game.S00", "--no-battery-save"}, dir);
    ASSERT_EQ(first.status, 0) << first.err;
    const std::vector<uint8_t> state = read_file(dir + "/game.S00");
    ASSERT_GT(state.size(), 8u);
    EXPECT_EQ(std::string(state.begin(), state.begin() + 4), "BPS2");

    CliRun resumed = run_cli({"game.sfc", "--load-state", "game.S00", "-n", "3", "--dump-wram", "resumed.bin",
                              "--dump-vram", "resumed_vram.bin", "--no-battery-save"},
                             dir);
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    CliRun straight = run_cli({"game.sfc", "-n", "8", "--dump-wram", "straight.bin", "--dump-vram",
                               "straight_vram.bin", "--no-battery-save"},
                              dir);
    ASSERT_EQ(straight.status, 0) << straight.err;
    const std::vector<uint8_t> wram = read_file(dir + "/resumed.bin");
    EXPECT_EQ(le16(wram, 0x10), 8);  // frames counted by the cartridge's NMI
    EXPECT_EQ(wram, read_file(dir + "/straight.bin"));
    EXPECT_EQ(read_file(dir + "/resumed_vram.bin"), read_file(dir + "/straight_vram.bin"));
}

TEST(StateCli, RealTimeSaveByNameAndByContent) {
    const std::string dir = folder_with_rom("state_cli_rts", "smoke");
    CliRun saved = run_cli({"game.sfc", "-n", "5", "--save-state", "game.rts", "--no-battery-save"}, dir);
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::vector<uint8_t> rts = read_file(dir + "/game.rts");
    ASSERT_EQ(rts.size(), 512u + 262144u);
    EXPECT_EQ(rts[8], 0xAA);
    EXPECT_EQ(rts[9], 0xBB);
    EXPECT_EQ(rts[10], 0x08);

    // Loaded by its content whatever its name.
    fs::copy_file(dir + "/game.rts", dir + "/game.bin");
    CliRun resumed = run_cli({"game.sfc", "--load-state", "game.bin", "-n", "3", "--dump-wram", "w.bin",
                              "--no-battery-save"},
                             dir);
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(le16(read_file(dir + "/w.bin"), 0x10), 8);

    // A file being replaced keeps its format: game.bin stays a real-time save.
    CliRun again = run_cli({"game.sfc", "-n", "1", "--save-state", "game.bin", "--no-battery-save"}, dir);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(read_file(dir + "/game.bin").size(), 512u + 262144u);
}

TEST(StateCli, UnusableStateFilesStopTheRun) {
    const std::string dir = folder_with_rom("state_cli_bad", "smoke");
    write_text(dir + "/junk.S00", "not a state at all");
    CliRun junk = run_cli({"game.sfc", "--load-state", "junk.S00", "-n", "1", "--no-battery-save"}, dir);
    EXPECT_EQ(junk.status, 1);
    EXPECT_NE(junk.err.find("junk.S00"), std::string::npos) << junk.err;

    CliRun missing = run_cli({"game.sfc", "--load-state", "none.S00", "-n", "1", "--no-battery-save"}, dir);
    EXPECT_EQ(missing.status, 1);

    CliRun unwritable = run_cli({"game.sfc", "-n", "1", "--save-state", "no/such/dir/s.S00", "--no-battery-save"}, dir);
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("s.S00"), std::string::npos) << unwritable.err;
}

}  // namespace
}  // namespace vt::test
