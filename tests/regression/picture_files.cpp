#include "regression/picture_files.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "frontend/png_writer.h"
#include "video/ppu.h"

namespace vt::test {

namespace {

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// PNG's Paeth predictor.
uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return uint8_t(a);
    return uint8_t(pb <= pc ? b : c);
}

// Undoes the per-row filters of 3-byte pixels.
bool unfilter(const std::vector<uint8_t>& raw, int width, int height, std::vector<uint8_t>& out) {
    const size_t stride = size_t(width) * 3;
    out.assign(stride * size_t(height), 0);
    for (int y = 0; y < height; y++) {
        const uint8_t filter = raw[size_t(y) * (stride + 1)];
        const uint8_t* in = &raw[size_t(y) * (stride + 1) + 1];
        uint8_t* row = &out[size_t(y) * stride];
        const uint8_t* up = y ? row - stride : nullptr;
        for (size_t i = 0; i < stride; i++) {
            const int a = i >= 3 ? row[i - 3] : 0;
            const int b = up ? up[i] : 0;
            const int c = (up && i >= 3) ? up[i - 3] : 0;
            int predicted;
            switch (filter) {
                case 0: predicted = 0; break;
                case 1: predicted = a; break;
                case 2: predicted = b; break;
                case 3: predicted = (a + b) / 2; break;
                case 4: predicted = paeth(a, b, c); break;
                default: return false;
            }
            row[i] = uint8_t(in[i] + predicted);
        }
    }
    return true;
}

}  // namespace

RgbPicture capture_picture(const Machine& m) {
    RgbPicture p;
    p.width = kCheckWidth;
    p.height = kCheckHeight;
    p.rgb.resize(size_t(kCheckWidth) * kCheckHeight * 3);
    const uint8_t* picture = video_picture(m);
    for (int y = 0; y < kCheckHeight; y++) {
        for (int x = 0; x < kCheckWidth; x++) {
            const uint8_t* bgr = picture + size_t(y * 2) * kPictureStride + size_t(x * 2) * 3;
            uint8_t* rgb = &p.rgb[(size_t(y) * kCheckWidth + size_t(x)) * 3];
            rgb[0] = bgr[2];
            rgb[1] = bgr[1];
            rgb[2] = bgr[0];
        }
    }
    return p;
}

bool read_png(const std::string& path, RgbPicture& picture, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin())) {
        error = path + " is not a PNG file";
        return false;
    }
    int width = 0, height = 0;
    std::vector<uint8_t> packed;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = be32(&file[at]);
        if (at + 12 + length > file.size()) break;
        const std::string type(file.begin() + long(at) + 4, file.begin() + long(at) + 8);
        const uint8_t* data = &file[at + 8];
        if (type == "IHDR") {
            width = int(be32(data));
            height = int(be32(data + 4));
            if (data[8] != 8 || data[9] != 2 || data[12] != 0) {
                error = path + " is not an 8-bit RGB PNG without interlacing";
                return false;
            }
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        error = path + " has no usable header";
        return false;
    }
    std::vector<uint8_t> raw(size_t(height) * (size_t(width) * 3 + 1));
    uLongf raw_size = uLongf(raw.size());
    if (uncompress(raw.data(), &raw_size, packed.data(), uLong(packed.size())) != Z_OK || raw_size != raw.size()) {
        error = path + ": the image data does not unpack";
        return false;
    }
    picture.width = width;
    picture.height = height;
    if (!unfilter(raw, width, height, picture.rgb)) {
        error = path + ": unknown row filter";
        return false;
    }
    return true;
}

bool write_png(const std::string& path, const RgbPicture& picture) {
    if (picture.width != kCheckWidth || picture.height != kCheckHeight) return false;
    // The writer takes the output picture's layout (512 pixels a row, blue
    // first) and keeps every second pixel and row of it.
    std::vector<uint8_t> wide(size_t(kPictureStride) * kCheckHeight * 2);
    for (int y = 0; y < kCheckHeight; y++) {
        for (int x = 0; x < kCheckWidth; x++) {
            const uint8_t* rgb = &picture.rgb[(size_t(y) * kCheckWidth + size_t(x)) * 3];
            uint8_t* bgr = &wide[size_t(y * 2) * kPictureStride + size_t(x * 2) * 3];
            bgr[0] = rgb[2];
            bgr[1] = rgb[1];
            bgr[2] = rgb[0];
        }
    }
    return SavePng(wide.data(), path, kCheckHeight * 2, true);
}

RgbPicture difference_picture(const RgbPicture& expected, const RgbPicture& actual, int& differing) {
    RgbPicture d = expected;
    differing = 0;
    for (size_t i = 0; i + 2 < d.rgb.size(); i += 3) {
        const bool same = i + 2 < actual.rgb.size() && expected.rgb[i] == actual.rgb[i] &&
                          expected.rgb[i + 1] == actual.rgb[i + 1] && expected.rgb[i + 2] == actual.rgb[i + 2];
        if (same) {
            const uint8_t grey = uint8_t((expected.rgb[i] + expected.rgb[i + 1] + expected.rgb[i + 2]) / 9);
            d.rgb[i] = d.rgb[i + 1] = d.rgb[i + 2] = grey;
        } else {
            d.rgb[i] = 255;
            d.rgb[i + 1] = 0;
            d.rgb[i + 2] = 255;
            differing++;
        }
    }
    return d;
}

}  // namespace vt::test
