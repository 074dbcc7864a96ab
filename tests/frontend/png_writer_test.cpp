// The PNG writer, checked with an independent decoder: Python's zlib
// inflates the data and checks every chunk CRC.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>
#include <vector>

#include "core/crc32.h"
#include "frontend/png_writer.h"
#include "support/test_rom.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

// Reads a PNG, checks its structure (signature, IHDR first, exactly one
// IDAT, IEND last, every CRC) and writes "width height" and then the
// unfiltered RGB rows to the output file.
constexpr const char* kDecoder = R"(
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'signature'
pos, chunks = 8, []
while pos < len(data):
    length, = struct.unpack('>I', data[pos:pos + 4])
    kind = data[pos + 4:pos + 8]
    body = data[pos + 8:pos + 8 + length]
    crc, = struct.unpack('>I', data[pos + 8 + length:pos + 12 + length])
    assert crc == zlib.crc32(kind + body) & 0xffffffff, 'crc of ' + kind.decode()
    chunks.append((kind, body))
    pos += 12 + length
assert [k for k, _ in chunks] == [b'IHDR', b'IDAT', b'IEND'], 'chunk order'
width, height, depth, colour, compression, filtering, interlace = struct.unpack('>IIBBBBB', chunks[0][1])
assert (depth, colour, compression, filtering, interlace) == (8, 2, 0, 0, 0), 'header'
raw = zlib.decompress(chunks[1][1])
assert len(raw) == height * (1 + 3 * width), 'size'
out = open(sys.argv[2], 'wb')
out.write(('%d %d\n' % (width, height)).encode())
for y in range(height):
    row = raw[y * (1 + 3 * width):(y + 1) * (1 + 3 * width)]
    assert row[0] == 0, 'filter byte'
    out.write(row[1:])
)";

class PngWriter : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("veltrane_png_test_" + std::to_string(::getpid()));
    std::vector<uint8_t> image = std::vector<uint8_t>(size_t(kPictureStride) * kPictureHeight);

    void SetUp() override {
        fs::create_directories(dir);
        std::ofstream(dir / "decode.py") << kDecoder;
        // Every byte distinct enough that a wrong row, column or channel shows.
        for (int y = 0; y < kPictureHeight; y++) {
            for (int x = 0; x < kPictureWidth; x++) {
                uint8_t* px = &image[size_t(y) * kPictureStride + size_t(x) * 3];
                px[0] = uint8_t(x);            // blue
                px[1] = uint8_t(y);            // green
                px[2] = uint8_t(x * 7 + y * 3);  // red
            }
        }
    }
    void TearDown() override { fs::remove_all(dir); }

    // Decodes with Python; returns false when the decoder rejects the file.
    bool decode(const fs::path& png, int& width, int& height, std::vector<uint8_t>& rgb) {
        const fs::path out = dir / "decoded.bin";
        const std::string command = "python3 '" + (dir / "decode.py").string() + "' '" + png.string() + "' '" +
                                    out.string() + "'";
        if (std::system(command.c_str()) != 0) return false;
        std::ifstream in(out, std::ios::binary);
        in >> width >> height;
        in.get();
        rgb.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }
};

TEST_F(PngWriter, EveryFormatDecodesToTheSourcePixels) {
    for (int format = 0; format < kCaptureFormats; format++) {
        const CaptureSize size = capture_format_size(format);
        const fs::path file = dir / ("capture" + std::to_string(format) + ".png");
        ASSERT_TRUE(SavePng(image.data(), file.string(), size.full_height, size.half_size));
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(decode(file, width, height, rgb)) << "format " << format;
        const int step = size.half_size ? 2 : 1;
        ASSERT_EQ(width, 512 / step);
        ASSERT_EQ(height, size.full_height / step);
        ASSERT_EQ(rgb.size(), size_t(width) * height * 3);
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                const uint8_t* src = &image[size_t(y * step) * kPictureStride + size_t(x * step) * 3];
                const uint8_t* got = &rgb[(size_t(y) * width + x) * 3];
                ASSERT_EQ(got[0], src[2]) << "format " << format << " at " << x << "," << y;
                ASSERT_EQ(got[1], src[1]);
                ASSERT_EQ(got[2], src[0]);
            }
        }
    }
}

TEST_F(PngWriter, FormatTable) {
    EXPECT_EQ(capture_format_size(0).full_height, 448);
    EXPECT_TRUE(capture_format_size(0).half_size);
    EXPECT_EQ(capture_format_size(1).full_height, 478);
    EXPECT_TRUE(capture_format_size(1).half_size);
    EXPECT_EQ(capture_format_size(2).full_height, 448);
    EXPECT_FALSE(capture_format_size(2).half_size);
    EXPECT_EQ(capture_format_size(3).full_height, 478);
    EXPECT_FALSE(capture_format_size(3).half_size);
}

TEST_F(PngWriter, ReplacesAnExistingFileAndReportsUnwritablePaths) {
    const fs::path file = dir / "game.png";
    std::ofstream(file) << "old contents that are longer than nothing at all";
    ASSERT_TRUE(SavePng(image.data(), file.string(), 448, true));
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(decode(file, width, height, rgb));
    EXPECT_FALSE(SavePng(image.data(), (dir / "no such folder" / "x.png").string(), 448, false));
    EXPECT_FALSE(SavePng(image.data(), dir.string(), 448, false));  // a folder, not a file
}

TEST_F(PngWriter, WritesTheMachinesPicture) {
    auto m = test::machine_with_rom("smoke");
    std::copy(image.begin(), image.end(), m->ppu.picture.begin());
    const fs::path file = dir / "machine.png";
    ASSERT_TRUE(save_png_capture(*m, file.string(), 1));
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(decode(file, width, height, rgb));
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 239);
    // Last row: source row 476, pixel 255: source pixel 510.
    const uint8_t* last = &rgb[(size_t(238) * 256 + 255) * 3];
    EXPECT_EQ(last[2], uint8_t(510));
    EXPECT_EQ(last[1], uint8_t(476));
    EXPECT_FALSE(save_png_capture(*m, file.string(), 4));
}

}  // namespace
}  // namespace vt
