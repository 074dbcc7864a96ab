#include "cart/game_database.h"

#include <algorithm>
#include <string>

namespace vt {

// The title record holds at most 127 characters.
constexpr uint64_t kMaxTitleLength = 127;

static uint32_t le32(const std::vector<uint8_t>& d, uint64_t at) {
    return uint32_t(d[at]) | (uint32_t(d[at + 1]) << 8) | (uint32_t(d[at + 2]) << 16) | (uint32_t(d[at + 3]) << 24);
}

bool database_find(const std::vector<uint8_t>& db, uint32_t size, uint32_t crc32, DatabaseEntry& out) {
    if (db.size() < 4) return false;
    const uint64_t count = le32(db, 0);
    const uint64_t titles = 4 + 16 * count;
    for (uint64_t i = 0; i < count; i++) {
        uint64_t at = 4 + 16 * i;
        if (at + 16 > db.size()) return false;
        if (le32(db, at) != size || le32(db, at + 4) != crc32) continue;

        out.size = size;
        out.crc32 = crc32;
        out.info = le32(db, at + 12);
        out.title.clear();
        uint64_t title_at = titles + le32(db, at + 8);
        if (title_at < db.size()) {
            uint64_t length = std::min<uint64_t>(db[title_at], kMaxTitleLength);
            if (length > db.size() - title_at - 1) length = db.size() - title_at - 1;
            out.title.assign(reinterpret_cast<const char*>(db.data() + title_at + 1), size_t(length));
        }
        return true;
    }
    return false;
}

std::string database_damage(const std::vector<uint8_t>& db) {
    if (db.empty()) return "the file is empty";
    if (db.size() < 4) return "too short to hold its number of entries";
    const uint64_t count = le32(db, 0);
    const uint64_t entries_fit = (db.size() - 4) / 16;
    if (count > entries_fit) {
        return "it claims " + std::to_string(count) + " entries but holds only " + std::to_string(entries_fit);
    }
    const uint64_t titles = 4 + 16 * count;
    for (uint64_t i = 0; i < count; i++) {
        uint64_t title_at = titles + le32(db, 4 + 16 * i + 8);
        if (title_at >= db.size() || std::min<uint64_t>(db[title_at], kMaxTitleLength) > db.size() - title_at - 1) {
            return "the title of entry " + std::to_string(i + 1) + " lies past the end of the file";
        }
    }
    return "";
}

}  // namespace vt
