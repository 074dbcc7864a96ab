// WAV writer: the header fields of 44,100 Hz 16-bit stereo PCM, the sample
// data, and that a write that does not finish leaves an existing file alone.
#include "frontend/wav_writer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vt::test {
namespace {

namespace fs = std::filesystem;

class WavWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "veltrane-wav-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }

    static std::vector<uint8_t> read_all(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void write_text(const std::string& p, const std::string& text) { std::ofstream(p) << text; }

    fs::path dir_;
};

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
std::string tag(const std::vector<uint8_t>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

TEST_F(WavWriterTest, HeaderAndSamples) {
    const int16_t samples[] = {0, 0, 1000, -1000, 32767, -32768, 0x1234, -2};
    ASSERT_TRUE(write_wav_file(path("out.wav"), samples, 4));
    std::vector<uint8_t> b = read_all(path("out.wav"));
    ASSERT_EQ(b.size(), 44u + 16u);
    EXPECT_EQ(tag(b, 0), "RIFF");
    EXPECT_EQ(le32(b, 4), 36u + 16u);
    EXPECT_EQ(tag(b, 8), "WAVE");
    EXPECT_EQ(tag(b, 12), "fmt ");
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le16(b, 20), 1);       // PCM
    EXPECT_EQ(le16(b, 22), 2);       // stereo
    EXPECT_EQ(le32(b, 24), 44100u);  // sample rate
    EXPECT_EQ(le32(b, 28), 176400u); // bytes per second
    EXPECT_EQ(le16(b, 32), 4);       // block align
    EXPECT_EQ(le16(b, 34), 16);      // bits per sample
    EXPECT_EQ(tag(b, 36), "data");
    EXPECT_EQ(le32(b, 40), 16u);
    for (int i = 0; i < 8; i++) EXPECT_EQ(int16_t(le16(b, 44 + 2 * i)), samples[i]) << i;
    EXPECT_FALSE(fs::exists(path("out.wav.part")));
}

TEST_F(WavWriterTest, StreamsSeveralBlocksAndReplacesAnOldFile) {
    write_text(path("run.wav"), "old contents");
    WavWriter w;
    ASSERT_TRUE(w.open(path("run.wav")));
    std::vector<int16_t> block(2 * 3000);
    for (int round = 0; round < 3; round++) {
        for (size_t i = 0; i < block.size(); i++) block[i] = int16_t(round * 1000 + int(i % 7));
        ASSERT_TRUE(w.append(block.data(), 3000));
    }
    EXPECT_EQ(w.frames_written(), 9000u);
    // Until finished, the old file is still there.
    EXPECT_EQ(read_all(path("run.wav")).size(), std::string("old contents").size());
    ASSERT_TRUE(w.finish());
    std::vector<uint8_t> b = read_all(path("run.wav"));
    ASSERT_EQ(b.size(), 44u + 9000u * 4);
    EXPECT_EQ(le32(b, 40), 9000u * 4);
    EXPECT_EQ(int16_t(le16(b, 44 + 4 * 6000)), 2000);  // first value of the third block
}

TEST_F(WavWriterTest, UnfinishedWriteLeavesExistingFileAlone) {
    write_text(path("keep.wav"), "precious");
    {
        WavWriter w;
        ASSERT_TRUE(w.open(path("keep.wav")));
        const int16_t s[] = {1, 2};
        ASSERT_TRUE(w.append(s, 1));
    }  // destroyed without finish()
    std::vector<uint8_t> b = read_all(path("keep.wav"));
    EXPECT_EQ(std::string(b.begin(), b.end()), "precious");
    EXPECT_FALSE(fs::exists(path("keep.wav.part")));
}

TEST_F(WavWriterTest, FailuresAreReportedAndLoseNothing) {
    std::string error;
    const int16_t s[] = {1, 2};
    EXPECT_FALSE(write_wav_file(path("missing-folder/out.wav"), s, 1, &error));
    EXPECT_FALSE(error.empty());

    // A target that cannot be replaced (a folder) stays as it is.
    fs::create_directory(path("taken.wav"));
    write_text(path("taken.wav/inside"), "x");
    error.clear();
    EXPECT_FALSE(write_wav_file(path("taken.wav"), s, 1, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::exists(path("taken.wav/inside")));
    EXPECT_FALSE(fs::exists(path("taken.wav.part")));
}

}  // namespace
}  // namespace vt::test
