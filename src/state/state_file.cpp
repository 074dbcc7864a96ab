// Writing and reading the chunked state file, slot file names and telling
// the two state formats apart.
#include "state/state_file.h"

#include <cstdio>
#include <filesystem>

#include "cart/image_files.h"
#include "core/machine.h"
#include "state/battery_ram.h"
#include "state/machine_chunks.h"
#include "state/realtime_save.h"
#include "state/state_chunks.h"
#include "state/state_metadata.h"
#include "video/ppu.h"

namespace vt {

namespace {

// Far more than a state holds (about 600 KB with 256 KiB of battery RAM);
// anything larger is not read at all.
constexpr uint64_t kMaxStateFileSize = 32u * 1024 * 1024;

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

bool gamepak_loaded(const Machine& m, std::string* error) {
    if (m.timing.gamepak_loaded) return true;
    return fail(error, "No Gamepak is loaded.");
}

// Reads a whole state file; false with a reason when it cannot.
bool read_state_file(const std::string& path, std::vector<uint8_t>& bytes, std::string* error) {
    switch (read_disk_file(path, kMaxStateFileSize, bytes)) {
        case FileReadStatus::Ok: return true;
        case FileReadStatus::Missing: return fail(error, "The file does not exist.");
        case FileReadStatus::NotAFile: return fail(error, "It is not a file.");
        case FileReadStatus::TooLarge:
            return fail(error, "It is larger than " + std::to_string(kMaxStateFileSize >> 20) +
                                   " MiB, too large to be a state file.");
        case FileReadStatus::Error: break;
    }
    return fail(error, "The file could not be read.");
}

std::string hex32(uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", unsigned(v));
    return text;
}

}  // namespace

std::vector<uint8_t> state_file_bytes(const Machine& m, const std::string& description, const std::string& author,
                                      const StateOptions& options) {
    std::vector<uint8_t> file;
    file.reserve(kMetadataSize + kThumbnailChunkSize + 2 * 0x20000 + 0x50000);

    StateMetadata meta;
    meta.product = kStateProduct;
    meta.description = description;
    meta.author = author;
    meta.dos_date_time = dos_date_time_now();
    encode_metadata(meta, append_chunk(file, kTagMetadata, kMetadataSize));

    if (options.bitmap_transfer) {
        make_thumbnail(video_picture(m), append_chunk(file, kTagThumbnail, kThumbnailChunkSize));
    }
    append_machine_chunks(m, options, file);
    append_chunk(file, kTagEnd, 0);
    return file;
}

bool save_state(Machine& m, const std::string& path, const std::string& description, const std::string& author,
                const StateOptions& options, std::string* error) {
    if (!gamepak_loaded(m, error)) return false;
    std::string why;
    if (!write_file_replacing(path, state_file_bytes(m, description, author, options), &why)) {
        return fail(error, "The file could not be written: " + why + ".");
    }
    return true;
}

bool load_state_bytes(Machine& m, const uint8_t* data, size_t size, const StateOptions& options, std::string* error,
                      StateLoadInfo* info) {
    StateLoadInfo found;
    if (info) *info = found;
    if (!gamepak_loaded(m, error)) return false;
    const ChunkScan scan = scan_chunks(data, size);
    switch (scan.result) {
        case ChunkScanResult::NotStateFile:
            return fail(error, "The file is not a state file (it does not start with \"BPS2\").");
        case ChunkScanResult::Damaged: return fail(error, "The state file is damaged: " + scan.problem + ".");
        case ChunkScanResult::Complete: break;
    }
    std::string problem;
    if (!machine_chunks_valid(scan.chunks, &problem)) return fail(error, "The state file is damaged: " + problem + ".");

    CartridgeRecord record;
    if (find_cartridge_record(scan.chunks, record)) {
        found.state_crc32 = record.crc32;
        found.state_title = record.title;
        found.other_cartridge = record.crc32 != m.cart.crc32;
    }
    if (info) *info = found;
    if (found.other_cartridge && !options.load_other_cartridge) {
        const CartridgeRecord loaded = cartridge_record_of(m);
        return fail(error, "The state was saved with another Gamepak, \"" + record.title + "\" (CRC32 " +
                               hex32(record.crc32) + "); the loaded Gamepak is \"" + loaded.title + "\" (CRC32 " +
                               hex32(loaded.crc32) + ").");
    }
    found.battery_ram_replaced = restore_machine_chunks(m, scan.chunks, options);
    if (info) *info = found;
    return true;
}

bool load_state(Machine& m, const std::string& path, const StateOptions& options, std::string* error,
                StateLoadInfo* info) {
    if (info) *info = StateLoadInfo{};
    if (!gamepak_loaded(m, error)) return false;
    std::vector<uint8_t> bytes;
    if (!read_state_file(path, bytes, error)) return false;
    return load_state_bytes(m, bytes.data(), bytes.size(), options, error, info);
}

std::string state_slot_path(const std::string& image_path, const std::string& state_folder, int slot) {
    namespace fs = std::filesystem;
    fs::path image(image_path);
    char extension[8];
    std::snprintf(extension, sizeof extension, ".S%02d", slot);
    fs::path name = image.filename();
    name.replace_extension(extension);
    fs::path folder = state_folder.empty() ? image.parent_path() : fs::path(state_folder);
    return (folder / name).string();
}

StateFormat detect_state_format(const uint8_t* data, size_t size) {
    if (size >= 4 && data[0] == 'B' && data[1] == 'P' && data[2] == 'S' && data[3] == '2') return StateFormat::Chunked;
    if (rts_header_marked(data, size)) return StateFormat::RealTime;
    return StateFormat::Unknown;
}

StateFormat detect_state_file(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return StateFormat::Unknown;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return StateFormat::Unknown;
    uint8_t start[16];
    const size_t got = std::fread(start, 1, sizeof start, f);
    std::fclose(f);
    return detect_state_format(start, got);
}

}  // namespace vt
