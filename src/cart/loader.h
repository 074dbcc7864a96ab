// The Gamepak loader: turns a cartridge image file into the emulated
// cartridge. It reads the image (plain, with a copier header, split over
// several files, interleaved) into a scratch cartridge, recognises its map,
// coprocessor and battery RAM, looks it up in the game database, and only
// when the image is accepted replaces the machine's cartridge, builds the
// memory map, restores the battery RAM and powers the machine on.
//
// The loader shows nothing: it returns the message the program shows (with
// its caption and icon) and, for an over-dumped image, the corrected image
// and the question to ask. The program writes the load to its log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cart/image_files.h"
#include "state/battery_ram.h"

namespace vt {

struct Machine;

inline constexpr const char* kLoadGamepakCaption = "Load Gamepak";
inline constexpr const char* kFileCouldNotBeLoaded =
    "The specified file could not be loaded.\rMake sure the path and filename are correct.  ";
inline constexpr const char* kNotValidGamepak = "Not a valid Gamepak  ";
inline constexpr const char* kGameDoctorNaming =
    "The specified file does not conform to naming constraints as specified\rfor Game Doctor split files. Please "
    "rename the affected files and try again.  \rRefer to the Users Guide for further information.";
inline constexpr const char* kGameDoctorMissingFile =
    "Veltrane could not find a file required by the Game Doctor header.  \rPlease make sure all the required files "
    "reside in the same directory.";
inline constexpr const char* kSplitPartMissing =
    "Veltrane could not find a file required by the copier header.  \rPlease make sure all the split files reside "
    "in the same directory.";
inline constexpr const char* kSplitSetTooLong =
    "The split files of this image go on past part 999.  \rVeltrane cannot load them.  ";
inline constexpr const char* kImageTooLarge = "The specified file is larger than 12 MB and cannot be a Gamepak.  ";
inline constexpr const char* kImageTooSmall = "The specified file is too small to be a Gamepak.  ";
inline constexpr const char* kSuperGameBoyMissing = "Could not find hardware device \"Super Game Boy\".  ";
inline constexpr const char* kOverdumpCaption = "Gamepak Properties";
inline constexpr const char* kOverdumpQuestion =
    "Veltrane has detected that the ROM has been overdumped.  \rClick the OK button to correct the problem.\r";

enum class RegionOverride : uint8_t { Auto, Ntsc, Pal };

struct LoadOptions {
    // Folder of "Veltrane.db", "BS-X.SFC", "autoexec.bin" and the chip
    // programs "dsp4.rom" and "st011.rom"; empty: none of them is looked for.
    std::string program_folder;
    std::string backup_folder;  // battery RAM files; empty: beside the image
    // The program's data folder: "BS-X.SRM" when no BackupRAM folder is set.
    std::string data_folder;
    BackupFormat backup_format = BackupFormat::Srm;
    bool auto_create_backup_header = false;  // FFE header on a corrected image (".bbd" format only)
    uint8_t wram_fill = 0x55;
    RegionOverride region = RegionOverride::Auto;
    // Save the previous cartridge's battery RAM first. The program clears
    // it to go on after the user chose to continue without saving.
    bool save_previous_battery = true;
    FileReader read_file = &read_disk_file;
};

BatteryFolders battery_folders(const LoadOptions& options);

enum class LoadStatus : uint8_t {
    Loaded,             // the machine runs the new cartridge
    Failed,             // nothing changed
    BatterySaveFailed,  // nothing changed; ask OK (stop) / Cancel (load without saving)
};

enum class MessageIcon : uint8_t { None, Error, Warning };

struct LoadResult {
    LoadStatus status = LoadStatus::Failed;
    std::string caption;  // of the message box
    std::string message;  // empty when there is nothing to show
    MessageIcon icon = MessageIcon::None;
    // With a message: the file it is about and the reason, "<path>: <reason>"
    // ("/roms/game.2: no such file", "/roms/game.sfc: no valid internal
    // header found"), for the program to show beside the message.
    std::string problem;
    // Optional files that are there but could not serve (a damaged game
    // database, a folder named "autoexec.bin"), each "<path>: <reason>". The
    // load went on without them.
    std::vector<std::string> notes;
    // Loaded, but a split part was missing: the rest of the ROM reads $FF.
    bool incomplete = false;

    // Over-dumped image: the real size and the image to offer.
    bool overdumped = false;
    uint32_t loaded_slots = 0;
    uint32_t real_slots = 0;
    std::vector<uint8_t> corrected_image;

    bool loaded() const { return status == LoadStatus::Loaded; }
};

// Load Gamepak. A ".GB" file goes to the Super Game Boy path.
LoadResult load_gamepak(Machine& m, const std::string& path, const LoadOptions& options);
// Puts a Game Boy image into the Super Game Boy cartridge and resets.
LoadResult load_game_boy_cartridge(Machine& m, const std::string& path, const LoadOptions& options);

}  // namespace vt
