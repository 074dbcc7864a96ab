// veltrane-cli's picture and video-memory outputs.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "frontend/png_writer.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | uint32_t(b[at + 3]);
}

TEST(CliVideo, PngOfEachCaptureFormatAndMemoryDumps) {
    std::string dir = make_temp_folder("cli_png");
    fs::copy_file(test_rom_path("video_bg_modes"), dir + "/scene.sfc");
    for (int format = 0; format < kCaptureFormats; format++) {
        std::string name = "f" + std::to_string(format) + ".png";
        CliRun run = run_cli({"scene.sfc", "-n", "3", "--png", name, "--png-format", std::to_string(format),
                              "--dump-vram", "vram.bin", "--dump-cgram", "cgram.bin", "--dump-oam", "oam.bin"},
                             dir);
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<uint8_t> png = read_file(dir + "/" + name);
        ASSERT_GT(png.size(), 33u);
        EXPECT_EQ(png[1], 'P');
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        const uint32_t sizes[kCaptureFormats][2] = {{256, 224}, {256, 239}, {512, 448}, {512, 478}};
        EXPECT_EQ(be32(png, 16), sizes[format][0]) << "format " << format;
        EXPECT_EQ(be32(png, 20), sizes[format][1]) << "format " << format;
    }
    EXPECT_EQ(fs::file_size(dir + "/vram.bin"), 65536u);
    EXPECT_EQ(fs::file_size(dir + "/cgram.bin"), 512u);
    EXPECT_EQ(fs::file_size(dir + "/oam.bin"), 544u);
}

TEST(CliVideo, BadPngFormatIsUsageError) {
    std::string dir = make_temp_folder("cli_png_bad");
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    EXPECT_EQ(run_cli({"smoke.sfc", "-n", "1", "--png", "x.png", "--png-format", "4"}, dir).status, 1);
    EXPECT_EQ(run_cli({"smoke.sfc", "-n", "1", "--png", "no/such/dir/x.png"}, dir).status, 1);
}

}  // namespace
}  // namespace vt::test
