#include "state/state_chunks.h"

#include "core/byte_stream.h"

namespace vt {

std::string tag_text(const ChunkTag& tag) {
    std::string text;
    for (char c : tag) text += (c >= 0x20 && c < 0x7F) ? c : '?';
    return text;
}

uint8_t* append_chunk(std::vector<uint8_t>& file, const ChunkTag& tag, uint32_t length) {
    const size_t at = file.size();
    file.resize(at + kChunkHeaderSize + length, 0);
    for (int i = 0; i < 4; i++) file[at + size_t(i)] = uint8_t(tag[size_t(i)]);
    put_le32(&file[at + 4], length);
    return file.data() + at + kChunkHeaderSize;
}

namespace {

// Reads the chunk header at `pos` and checks that its data lies inside the
// file; false with a reason when it does not.
bool read_chunk(const uint8_t* data, size_t size, size_t pos, Chunk& chunk, std::string& problem) {
    if (size - pos < kChunkHeaderSize) {
        problem = "the file ends before its end marker \"SRST\"";
        return false;
    }
    chunk.tag = tag_at(data + pos);
    chunk.length = get_le32(data + pos + 4);
    const size_t remaining = size - pos - kChunkHeaderSize;
    if (chunk.length > remaining) {
        problem = "the chunk \"" + tag_text(chunk.tag) + "\" declares " + std::to_string(chunk.length) +
                  " bytes but only " + std::to_string(remaining) + " follow";
        return false;
    }
    chunk.data = data + pos + kChunkHeaderSize;
    return true;
}

}  // namespace

ChunkScan scan_chunks(const uint8_t* data, size_t size) {
    ChunkScan scan;
    if (size < kChunkHeaderSize || tag_at(data) != kTagMetadata) {
        scan.result = ChunkScanResult::NotStateFile;
        return scan;
    }
    scan.result = ChunkScanResult::Damaged;
    if (!read_chunk(data, size, 0, scan.metadata, scan.problem)) return scan;
    size_t pos = kChunkHeaderSize + scan.metadata.length;
    for (;;) {
        Chunk chunk;
        if (!read_chunk(data, size, pos, chunk, scan.problem)) {
            scan.chunks.clear();
            return scan;
        }
        if (chunk.tag == kTagEnd) break;
        if (scan.chunks.size() == kMaxChunks) {
            scan.problem = "the file holds more than " + std::to_string(kMaxChunks) + " chunks";
            scan.chunks.clear();
            return scan;
        }
        scan.chunks.push_back(chunk);
        pos += kChunkHeaderSize + chunk.length;
    }
    scan.result = ChunkScanResult::Complete;
    return scan;
}

}  // namespace vt
