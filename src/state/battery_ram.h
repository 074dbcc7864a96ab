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
    std::string program_folder;
    std::string backup_folder;  // empty: beside the image
    BackupFormat format = BackupFormat::Srm;
};

// The image's file name with the format's extension, in the BackupRAM
// folder when one is set, else beside the image.
std::string battery_file_path(const Cartridge& c, const BatteryFolders& folders);
// "BS-X.SRM": in the program folder when a BackupRAM folder is set, else the
// bare name (the current folder). Reading and writing use the same rule.
std::string bsx_sram_path(const BatteryFolders& folders);

// Reads a battery RAM file into the battery RAM buffer (skipping a 512-byte
// copier header, at most 256 KiB). Only for cartridges with a battery;
// false when there is no file to read.
bool battery_load(Cartridge& c, const BatteryFolders& folders);
bool bsx_ram_load(Cartridge& c, const BatteryFolders& folders);

// The bytes a save writes in the given format.
std::vector<uint8_t> battery_file_image(const Cartridge& c, BackupFormat format);

struct BatterySaveResult {
    bool ok = true;
    std::string message;  // kSaveBackupRamFailed when a file could not be written
};

// Writes "BS-X.SRM" (Satellaview cartridges) and the battery RAM file
// (cartridges with a battery). An existing file is replaced only once the
// new one is completely on disk.
BatterySaveResult battery_save(const Cartridge& c, const BatteryFolders& folders);

// Writes a file through a temporary file in the same folder and a rename.
bool write_file_replacing(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vt
