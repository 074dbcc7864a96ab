// Battery RAM files: the cartridge's battery-backed RAM kept beside the
// image (or in the BackupRAM folder) as ".srm", ".bbd" (Super Wildcard) or
// ".b01" (Game Doctor), and the Satellaview's "BS-X.SRM".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cart/cartridge.h"

namespace vt {

// The BackupRAM file format setting.
enum class BackupFormat : uint8_t { Srm = 0, Bbd = 1, B01 = 2 };

inline constexpr const char* kBsxSramFileName = "BS-X.SRM";
inline constexpr const char* kSaveBackupRamCaption = "Save BackupRAM";
inline constexpr const char* kSaveBackupRamFailed =
    "An error occured attempting to write BackupRAM to disk.  \rMake sure the specified BackupRAM path "
    "exists.\r\rClick Cancel to continue without writing to disk.";

struct BatteryFolders {
    std::string program_folder;  // no battery file is kept here; the field stays for existing initialisers
    std::string backup_folder;   // empty: beside the image
    BackupFormat format = BackupFormat::Srm;
    // The program's data folder: "BS-X.SRM" goes here when no BackupRAM
    // folder is set.
    std::string data_folder = {};
};

// The image's file name with the format's extension, in the BackupRAM
// folder when one is set, else beside the image.
std::string battery_file_path(const Cartridge& c, const BatteryFolders& folders);
// "BS-X.SRM": in the BackupRAM folder when one is set, else in the data
// folder, else (neither given) beside the image. Reading and writing use the
// same rule.
std::string bsx_sram_path(const Cartridge& c, const BatteryFolders& folders);

// The bytes of the battery RAM buffer the cartridge reaches: its battery
// RAM size, or more when its banks see separate windows of the buffer.
uint32_t battery_ram_extent(const Cartridge& c);

// Reads the battery RAM file into the battery RAM buffer, skipping a
// 512-byte copier header; a short file (as earlier versions wrote) fills
// the start and the rest keeps its $FF. Only for cartridges with a battery.
// Returns whether a file was read; a missing file is not a problem. When
// there is something to tell, `problem` (if given) says what, without the
// file's name: a file that is there but cannot be read (nothing changes,
// and later saves will not replace it), or one larger than any battery RAM
// (its first 256 KiB are read; the rest cannot be kept).
bool battery_load(Cartridge& c, const BatteryFolders& folders, std::string* problem = nullptr);
bool bsx_ram_load(Cartridge& c, const BatteryFolders& folders, std::string* problem = nullptr);

// The bytes a save writes in the given format: ".srm" the whole battery
// RAM, ".b01" at least 32 KiB, ".bbd" a 512-byte header and the same; never
// fewer bytes than the file held when it was read.
std::vector<uint8_t> battery_file_image(const Cartridge& c, BackupFormat format);

struct BatterySaveResult {
    bool ok = true;
    std::string message;  // kSaveBackupRamFailed when a file could not be written
    std::string reason;   // why, for logs and the runner ("No space left on device")
};

// Writes "BS-X.SRM" (Satellaview cartridges) and the battery RAM file
// (cartridges with a battery). An existing file is replaced only once the
// new one is completely on disk, and not at all when it could not be read
// at load time.
BatterySaveResult battery_save(const Cartridge& c, const BatteryFolders& folders);

// Writes a file through a temporary file in the same folder and a rename
// (state/atomic_file.h). On failure `error` (when given) says why.
bool write_file_replacing(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error = nullptr);

}  // namespace vt
