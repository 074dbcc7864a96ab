#include "frontend/gamepak_properties.h"

#include <cstdio>

namespace vt {

std::string header_tab_caption(CopierHeader header) {
    switch (header) {
        case CopierHeader::Ffe: return " FFE Header ";
        case CopierHeader::GameDoctor: return " GD3 Header ";
        case CopierHeader::Plain: return " Header ";
        case CopierHeader::None: break;
    }
    return "";
}

bool checksum_status_good(const std::string& status) { return status != "BAD"; }

bool crc_in_database(const Cartridge& c) { return c.database_info != kNotInDatabase; }

std::string header_cell_text(uint8_t byte, bool as_characters) {
    if (as_characters) return std::string(1, byte >= 0x20 && byte < 0x7F ? char(byte) : '.');
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    return hex;
}

}  // namespace vt
