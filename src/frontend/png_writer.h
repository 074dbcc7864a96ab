// PNG capture of the output picture: a small self-contained encoder that
// writes the signature, one IHDR, one IDAT (the rows deflated by zlib) and
// IEND, with the chunk CRCs computed by the program's own CRC-32.
#pragma once

#include <cstdint>
#include <string>

namespace vt {

struct Machine;

// The four capture formats ("CaptureFormat"):
//   0: 256 x 224, 1: 256 x 239 (every second row and pixel),
//   2: 512 x 448, 3: 512 x 478 (all of them).
struct CaptureSize {
    int full_height;  // rows of the 512-wide picture taken: 448 or 478
    bool half_size;   // the 256-wide form
};
inline constexpr int kCaptureFormats = 4;
CaptureSize capture_format_size(int format);

// Writes `image` (rows of 512 pixels, 3 bytes each in blue, green, red
// order, at least full_height rows) as a PNG file, replacing any file of
// that name once the new one is complete. Returns false, with the reason in
// `error` when given, when the file cannot be created or written.
bool SavePng(const uint8_t* image, const std::string& file_name, int full_height, bool half_size,
             std::string* error = nullptr);

// Writes the machine's current output picture in capture format 0-3.
// Returns false for an unknown format or when the file cannot be written.
bool save_png_capture(const Machine& m, const std::string& file_name, int format, std::string* error = nullptr);

}  // namespace vt
