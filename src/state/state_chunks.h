// The container of a chunked state file: a sequence of chunks, each a
// 4-character tag, a 32-bit little-endian length and that many bytes of
// data. The first chunk is the metadata "BPS2", the last the end marker
// "SRST"; readers skip chunks whose tag they do not know.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vt {

using ChunkTag = std::array<char, 4>;

constexpr ChunkTag make_tag(const char (&text)[5]) { return {text[0], text[1], text[2], text[3]}; }

inline constexpr ChunkTag kTagMetadata = make_tag("BPS2");
inline constexpr ChunkTag kTagThumbnail = make_tag("SBMP");
inline constexpr ChunkTag kTagCpu = make_tag("SCPU");
inline constexpr ChunkTag kTagDma = make_tag("SDMA");
inline constexpr ChunkTag kTagWram = make_tag("WRAM");
inline constexpr ChunkTag kTagPpu = make_tag("SPPU");
inline constexpr ChunkTag kTagVram = make_tag("VRAM");
inline constexpr ChunkTag kTagApu = make_tag("SAPU");
inline constexpr ChunkTag kTagDsp = make_tag("SDSP");
inline constexpr ChunkTag kTagSram = make_tag("SRAM");
inline constexpr ChunkTag kTagEnd = make_tag("SRST");
// Chunks of this program beyond the shared set, written just before the
// end marker: the main CPU's run state with the line clock, the bus and the
// serial joypad ports; the audio clock and timer phases; the sound
// generator's voices and echo; the cartridge the state was made with.
inline constexpr ChunkTag kTagCpuExtra = make_tag("XCPU");
inline constexpr ChunkTag kTagApuExtra = make_tag("XAPU");
inline constexpr ChunkTag kTagDspExtra = make_tag("XDSP");
inline constexpr ChunkTag kTagCartridge = make_tag("XCRT");

inline constexpr uint32_t kChunkHeaderSize = 8;

std::string tag_text(const ChunkTag& tag);
// The tag whose four bytes start at `p`.
inline ChunkTag tag_at(const uint8_t* p) { return {char(p[0]), char(p[1]), char(p[2]), char(p[3])}; }

// Appends a chunk header and `length` bytes of zero; returns where the data
// starts (valid until the vector grows again).
uint8_t* append_chunk(std::vector<uint8_t>& file, const ChunkTag& tag, uint32_t length);

struct Chunk {
    ChunkTag tag{};
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

enum class ChunkScanResult {
    Complete,      // every chunk lies inside the file, and the end marker was found
    NotStateFile,  // the file does not start with "BPS2"
    Damaged,       // a chunk runs past the end of the file, or the end marker is missing
};

struct ChunkScan {
    ChunkScanResult result = ChunkScanResult::NotStateFile;
    Chunk metadata;
    std::vector<Chunk> chunks;  // between the metadata and the end marker, in file order
    std::string problem;        // what is wrong with a damaged file
};

// More chunks than any state holds: such a file is damaged.
inline constexpr size_t kMaxChunks = 4096;

// Walks the chunks of a whole file held in memory. Nothing past the end
// marker is looked at. The chunks point into `data`.
ChunkScan scan_chunks(const uint8_t* data, size_t size);

}  // namespace vt
