// Pictures of the regression checks: 256 x 224 RGB, as the 256 x 224
// capture format holds them (every second pixel and row of the output
// picture), read from and written to PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {
struct Machine;
}

namespace vt::test {

inline constexpr int kCheckWidth = 256;
inline constexpr int kCheckHeight = 224;

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width x height x 3, red-green-blue
};

// The machine's output picture as the 256 x 224 capture takes it.
RgbPicture capture_picture(const Machine& m);

// Reads an 8-bit RGB, non-interlaced PNG (any row filters). False with a
// reason when the file is missing or not of that kind.
bool read_png(const std::string& path, RgbPicture& picture, std::string& error);
// Writes a picture of 256 x 224 through the program's PNG writer.
bool write_png(const std::string& path, const RgbPicture& picture);

// A picture showing where two pictures of the same size differ: matching
// pixels as a dimmed grey of the expected one, differing pixels in
// magenta. `differing` receives their count.
RgbPicture difference_picture(const RgbPicture& expected, const RgbPicture& actual, int& differing);

}  // namespace vt::test
