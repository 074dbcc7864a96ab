// Save states: the chunked state file of the State Manager's slots and the
// copier-style real-time save (".rts").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

struct Machine;

// The "BPS2" metadata at the start of every chunked state file.
struct StateMetadata {
    uint8_t minor_version = 2;
    uint8_t major_version = 1;
    std::string product;
    std::string description;
    std::string author;
    uint32_t dos_date_time = 0;  // low word time, high word date
};

struct StateOptions {
    bool sram_transfer = false;    // "Enable SRAM Transfer"
    bool bitmap_transfer = true;   // "Enable Screen Capture Transfer": write the thumbnail
};

inline constexpr int kStateSlots = 100;
inline constexpr int kThumbnailWidth = 128;
inline constexpr int kThumbnailHeight = 120;

// Writes the machine's state to `path` (temporary file, then renamed).
// Requires a loaded Gamepak. On failure returns false with a reason.
bool save_state(Machine& m, const std::string& path, const std::string& description, const std::string& author,
                const StateOptions& options, std::string* error = nullptr);
// Restores a state. A file not starting with "BPS2" is refused and nothing
// changes.
bool load_state(Machine& m, const std::string& path, const StateOptions& options, std::string* error = nullptr);

// For the State Manager's listing: the metadata of a slot file (false when
// it is missing or not a state file), and its 128 x 120 thumbnail (3 bytes
// per pixel, the picture's byte order) when it has one.
bool read_state_metadata(const std::string& path, StateMetadata& out);
bool read_state_thumbnail(const std::string& path, std::vector<uint8_t>& pixels);

// The file of slot 0-99 for an image: its name with the extension replaced
// by "S" and two digits, in `state_folder` (next to the image when empty).
std::string state_slot_path(const std::string& image_path, const std::string& state_folder, int slot);

// Real-time saves.
bool save_rts(Machine& m, const std::string& path, std::string* error = nullptr);
bool load_rts(Machine& m, const std::string& path, std::string* error = nullptr);

}  // namespace vt
