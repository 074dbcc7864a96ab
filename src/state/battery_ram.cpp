#include "state/battery_ram.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cart/image_files.h"
#include "state/atomic_file.h"

namespace vt {

namespace {

constexpr uint32_t kCopierFileSize = 32 * 1024;      // ".bbd" and ".b01" hold 32 KiB
constexpr uint32_t kSrmSizeLimit = 128 * 1024;

const char* extension_for(BackupFormat format) {
    switch (format) {
        case BackupFormat::Bbd: return ".bbd";
        case BackupFormat::B01: return ".b01";
        default: return ".srm";
    }
}

// Reads at most `limit` bytes of a file, skipping a 512-byte header when the
// length modulo 32 KiB says there is one. False when the file is missing.
bool read_ram_file(const std::string& path, uint32_t limit, std::vector<uint8_t>& out) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    uint64_t length = std::filesystem::file_size(path, ec);
    if (ec) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // A file of exactly 512 bytes is a short ".srm", not a header alone.
    if (length % 0x8000 == kCopierHeaderSize && length > kCopierHeaderSize) in.seekg(kCopierHeaderSize);
    out.resize(limit);
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(limit));
    out.resize(size_t(in.gcount()));
    return true;
}

// Length of the shortest power-of-two prefix beyond which every byte is
// $FF (0 for a RAM that is all $FF).
uint32_t used_prefix(const std::vector<uint8_t>& ram, uint32_t limit) {
    uint32_t last = 0;  // one past the last byte that is not $FF
    for (uint32_t i = 0; i < limit; i++) {
        if (ram[i] != 0xFF) last = i + 1;
    }
    if (last == 0) return 0;
    uint32_t size = 1;
    while (size < last) size <<= 1;
    return size;
}

}  // namespace

std::string battery_file_path(const Cartridge& c, const BatteryFolders& folders) {
    std::string folder = folders.backup_folder.empty() ? path_folder(c.image_path) : folders.backup_folder;
    return join_path(folder, path_stem(c.image_path) + extension_for(folders.format));
}

std::string bsx_sram_path(const BatteryFolders& folders) {
    if (folders.backup_folder.empty()) return kBsxSramFileName;
    return join_path(folders.program_folder, kBsxSramFileName);
}

bool battery_load(Cartridge& c, const BatteryFolders& folders) {
    if (!c.has_battery) return false;
    std::vector<uint8_t> bytes;
    if (!read_ram_file(battery_file_path(c, folders), kSramBufferSize, bytes)) return false;
    std::copy(bytes.begin(), bytes.end(), c.sram.begin());
    return true;
}

bool bsx_ram_load(Cartridge& c, const BatteryFolders& folders) {
    std::vector<uint8_t> bytes;
    if (!read_ram_file(bsx_sram_path(folders), kBsxRamSize, bytes)) return false;
    std::copy(bytes.begin(), bytes.end(), c.bsx_ram.begin());
    return true;
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
            out.insert(out.end(), c.sram.begin(), c.sram.begin() + kCopierFileSize);
            break;
        case BackupFormat::B01:
            out.assign(c.sram.begin(), c.sram.begin() + kCopierFileSize);
            break;
        default: {
            // Cartridges with more battery RAM than the usual limit keep all of it.
            uint32_t limit = std::min<uint32_t>(std::max(kSrmSizeLimit, c.sram_size), kSramBufferSize);
            out.assign(c.sram.begin(), c.sram.begin() + used_prefix(c.sram, limit));
            break;
        }
    }
    return out;
}

bool write_file_replacing(const std::string& path, const std::vector<uint8_t>& bytes) {
    return write_file_atomically(path, bytes);
}

BatterySaveResult battery_save(const Cartridge& c, const BatteryFolders& folders) {
    BatterySaveResult result;
    bool ok = true;
    if (is_satellaview(c)) ok = write_file_replacing(bsx_sram_path(folders), c.bsx_ram) && ok;
    if (c.has_battery && !c.image_path.empty()) {
        ok = write_file_replacing(battery_file_path(c, folders), battery_file_image(c, folders.format)) && ok;
    }
    if (!ok) {
        result.ok = false;
        result.message = kSaveBackupRamFailed;
    }
    return result;
}

}  // namespace vt
