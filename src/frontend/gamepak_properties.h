// The texts and colour rules of the Gamepak Properties window.
#pragma once

#include <cstdint>
#include <string>

#include "cart/cartridge.h"

namespace vt {

// Caption of the copier header tab; empty when the image had no header.
std::string header_tab_caption(CopierHeader header);
// The checksum shows in blue when it is fine ("OK", "N/A", "GOOD!"), red
// when "BAD".
bool checksum_status_good(const std::string& status);
// The CRC32 shows in blue when the image is in the game database.
bool crc_in_database(const Cartridge& c);
// One cell of the header grid: two upper-case hexadecimal digits, or the
// character itself ('.' for bytes that are not printable).
std::string header_cell_text(uint8_t byte, bool as_characters);

// The lists of the " Save Options " tab.
inline constexpr const char* kBackupFormatItems[3] = {"Standard (*.srm)", "Super Wildcard (*.bbd)",
                                                      "Game Doctor (*.b01)"};
inline constexpr const char* kCaptureFormatItems[4] = {"ACM 256 x 224", "ACM 256 x 239", "ACM 512 x 448",
                                                       "ACM 512 x 478"};

}  // namespace vt
