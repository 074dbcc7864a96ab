#include "state/state_metadata.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/byte_stream.h"
#include "state/state_chunks.h"
#include "video/ppu.h"

namespace vt {

namespace {

void put_text(uint8_t* field, int size, const std::string& text, bool terminated) {
    const size_t room = size_t(terminated ? size - 1 : size);
    const size_t n = std::min(text.size(), room);
    std::copy(text.begin(), text.begin() + long(n), field);
}

// A text field ends at its first zero byte or at the field's end.
std::string get_text(const uint8_t* field, int size) {
    const uint8_t* end = std::find(field, field + size, 0);
    return std::string(field, end);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool read_exactly(std::FILE* f, uint8_t* out, size_t n) { return std::fread(out, 1, n, f) == n; }

// Only regular files are opened: a pipe or a device in the state folder
// would block the listing or never end.
File open_regular_file(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
    return File(std::fopen(path.c_str(), "rb"));
}

}  // namespace

void encode_metadata(const StateMetadata& meta, uint8_t out[kMetadataSize]) {
    std::fill(out, out + kMetadataSize, 0);
    out[0] = meta.minor_version;
    out[1] = meta.major_version;
    put_text(out + kMetaProduct, kMetaProductSize, meta.product, false);
    put_text(out + kMetaDescription, kMetaDescriptionSize, meta.description, true);
    put_text(out + kMetaAuthor, kMetaAuthorSize, meta.author, true);
    put_le32(out + kMetaDateTime, meta.dos_date_time);
}

StateMetadata decode_metadata(const uint8_t* data, uint32_t length) {
    uint8_t full[kMetadataSize] = {};
    std::copy(data, data + std::min(length, kMetadataSize), full);
    StateMetadata meta;
    meta.minor_version = full[0];
    meta.major_version = full[1];
    meta.product = get_text(full + kMetaProduct, kMetaProductSize);
    meta.description = get_text(full + kMetaDescription, kMetaDescriptionSize);
    meta.author = get_text(full + kMetaAuthor, kMetaAuthorSize);
    meta.dos_date_time = get_le32(full + kMetaDateTime);
    return meta;
}

uint32_t dos_date_time(const std::tm& t) {
    const int year = std::clamp(t.tm_year + 1900, 1980, 2107);
    const uint32_t date = uint32_t((year - 1980) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
    const uint32_t time = uint32_t(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
    return date << 16 | time;
}

uint32_t dos_date_time_now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dos_date_time(local);
}

std::tm dos_date_time_fields(uint32_t stamp) {
    const uint32_t date = stamp >> 16;
    const uint32_t time = stamp & 0xFFFF;
    std::tm t{};
    t.tm_year = int(date >> 9) + 80;
    t.tm_mon = int((date >> 5) & 15) - 1;
    t.tm_mday = int(date & 31);
    t.tm_hour = int(time >> 11);
    t.tm_min = int((time >> 5) & 63);
    t.tm_sec = int(time & 31) * 2;
    return t;
}

void make_thumbnail(const uint8_t* picture, uint8_t out[kThumbnailChunkSize]) {
    put_le32(out, uint32_t(kThumbnailWidth));
    put_le32(out + 4, uint32_t(kThumbnailHeight));
    uint8_t* pixel = out + 8;
    for (int y = 0; y < kThumbnailHeight; y++) {
        const uint8_t* rows[4];
        for (int dy = 0; dy < 4; dy++) {
            rows[dy] = picture + size_t(std::min(y * 4 + dy, kPictureHeight - 1)) * kPictureStride;
        }
        for (int x = 0; x < kThumbnailWidth; x++) {
            for (int byte = 0; byte < 3; byte++) {
                unsigned sum = 0;
                for (int dy = 0; dy < 4; dy++) {
                    for (int dx = 0; dx < 4; dx++) sum += rows[dy][(x * 4 + dx) * 3 + byte];
                }
                *pixel++ = uint8_t(sum / 16);
            }
        }
    }
}

std::string state_version_text(const StateMetadata& meta) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%02u", unsigned(meta.major_version), unsigned(meta.minor_version));
    return text;
}

bool read_state_metadata(const std::string& path, StateMetadata& out) {
    File f = open_regular_file(path);
    if (!f) return false;
    uint8_t header[kChunkHeaderSize];
    if (!read_exactly(f.get(), header, sizeof header)) return false;
    if (tag_at(header) != kTagMetadata) return false;
    uint8_t data[kMetadataSize] = {};
    const uint32_t wanted = std::min(get_le32(header + 4), kMetadataSize);
    const size_t got = std::fread(data, 1, wanted, f.get());
    out = decode_metadata(data, uint32_t(got));
    return true;
}

// Walks the chunk headers with seeks, so the listing never reads a whole
// state file.
bool read_state_thumbnail(const std::string& path, std::vector<uint8_t>& pixels) {
    File f = open_regular_file(path);
    if (!f) return false;
    uint8_t header[kChunkHeaderSize];
    bool first = true;
    while (read_exactly(f.get(), header, sizeof header)) {
        const ChunkTag tag = tag_at(header);
        const uint32_t length = get_le32(header + 4);
        if (first && tag != kTagMetadata) return false;
        first = false;
        if (tag == kTagEnd) return false;
        if (tag == kTagThumbnail) {
            uint8_t size[8];
            if (length < kThumbnailChunkSize || !read_exactly(f.get(), size, sizeof size)) return false;
            if (get_le32(size) != uint32_t(kThumbnailWidth) || get_le32(size + 4) != uint32_t(kThumbnailHeight)) {
                return false;
            }
            std::vector<uint8_t> rows(kThumbnailBytes);
            if (!read_exactly(f.get(), rows.data(), rows.size())) return false;
            pixels = std::move(rows);
            return true;
        }
        if (std::fseek(f.get(), long(length), SEEK_CUR) != 0) return false;
    }
    return false;
}

}  // namespace vt
