#include "frontend/png_writer.h"

#include <zlib.h>

#include <vector>

#include "core/crc32.h"
#include "core/machine.h"
#include "state/atomic_file.h"

namespace vt {

namespace {

constexpr int kSourceWidth = 512;
constexpr int kSourceStride = kSourceWidth * 3;

void put_be32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

// Length, type, data and the CRC of type and data, all big-endian.
void put_chunk(std::vector<uint8_t>& out, const char type[4], const uint8_t* data, size_t size) {
    put_be32(out, uint32_t(size));
    const size_t type_at = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    put_be32(out, crc32(out.data() + type_at, 4 + size));
}

// Unfiltered rows (filter byte 0), red-green-blue.
std::vector<uint8_t> raw_rows(const uint8_t* image, int width, int height, bool half_size) {
    const int step = half_size ? 2 : 1;
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height) * (1 + 3 * size_t(width)));
    for (int y = 0; y < height; y++) {
        const uint8_t* row = image + size_t(y * step) * kSourceStride;
        raw.push_back(0);
        for (int x = 0; x < width; x++) {
            const uint8_t* px = row + size_t(x * step) * 3;
            raw.push_back(px[2]);
            raw.push_back(px[1]);
            raw.push_back(px[0]);
        }
    }
    return raw;
}

}  // namespace

CaptureSize capture_format_size(int format) {
    switch (format) {
        case 0: return {448, true};
        case 1: return {478, true};
        case 2: return {448, false};
        default: return {478, false};
    }
}

bool SavePng(const uint8_t* image, const std::string& file_name, int full_height, bool half_size, std::string* error) {
    if (full_height <= 0 || full_height > kPictureHeight) {
        if (error) *error = "unknown picture height";
        return false;
    }
    const int width = half_size ? kSourceWidth / 2 : kSourceWidth;
    const int height = half_size ? full_height / 2 : full_height;

    const std::vector<uint8_t> raw = raw_rows(image, width, height, half_size);
    uLongf packed_size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), uLong(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
        if (error) *error = "the picture could not be compressed";
        return false;
    }

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    put_be32(header, uint32_t(width));
    put_be32(header, uint32_t(height));
    header.push_back(8);  // bits per sample
    header.push_back(2);  // truecolour
    header.push_back(0);  // deflate
    header.push_back(0);  // no filtering beyond the per-row byte
    header.push_back(0);  // not interlaced
    put_chunk(file, "IHDR", header.data(), header.size());
    put_chunk(file, "IDAT", packed.data(), packed_size);
    put_chunk(file, "IEND", nullptr, 0);

    return write_file_atomically(file_name, file, error);
}

bool save_png_capture(const Machine& m, const std::string& file_name, int format, std::string* error) {
    if (format < 0 || format >= kCaptureFormats) {
        if (error) *error = "unknown capture format";
        return false;
    }
    const CaptureSize size = capture_format_size(format);
    return SavePng(video_picture(m), file_name, size.full_height, size.half_size, error);
}

}  // namespace vt
