// veltrane-cli --copier-disk: the files the desktop program would write,
// reproducible names, and the copier's refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "cart/synthetic_image.h"
#include "cli/cli_runner.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

TEST(CliCopier, WildcardVolumesOfTheDemoCartridge) {
    const std::string dir = make_temp_folder("cli_copier_swc");
    fs::create_directory(dir + "/out");
    // 128 KiB: 16 blocks in volumes of 6 blocks, then the 2 KiB battery RAM.
    CliRun run = run_cli({"--copier-disk", "swc", "out", "--volume-blocks", "6"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "out/veltrane.1\nout/veltrane.2\nout/veltrane.3\nout/veltrane.BBD\n");
    const std::vector<uint8_t> last = read_file(dir + "/out/veltrane.3");
    ASSERT_EQ(last.size(), 512u + 4 * 8192);
    EXPECT_EQ(last[0], 4);
    EXPECT_EQ(last[2], 0x08);  // 2 KiB of battery RAM, nothing follows
    EXPECT_EQ(read_file(dir + "/out/veltrane.1")[2], 0x48);
    EXPECT_EQ(read_file(dir + "/out/veltrane.BBD").size(), 512u + 32768u);

    // The default volume is the 1440K floppy: everything in one file.
    run = run_cli({"--copier-disk", "swc", "whole"}, dir);
    EXPECT_EQ(run.status, 1);  // the folder is missing
    EXPECT_NE(run.err.find("whole"), std::string::npos) << run.err;
    fs::create_directory(dir + "/whole");
    run = run_cli({"--copier-disk", "swc", "whole"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "whole/veltrane.SWC\nwhole/veltrane.BBD\n");
    fs::remove_all(dir);
}

TEST(CliCopier, GameDoctorNamesComeFromTheSeed) {
    const std::string dir = make_temp_folder("cli_copier_gd3");
    CliRun first = run_cli({"--copier-disk", "gd3", ".", "--copier-seed", "42"}, dir);
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(first.out.size(), 22u) << first.out;  // "./SF1nnn\n./SF1nnn.B01\n"
    EXPECT_EQ(first.out.substr(0, 5), "./SF1");
    const std::string name = first.out.substr(2, 6);
    EXPECT_EQ(first.out, "./" + name + "\n./" + name + ".B01\n");
    const std::vector<uint8_t> volume = read_file(dir + "/" + name);
    EXPECT_EQ(std::string(volume.begin(), volume.begin() + 16), "GAME DOCTOR SF 3");
    EXPECT_EQ(read_file(dir + "/" + name + ".B01").size(), 32768u);

    CliRun again = run_cli({"--copier-disk", "gd3", ".", "--copier-seed", "42"}, dir);
    EXPECT_EQ(again.out, first.out);
    CliRun other = run_cli({"--copier-disk", "gd3", "."}, dir);
    EXPECT_NE(other.out, first.out);
    fs::remove_all(dir);
}

TEST(CliCopier, UnsupportedMapModeAndBadOptions) {
    const std::string dir = make_temp_folder("cli_copier_refused");
    std::vector<uint8_t> image = pattern_image(0x40000);
    HeaderFields f;
    f.map_mode = 0x22;
    f.rom_size = 0x08;
    write_header(image, 0x7FC0, f);
    fix_checksum(image, 0x7FC0);
    write_text(dir + "/odd.sfc", std::string(image.begin(), image.end()));
    CliRun run = run_cli({"odd.sfc", "--copier-disk", "swc", "."}, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Mode not supported"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());

    EXPECT_EQ(run_cli({"--copier-disk", "fig", "."}, dir).status, 1);
    EXPECT_EQ(run_cli({"--copier-disk", "swc"}, dir).status, 1);
    EXPECT_EQ(run_cli({"--copier-disk", "swc", ".", "--volume-blocks", "0"}, dir).status, 1);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace vt::test
