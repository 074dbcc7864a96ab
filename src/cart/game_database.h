// The game database "Veltrane.db": known images by size and CRC32, with
// their proper title, country, version, dump status and board.
//
// Layout (integers 32-bit little-endian): N, then N entries of 16 bytes
// (image size, CRC32, title offset counted from the end of the entries,
// info word), then the titles: a length byte and the characters, read as a
// 256-byte block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

inline constexpr const char* kDatabaseFileName = "Veltrane.db";

struct DatabaseEntry {
    uint32_t size = 0;
    uint32_t crc32 = 0;
    uint32_t info = 0;
    std::string title;
};

// Info word fields.
inline uint8_t database_country(uint32_t info) { return uint8_t(info & 0x1F); }
inline uint8_t database_version(uint32_t info) { return uint8_t((info >> 5) & 0x07); }
inline uint8_t database_dump_status(uint32_t info) { return uint8_t((info >> 16) & 0x0F); }
inline uint8_t database_pcb_id(uint32_t info) { return uint8_t(info >> 24); }
inline constexpr uint8_t kDumpVerifiedGood = 1;

// Finds the entry for an image in the bytes of a database file. A file that
// is shorter than it claims is searched as far as it goes.
bool database_find(const std::vector<uint8_t>& db, uint32_t size, uint32_t crc32, DatabaseEntry& out);

// What is wrong with the bytes of a database file, in words for the user
// ("it claims 300 entries but holds only 12"); empty when every entry and
// every title lies within the file.
std::string database_damage(const std::vector<uint8_t>& db);

}  // namespace vt
