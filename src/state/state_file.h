// Save states: the chunked state file of the State Manager's slots and the
// copier-style real-time save (".rts").
#pragma once

#include <cstddef>
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
    // Load a state that records another cartridge than the loaded one (the
    // user was asked and said yes).
    bool load_other_cartridge = false;
};

// What a load found out beside success or failure.
struct StateLoadInfo {
    // The state records another cartridge than the loaded one: refused
    // unless StateOptions::load_other_cartridge, which the caller may offer.
    bool other_cartridge = false;
    uint32_t state_crc32 = 0;   // the recorded cartridge, when there is a record
    std::string state_title;
    // The state's battery RAM was copied into the cartridge's: the battery
    // RAM file on disk no longer matches what the game saved itself.
    bool battery_ram_replaced = false;
};

inline constexpr int kStateSlots = 100;
inline constexpr const char* kQuickSaveDescription = "Quick Save";  // an empty slot's description
inline constexpr int kThumbnailWidth = 128;
inline constexpr int kThumbnailHeight = 120;

// Texts of the State Manager.
inline constexpr const char* kStateManagerCaption = "State Manager";
inline constexpr const char* kStateLoadFailed =
    "The specified file could not be loaded.\rMake sure the path and filename are correct.  ";
inline constexpr const char* kStateWriteFailed =
    "The specified file could not be written to disk.  \rMake sure the specified path exists.";

// Writes the machine's state to `path` (temporary file, then renamed, so a
// failed write leaves an earlier file in place). Requires a loaded Gamepak.
// States are taken between frames. On failure returns false with a reason.
// The state records the cartridge (CRC32 of the image, header title).
bool save_state(Machine& m, const std::string& path, const std::string& description, const std::string& author,
                const StateOptions& options, std::string* error = nullptr);
// Restores a state. Requires a loaded Gamepak. The whole file is checked
// before anything changes, and a refused file leaves the machine untouched:
// a file not starting with "BPS2"; a truncated or damaged one (a chunk
// running past the end, no "SRST" end marker, a known chunk of the wrong
// length or twice, a missing machine chunk such as "SCPU" or "WRAM", a
// file of only the header and the end marker); a file too large to be a
// state; a state recorded for another cartridge (see StateLoadInfo).
// States without a cartridge record (earlier versions) load. Chunks with
// unknown tags are skipped; an "SRAM" chunk is restored only under the rule
// that writes one. `error` gets the reason without the file's name, for the
// caller to add it.
bool load_state(Machine& m, const std::string& path, const StateOptions& options, std::string* error = nullptr,
                StateLoadInfo* info = nullptr);

// The same on bytes in memory: the state file `save_state` would write
// (the metadata's date is the current time), and restoring from one.
std::vector<uint8_t> state_file_bytes(const Machine& m, const std::string& description, const std::string& author,
                                      const StateOptions& options);
bool load_state_bytes(Machine& m, const uint8_t* data, size_t size, const StateOptions& options,
                      std::string* error = nullptr, StateLoadInfo* info = nullptr);

// For the State Manager's listing: the metadata of a slot file (false when
// it is missing or not a state file), and its 128 x 120 thumbnail (3 bytes
// per pixel, the picture's byte order) when it has one.
bool read_state_metadata(const std::string& path, StateMetadata& out);
bool read_state_thumbnail(const std::string& path, std::vector<uint8_t>& pixels);
// The Version row: the major version, ".", the minor as two digits ("1.02").
std::string state_version_text(const StateMetadata& meta);

// The file of slot 0-99 for an image: its name with the extension replaced
// by "S" and two digits, in `state_folder` (next to the image when empty).
std::string state_slot_path(const std::string& image_path, const std::string& state_folder, int slot);

// Real-time saves. Both require a loaded Gamepak. Loading a file whose
// header lacks the real-time save mark returns false with a reason; a file
// too short for its image returns false with kRtsUnexpectedEnd, for a
// message box captioned kLoadRtsCaption. In both cases nothing changes.
inline constexpr const char* kLoadRtsCaption = "Load Realtime Save";
inline constexpr const char* kRtsUnexpectedEnd = "Unexpected end of file ";
bool save_rts(Machine& m, const std::string& path, std::string* error = nullptr);
bool load_rts(Machine& m, const std::string& path, std::string* error = nullptr);
std::vector<uint8_t> rts_file_bytes(const Machine& m);
bool load_rts_bytes(Machine& m, const uint8_t* data, size_t size, std::string* error = nullptr);

// Which kind of state a file holds, by its content: a chunked state starts
// with "BPS2", a real-time save carries $AA $BB $08 at bytes 8-10.
enum class StateFormat { Unknown, Chunked, RealTime };
StateFormat detect_state_format(const uint8_t* data, size_t size);
// Unknown also when the file cannot be read.
StateFormat detect_state_file(const std::string& path);

}  // namespace vt
