// What the program does with an over-dumped image beyond detecting it: the
// corrected image is offered under a new name beside the original (never
// over it), and an image whose correction the user declined is not asked
// about again. Declined images are remembered by their CRC-32.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

// At most this many declined images are remembered; the oldest goes first.
inline constexpr size_t kMaxDeclinedOverdumps = 64;

// "<folder>/<name> (trimmed).<ext>" for "<folder>/<name>.<ext>".
std::string trimmed_image_path(const std::string& image_path);

bool overdump_declined(const std::vector<uint32_t>& declined, uint32_t crc);
// Adds `crc` (once) as the newest entry.
void remember_declined_overdump(std::vector<uint32_t>& declined, uint32_t crc);

// The settings text: eight hexadecimal digits per CRC, separated by spaces.
// Words that are not CRCs are skipped.
std::string format_crc_list(const std::vector<uint32_t>& crcs);
std::vector<uint32_t> parse_crc_list(const std::string& text);

}  // namespace vt
