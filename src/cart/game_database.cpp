#include "cart/game_database.h"

namespace vt {

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
            // The title record holds at most 127 characters.
            uint64_t length = db[title_at];
            if (length > 127) length = 127;
            if (length > db.size() - title_at - 1) length = db.size() - title_at - 1;
            out.title.assign(reinterpret_cast<const char*>(db.data() + title_at + 1), size_t(length));
        }
        return true;
    }
    return false;
}

}  // namespace vt
