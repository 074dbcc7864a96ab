// veltrane-cli's audio outputs: the WAV of a whole run and the audio RAM dump.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(CliAudio, WavHoldsEverySampleFrameOfTheRun) {
    std::string dir = make_temp_folder("cli_wav");
    fs::copy_file(test_rom_path("audio_upload"), dir + "/audio.sfc");
    CliRun run = run_cli({"audio.sfc", "-n", "60", "--wav", "out.wav", "--dump-aram", "aram.bin"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;

    std::vector<uint8_t> wav = read_file(dir + "/out.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 12), "WAVE");
    EXPECT_EQ(le32(wav, 24), 44100u);
    const uint32_t data_bytes = le32(wav, 40);
    EXPECT_EQ(data_bytes, 60u * 732u * 4u);  // 732 stereo 16-bit frames per NTSC frame
    ASSERT_EQ(wav.size(), 44u + data_bytes);

    // The cartridge starts a tone within the first second: not silence.
    int peak = 0;
    for (size_t i = 44; i + 1 < wav.size(); i += 2) {
        int s = int16_t(wav[i] | (wav[i + 1] << 8));
        peak = std::max(peak, std::abs(s));
    }
    EXPECT_GT(peak, 1000);

    EXPECT_EQ(fs::file_size(dir + "/aram.bin"), 65536u);
}

TEST(CliAudio, UnwritableWavIsAUsageFailure) {
    std::string dir = make_temp_folder("cli_wav_bad");
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    CliRun run = run_cli({"smoke.sfc", "-n", "1", "--wav", "no/such/folder/a.wav"}, dir);
    EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace vt::test
