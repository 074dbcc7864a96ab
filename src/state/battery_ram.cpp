#include "state/battery_ram.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cart/image_files.h"
#include "state/atomic_file.h"

namespace vt {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kCopierFileSize = 32 * 1024;  // ".bbd" and ".b01" hold 32 KiB

const char* extension_for(BackupFormat format) {
    switch (format) {
        case BackupFormat::Bbd: return ".bbd";
        case BackupFormat::B01: return ".b01";
        default: return ".srm";
    }
}

enum class RamFileRead { Read, Missing, Unreadable };

// Reads a battery RAM file: at most `limit` bytes after a 512-byte copier
// header, which the length modulo 32 KiB gives away. `total` is the data's
// whole length, which may exceed what was read.
RamFileRead read_ram_file(const std::string& path, uint32_t limit, std::vector<uint8_t>& out, uint64_t& total,
                          std::string& problem) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) return RamFileRead::Missing;
    if (!fs::is_regular_file(status)) {
        problem = "It is not a file.";
        return RamFileRead::Unreadable;
    }
    const uint64_t length = fs::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        problem = std::string("It could not be opened: ") + std::strerror(errno ? errno : EIO) + ".";
        return RamFileRead::Unreadable;
    }
    // A file of exactly 512 bytes is a short ".srm", not a header alone.
    uint64_t skip = 0;
    if (length % 0x8000 == kCopierHeaderSize && length > kCopierHeaderSize) skip = kCopierHeaderSize;
    total = length - skip;
    const size_t wanted = size_t(std::min<uint64_t>(total, limit));
    out.resize(wanted);
    in.seekg(std::streamoff(skip));
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(wanted));
    if (size_t(in.gcount()) != wanted) {
        problem = "It could not be read to its end.";
        return RamFileRead::Unreadable;
    }
    return RamFileRead::Read;
}

// Reads `path` into `ram`; a file that cannot be read changes nothing.
bool load_ram_file(const std::string& path, std::vector<uint8_t>& ram, uint32_t& bytes_read, bool& unreadable,
                   std::string* problem) {
    std::vector<uint8_t> bytes;
    uint64_t total = 0;
    std::string why;
    switch (read_ram_file(path, uint32_t(ram.size()), bytes, total, why)) {
        case RamFileRead::Missing: return false;
        case RamFileRead::Unreadable:
            unreadable = true;
            if (problem) *problem = why + " The game starts without it, and it is not replaced when battery RAM is saved.";
            return false;
        case RamFileRead::Read: break;
    }
    std::copy(bytes.begin(), bytes.end(), ram.begin());
    bytes_read = uint32_t(bytes.size());
    if (total > ram.size() && problem) {
        *problem = "It holds " + std::to_string(total) + " bytes of battery RAM, more than the " +
                   std::to_string(ram.size()) + " a Gamepak can have; the bytes past them are not kept.";
    }
    return true;
}

// The bytes to write: everything the cartridge reaches, at least `floor`,
// and never less than the file held when it was read.
uint32_t saved_size(const Cartridge& c, uint32_t floor) {
    const uint32_t size = std::max({battery_ram_extent(c), floor, c.battery_file_bytes});
    return std::min<uint32_t>(size, uint32_t(c.sram.size()));
}

}  // namespace

std::string battery_file_path(const Cartridge& c, const BatteryFolders& folders) {
    std::string folder = folders.backup_folder.empty() ? path_folder(c.image_path) : folders.backup_folder;
    return join_path(folder, path_stem(c.image_path) + extension_for(folders.format));
}

std::string bsx_sram_path(const Cartridge& c, const BatteryFolders& folders) {
    std::string folder = folders.backup_folder;
    if (folder.empty()) folder = folders.data_folder;
    if (folder.empty()) folder = path_folder(c.image_path);
    return join_path(folder, kBsxSramFileName);
}

uint32_t battery_ram_extent(const Cartridge& c) {
    uint32_t extent = c.sram_size;
    for (uint32_t offset : c.sram_bank_offset) extent = std::max(extent, offset + c.sram_size);
    return std::min<uint32_t>(extent, kSramBufferSize);
}

bool battery_load(Cartridge& c, const BatteryFolders& folders, std::string* problem) {
    if (!c.has_battery) return false;
    return load_ram_file(battery_file_path(c, folders), c.sram, c.battery_file_bytes, c.battery_file_unreadable,
                         problem);
}

bool bsx_ram_load(Cartridge& c, const BatteryFolders& folders, std::string* problem) {
    uint32_t bytes_read = 0;
    bool unreadable = false;
    // "BS-X.SRM" is always written whole, so only its unreadability is kept.
    const bool read = load_ram_file(bsx_sram_path(c, folders), c.bsx_ram, bytes_read, unreadable, problem);
    c.battery_file_unreadable = c.battery_file_unreadable || unreadable;
    return read;
}

std::vector<uint8_t> battery_file_image(const Cartridge& c, BackupFormat format) {
    std::vector<uint8_t> out;
    switch (format) {
        case BackupFormat::Bbd:
            out.assign(kCopierHeaderSize, 0);
            out[8] = 0xAA;
            out[9] = 0xBB;
            out[10] = 0x05;
            out[11] = 0xCC;
            std::copy_n(c.header.begin() + kHeaderTitle, kHeaderTitleLength, out.begin() + 16);
            out.insert(out.end(), c.sram.begin(), c.sram.begin() + saved_size(c, kCopierFileSize));
            break;
        case BackupFormat::B01:
            out.assign(c.sram.begin(), c.sram.begin() + saved_size(c, kCopierFileSize));
            break;
        default:
            out.assign(c.sram.begin(), c.sram.begin() + saved_size(c, 0));
            break;
    }
    return out;
}

bool write_file_replacing(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    return write_file_atomically(path, bytes, error);
}

BatterySaveResult battery_save(const Cartridge& c, const BatteryFolders& folders) {
    BatterySaveResult result;
    auto save = [&result](const std::string& path, const std::vector<uint8_t>& bytes) {
        std::string why;
        if (write_file_replacing(path, bytes, &why)) return;
        result.ok = false;
        if (result.reason.empty()) result.reason = path + ": " + why;
    };
    if (c.battery_file_unreadable) {
        result.ok = false;
        result.reason = "the battery RAM file could not be read when the Gamepak was loaded, so it is not replaced";
    } else {
        if (is_satellaview(c)) save(bsx_sram_path(c, folders), c.bsx_ram);
        if (c.has_battery && !c.image_path.empty()) {
            save(battery_file_path(c, folders), battery_file_image(c, folders.format));
        }
    }
    if (!result.ok) result.message = kSaveBackupRamFailed;
    return result;
}

}  // namespace vt
