#include "cart/loader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "cart/boards.h"
#include "cart/cartridge_map.h"
#include "cart/game_database.h"
#include "cart/overdump.h"
#include "cart/rom_header.h"
#include "cart/rom_info.h"
#include "cart/rom_layout.h"
#include "coproc/chips.h"
#include "coproc/necdsp/necdsp.h"
#include "core/crc32.h"
#include "core/driver.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint64_t kMaxImageData = kRomBufferSize;            // 12 MiB of ROM data at most
constexpr uint64_t kMaxFileSize = kMaxImageData + kCopierHeaderSize;
constexpr uint64_t kMinImageData = kBlockSize;                // an internal header needs 32 KiB
constexpr uint32_t kGameDoctorChunk = 0x100000;               // 1 MiB
// Game Doctor sets need at most one file per 1 MiB chunk; empty files in
// between are skipped, up to this many files in all.
constexpr int kMaxGameDoctorFiles = 64;
// FFE parts are named "<stem>.2" to "<stem>.999" (three-digit extensions).
constexpr int kLastSplitPart = 999;
constexpr uint64_t kDatabaseLimit = 64ull * 1024 * 1024;
constexpr uint64_t kOptionalFileLimit = 16ull * 1024 * 1024;
constexpr uint32_t kBsxBaseSize = 0x100000;
constexpr uint32_t kAutoexecSize = 0x8000;
constexpr uint32_t kGameBoySize = 0x400000;

const char kGameDoctorSignature[] = "GAME DOCTOR SF 3";

// Everything a load works out before it touches the machine.
struct Load {
    const LoadOptions& options;
    LoadResult result;
    std::unique_ptr<Cartridge> cart = std::make_unique<Cartridge>();
    std::vector<uint8_t> data;            // ROM data of all parts, headers excluded
    std::array<uint8_t, 80> header_area;  // $xxB0-$xxFF of the header's bank
    bool interleaved_extended = false;
    std::vector<uint8_t> autoexec;
    std::vector<uint8_t> nes_trainer;  // 512 bytes for PRG RAM at $7000
    // The DSP-4's or ST011's own program from the program folder, and the
    // log line when it is not there.
    std::vector<uint8_t> chip_program;
    NecDspModel chip_program_model = NecDspModel::Upd7725;
    std::string chip_program_log;

    explicit Load(const LoadOptions& o) : options(o) { header_area.fill(0xFF); }

    // `problem` names the file and the reason: "<path>: <reason>".
    void fail(const char* message, std::string problem, MessageIcon icon = MessageIcon::Error) {
        result.status = LoadStatus::Failed;
        result.caption = kLoadGamepakCaption;
        result.message = message;
        result.problem = std::move(problem);
        result.icon = icon;
    }

    void warn_incomplete(const char* message, std::string problem) {
        result.incomplete = true;
        result.caption = kLoadGamepakCaption;
        result.message = message;
        result.problem = std::move(problem);
        result.icon = MessageIcon::Error;
    }

    // An optional file that is there but cannot serve.
    void note(const std::string& path, const std::string& reason) { result.notes.push_back(path + ": " + reason); }
};

std::string problem_with(const std::string& path, const std::string& reason) { return path + ": " + reason; }

std::string unreadable(const std::string& path, FileReadStatus status, uint64_t limit) {
    return problem_with(path, file_read_failure_reason(path, status, limit));
}

std::string megabytes(uint64_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MiB"; }

std::string too_small(const std::string& path, uint64_t data_bytes) {
    if (data_bytes == 0) return problem_with(path, "it holds no ROM data");
    return problem_with(path, std::to_string(data_bytes) + " bytes of ROM data; a Gamepak holds at least " +
                                  std::to_string(kMinImageData / 1024) + " KiB");
}

// ---------------------------------------------------------------------------
// Reading the files

CopierHeader copier_header_kind(const std::vector<uint8_t>& h) {
    if (std::memcmp(h.data(), kGameDoctorSignature, 16) == 0) return CopierHeader::GameDoctor;
    if (h[8] == 0xAA && h[9] == 0xBB) return CopierHeader::Ffe;
    return CopierHeader::Plain;
}

bool ffe_more_parts(const std::vector<uint8_t>& header) { return header[2] & 0x40; }

// Appends the FFE split parts "<stem>.2", "<stem>.3", ... while the last
// header read says more follow. A missing part ends the set (the load goes
// on with what was read); false when the set is refused.
bool read_split_parts(Load& ld, const std::string& path, bool more) {
    const std::string base = join_path(path_folder(path), path_stem(path));
    for (int part = 2; more; part++) {
        const std::string part_path = base + "." + std::to_string(part);
        if (part > kLastSplitPart) {
            ld.fail(kSplitSetTooLong, problem_with(base + "." + std::to_string(kLastSplitPart),
                                                   "its copier header says more parts follow"));
            return false;
        }
        std::vector<uint8_t> bytes;
        FileReadStatus st = ld.options.read_file(part_path, kMaxFileSize, bytes);
        if (st == FileReadStatus::TooLarge) {
            ld.fail(kImageTooLarge, problem_with(part_path, "larger than " + megabytes(kMaxImageData) +
                                                               " plus a copier header"));
            return false;
        }
        if (st != FileReadStatus::Ok) {
            ld.warn_incomplete(kSplitPartMissing, unreadable(part_path, st, kMaxFileSize));
            return true;
        }
        size_t skip = 0;
        more = false;
        if (bytes.size() % 8192 == kCopierHeaderSize) {
            more = ffe_more_parts(bytes);
            skip = kCopierHeaderSize;
        }
        if (ld.data.size() + (bytes.size() - skip) > kMaxImageData) {
            ld.fail(kImageTooLarge, problem_with(part_path, "the split files hold more than " +
                                                               megabytes(kMaxImageData) + " of ROM data"));
            return false;
        }
        ld.data.insert(ld.data.end(), bytes.begin() + long(skip), bytes.end());
    }
    return true;
}

// The next Game Doctor split file: 8-character base name, extension of at
// most 3 characters, 8th character incremented. Empty when the name breaks
// the rule.
std::string game_doctor_next_name(const std::string& path) {
    std::string name = path_file_name(path);
    size_t dot = name.find_last_of('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.size() != 8 || ext.size() > 3) return "";
    name[7] = char(name[7] + 1);
    return join_path(path_folder(path), name);
}

// Game Doctor images: the highest map byte below $40 says how many 1 MiB
// chunks to read; chunk k goes to offset k MiB. A read that returns nothing
// moves on to the next split file.
void read_game_doctor(Load& ld, const std::string& path, std::vector<uint8_t> current) {
    Cartridge& c = *ld.cart;
    const std::vector<uint8_t>& h = c.copier_header_bytes;
    int highest = -1;
    for (int i = 17; i <= 40; i++) {
        if (h[i] < 0x40) highest = std::max<int>(highest, h[i]);
    }
    int chunks = 0;
    for (int k = 0; k < 12; k++) {
        if (highest >= 32 + 2 * k) chunks = k + 1;
    }

    std::string current_path = path;
    size_t pos = 0;
    uint32_t crc = 0, bytes = 0;
    int files = 1;
    for (int k = 0; k < chunks; k++) {
        size_t n = std::min<size_t>(kGameDoctorChunk, current.size() - pos);
        while (n == 0) {
            std::string next = game_doctor_next_name(current_path);
            if (next.empty()) {
                ld.warn_incomplete(kGameDoctorNaming,
                                   problem_with(current_path, "a split file's name needs 8 characters before "
                                                              "the dot and at most 3 after it"));
                k = chunks;
                break;
            }
            if (++files > kMaxGameDoctorFiles) {
                ld.warn_incomplete(kGameDoctorMissingFile,
                                   problem_with(next, "more than " + std::to_string(kMaxGameDoctorFiles) +
                                                          " split files; the rest is left out"));
                k = chunks;
                break;
            }
            FileReadStatus st = ld.options.read_file(next, kMaxFileSize, current);
            if (st != FileReadStatus::Ok) {
                ld.warn_incomplete(kGameDoctorMissingFile, unreadable(next, st, kMaxFileSize));
                k = chunks;
                break;
            }
            current_path = next;
            pos = 0;
            n = std::min<size_t>(kGameDoctorChunk, current.size());
        }
        if (n == 0) break;
        uint8_t* dst = c.rom.data() + size_t(k) * kGameDoctorChunk;
        std::memcpy(dst, current.data() + pos, n);
        crc = crc32_update(crc, dst, n);
        bytes += uint32_t(n);
        pos += n;
        c.last_bank = uint32_t((size_t(k) * kGameDoctorChunk + n - 1) / kRomSlotSize);
    }
    c.crc32 = crc;
    c.image_size = bytes;
}

// Offset in the ROM buffer of a 32 KiB half in a Game Doctor map, or -1
// when the half is not ROM.
int64_t game_doctor_window(const Cartridge& c, int bank, int half) {
    const std::vector<uint8_t>& h = c.copier_header_bytes;
    uint8_t map_byte;
    if (half) {
        map_byte = h[17 + bank / 16];
    } else {
        static constexpr int kLowerGroups[8] = {0x40, 0x50, 0x60, 0x70, 0xC0, 0xD0, 0xE0, 0xF0};
        int i = 0;
        while (i < 8 && kLowerGroups[i] != (bank & 0xF0)) i++;
        if (i == 8) return -1;
        map_byte = h[33 + i];
    }
    if (map_byte < 0x20 || map_byte > 0x3F) return -1;
    int64_t window = int64_t(map_byte & 0x1F) * 0x80000 + int64_t(bank & 15) * kBlockSize;
    return window + kBlockSize <= kRomBufferSize ? window : -1;
}

uint16_t game_doctor_checksum(const Cartridge& c) {
    uint32_t sum = 0;
    auto add_half = [&](int bank, int half) {
        int64_t w = game_doctor_window(c, bank, half);
        if (w < 0) return;
        for (uint32_t i = 0; i < kBlockSize; i++) sum += c.rom[size_t(w) + i];
    };
    if (c.hirom) {
        for (int bank = 0xC0; bank <= 0xFF; bank++) {
            add_half(bank, 0);
            add_half(bank, 1);
        }
    } else {
        for (int bank = 0x80; bank <= 0xFF; bank++) add_half(bank, 1);
    }
    return uint16_t(sum);
}

// ---------------------------------------------------------------------------
// The internal header

void take_header_fields(Cartridge& c) {
    const uint8_t* h = c.header.data();
    c.header_title = clean_title(h + kHeaderTitle, kHeaderTitleLength);
    c.map_mode = h[kHeaderMapMode];
    c.cart_type = h[kHeaderCartType];
    c.rom_size = h[kHeaderRomSize];
    c.sram_size_byte = h[kHeaderSramSize];
    c.country = h[kHeaderCountry];
    c.licensee = h[kHeaderLicensee];
    c.version = h[kHeaderVersion];
}

void read_header_at(Load& ld, uint32_t offset) {
    Cartridge& c = *ld.cart;
    c.header_offset = offset;
    for (size_t i = 0; i < ld.header_area.size(); i++) {
        size_t at = size_t(offset) - 0x10 + i;
        ld.header_area[size_t(i)] = at < ld.data.size() ? ld.data[at] : 0xFF;
    }
    std::copy_n(ld.header_area.begin() + 16, 32, c.header.begin());
    take_header_fields(c);
}

void read_game_doctor_header(Load& ld) {
    Cartridge& c = *ld.cart;
    int64_t w = game_doctor_window(c, 0, 1);
    if (w >= 0) {
        c.header_offset = uint32_t(w + 0x7FC0);
        std::copy_n(c.rom.begin() + w + 0x7FB0, ld.header_area.size(), ld.header_area.begin());
    }
    std::copy_n(ld.header_area.begin() + 16, 32, c.header.begin());
    take_header_fields(c);
}

// An image can only start when its reset vector points into ROM; and a
// header that has neither a map mode byte of the console's ($20-$3F) nor a
// valid checksum pair is not a header at all. Random bytes fail one or
// the other; every real cartridge passes both.
bool header_is_plausible(const Load& ld) {
    const Cartridge& c = *ld.cart;
    uint16_t reset = uint16_t(ld.header_area[0x4C] | (ld.header_area[0x4D] << 8));
    if (reset < 0x8000 || reset > 0xFFF8) return false;
    return (c.header[kHeaderMapMode] & 0xE0) == 0x20 || checksum_pair_valid(c.header.data());
}

// Coprocessor kind, forced HiROM, DSP variant and battery from the header.
void recognise_cartridge(Cartridge& c) {
    if (c.coprocessor != kCoprocBsx) c.coprocessor = coprocessor_for_type(c.cart_type);
    if (c.gd3 && c.coprocessor != kCoprocDsp) c.coprocessor = kCoprocNone;
    if (uint8_t by_title = coprocessor_for_title(c.header_title)) c.coprocessor = by_title;
    if (c.coprocessor == kCoprocSa1 || c.coprocessor == kCoprocSpc7110) c.hirom = true;
    if (c.coprocessor == kCoprocDsp) c.dsp_variant = dsp_variant_for_title(c.header_title);
    c.has_battery = type_has_battery(c.cart_type);
    c.satellaview_base = c.header_title == "Satellaview BS-X";
}

// Places the ROM data by the map the header chose, mirrors it and sums it.
void lay_out_rom(Load& ld) {
    Cartridge& c = *ld.cart;
    const uint8_t* d = ld.data.data();
    const size_t n = ld.data.size();
    size_t used;
    const bool hirom_map_mode = c.map_mode == 0x21 || c.map_mode == 0x31;
    if (c.hirom || c.coprocessor == kCoprocSdd1) {
        used = place_hirom(c, d, n);
    } else if (c.rom_size == 13) {
        used = place_interleaved_extended_hirom(c, d, n);
        c.hirom = true;
        ld.interleaved_extended = true;
    } else if (hirom_map_mode && c.rom_size >= 9 && c.rom_size <= 12 && c.interleave_allowed) {
        used = place_interleaved_hirom(c, d, n);
        c.hirom = true;
    } else {
        used = place_lorom(c, d, n);
    }
    c.crc32 = crc32(d, used);
    c.image_size = uint32_t(n);
    mirror_to_power_of_two(c);

    c.checksum_start = slots_hold_64k(c) ? 0 : 0x8000;
    uint32_t summed = ld.interleaved_extended ? 96 : c.mirrored_slots;
    uint32_t sum = sum_slots(c, summed, c.checksum_start);
    if (c.coprocessor == kCoprocBsx) {
        for (size_t i = 0; i < 48; i++) sum -= ld.header_area[i];  // $xxB0-$xxDF
    }
    c.computed_checksum = uint16_t(sum);
}

// ---------------------------------------------------------------------------
// Database, corrections, battery RAM size

void look_up_database(Load& ld) {
    Cartridge& c = *ld.cart;
    if (ld.options.program_folder.empty()) return;
    const std::string path = join_path(ld.options.program_folder, kDatabaseFileName);
    std::vector<uint8_t> db;
    FileReadStatus st = ld.options.read_file(path, kDatabaseLimit, db);
    if (st != FileReadStatus::Ok) {
        if (st != FileReadStatus::Missing) ld.note(path, file_read_failure_reason(path, st, kDatabaseLimit));
        return;
    }
    // A damaged database is still searched as far as it holds together.
    std::string damage = database_damage(db);
    if (!damage.empty()) ld.note(path, damage);
    DatabaseEntry entry;
    if (!database_find(db, c.image_size, c.crc32, entry)) return;
    c.database_info = entry.info;
    c.pcb_id = database_pcb_id(entry.info);
    if (!c.gd3) {
        c.title = entry.title;
        c.country = database_country(entry.info);
        c.version = database_version(entry.info);
    }
}

bool hex_digit(uint8_t ch, uint8_t& value) {
    if (ch >= '0' && ch <= '9') value = uint8_t(ch - '0');
    else if (ch >= 'A' && ch <= 'F') value = uint8_t(ch - 'A' + 10);
    else return false;
    return true;
}

void correct_header_fields(Load& ld) {
    Cartridge& c = *ld.cart;
    if (c.country > 17) {
        c.licensee = 0;
        c.version = 0;
    }
    uint8_t hi, lo;
    if (c.licensee == 0x33 && hex_digit(ld.header_area[0], hi) && hex_digit(ld.header_area[1], lo)) {
        c.licensee = uint8_t(hi << 4 | lo);
    }
    if (c.title.size() > 127) c.title.resize(127);
}

void check_overdump(Load& ld) {
    Cartridge& c = *ld.cart;
    if (c.nes || c.gd3 || c.database_info != kNotInDatabase) return;
    uint32_t loaded = c.last_bank + 1;
    uint32_t real = overdump_real_slots(c);
    if (real == 0 || real >= loaded) return;
    LoadResult& r = ld.result;
    r.overdumped = true;
    r.loaded_slots = loaded;
    r.real_slots = real;
    bool ffe = ld.options.auto_create_backup_header && ld.options.backup_format == BackupFormat::Bbd;
    r.corrected_image = overdump_corrected_image(c, real, ffe);
}

void size_battery_ram(Cartridge& c) {
    const Chip& chip = chip_for(c.coprocessor);
    if (chip.battery.always_battery) c.has_battery = true;
    if (c.gd3) {
        switch (c.copier_header_bytes[16]) {
            case 0x80: c.sram_size = 32768; break;
            case 0x81: c.sram_size = 8192; break;
            case 0x82: c.sram_size = 2048; break;
            default: c.sram_size = 0; break;
        }
    } else if (c.has_battery) {
        uint8_t b = c.sram_size_byte;
        c.sram_size = (b >= 1 && b <= 4) ? (1024u << b) : 32768;
    }
    if (chip.battery.ram_size) c.sram_size = chip.battery.ram_size(c);
    if (c.header_title == "XBAND VIDEOGAME MODEM" || c.header_title == "XBAND JAPANESE MODEM") c.sram_size = 65536;

    const Board* board = find_board(c.pcb_id);
    c.sram_layout = c.hirom ? SramLayout::HiRom : SramLayout::LoRom;
    if (board && board->family != BoardFamily::NameOnly) {
        c.sram_size = board->ram_size;
        c.has_battery = board->battery;
        if (board->family == BoardFamily::LoRomSram || board->family == BoardFamily::LoRomDsp) {
            c.sram_layout = SramLayout::LoRom;
        } else if (board->family == BoardFamily::HiRomSram || board->family == BoardFamily::HiRomDsp) {
            c.sram_layout = SramLayout::HiRom;
        }
    }
    if (c.gd3 || !c.sram_size) c.sram_layout = SramLayout::None;
    c.sram_mask = c.sram_size ? c.sram_size - 1 : 0;
    c.sram_bank_offset = {0, 0, 0, 0};
    if (!c.gd3 && c.sram_size_byte == 7) c.sram_bank_offset = {0, 0x8000, 0x10000, 0x18000};
}

// An optional file of the program folder: true with its bytes when it is
// there and readable; a missing one is skipped silently, one that is there
// but cannot serve gets a note.
bool read_optional_file(Load& ld, const char* name, std::vector<uint8_t>& bytes) {
    const std::string path = join_path(ld.options.program_folder, name);
    FileReadStatus st = ld.options.read_file(path, kOptionalFileLimit, bytes);
    if (st == FileReadStatus::Ok) return true;
    if (st != FileReadStatus::Missing) ld.note(path, file_read_failure_reason(path, st, kOptionalFileLimit));
    return false;
}

// The program of a cartridge's NEC DSP ("dsp4.rom", "st011.rom"): with it
// the chip runs exactly; without it the chip keeps its command-level
// emulation, which the log says once.
void read_chip_program(Load& ld, const char* name, NecDspModel model, const char* chip) {
    const std::string path = join_path(ld.options.program_folder, name);
    std::vector<uint8_t> bytes;
    const FileReadStatus st = ld.options.read_file(path, kOptionalFileLimit, bytes);
    if (st == FileReadStatus::Missing) {
        ld.chip_program_log = std::string(name) + " not found: the " + chip + "'s own program is not run";
        return;
    }
    if (st != FileReadStatus::Ok) {
        ld.note(path, file_read_failure_reason(path, st, kOptionalFileLimit));
        return;
    }
    if (bytes.size() != necdsp_firmware_size(model)) {
        ld.note(path, "the file has " + std::to_string(bytes.size()) + " bytes, the " + chip + "'s program has " +
                          std::to_string(necdsp_firmware_size(model)) + "; the chip's own program is not run");
        return;
    }
    ld.chip_program = std::move(bytes);
    ld.chip_program_model = model;
}

// "BS-X.SFC", "autoexec.bin" and the NEC DSPs' programs from the program
// folder; all are optional.
void read_program_files(Load& ld) {
    Cartridge& c = *ld.cart;
    if (ld.options.program_folder.empty()) return;
    std::vector<uint8_t> bytes;
    if (c.coprocessor == kCoprocBsx && read_optional_file(ld, "BS-X.SFC", bytes)) {
        std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), kBsxBaseSize), c.rom.begin() + kRomBsxBaseOffset);
    }
    if (read_optional_file(ld, "autoexec.bin", bytes)) {
        ld.autoexec.assign(bytes.begin(), bytes.begin() + long(std::min<size_t>(bytes.size(), kAutoexecSize)));
    }
    if (c.coprocessor == kCoprocDsp && c.dsp_variant == 4) read_chip_program(ld, "dsp4.rom", NecDspModel::Upd7725, "DSP-4");
    if (c.coprocessor == kCoprocSt011) read_chip_program(ld, "st011.rom", NecDspModel::Upd96050, "ST011");
}

// ---------------------------------------------------------------------------
// Reading and recognising the image, without touching the machine.

// An image that starts with "NES" $1A: PRG ROM then CHR ROM go to the start
// of the ROM buffer; the side's battery RAM is 8 KiB of PRG RAM.
bool read_nes(Load& ld, const std::string& path) {
    Cartridge& c = *ld.cart;
    const NesImage img = read_nes_image(ld.data, kRomBufferSize);
    switch (img.status) {
        case NesImageStatus::Ok: break;
        case NesImageStatus::UnsupportedMapper: {
            ld.fail(kNotValidGamepak, problem_with(path, img.reason), MessageIcon::Warning);
            ld.result.message = nes_unsupported_mapper_message(img.info.mapper);
            return false;
        }
        case NesImageStatus::Truncated: ld.fail(kNesImageTruncated, problem_with(path, img.reason)); return false;
        case NesImageStatus::TooLarge: ld.fail(kImageTooLarge, problem_with(path, img.reason)); return false;
        case NesImageStatus::Invalid: ld.fail(kNesImageInvalid, problem_with(path, img.reason)); return false;
    }
    const NesCartridgeInfo& info = img.info;
    c.nes = true;
    c.nes_info = info;
    const uint32_t rom_bytes = info.prg_size + info.chr_size;
    std::copy_n(ld.data.begin() + img.prg_offset, rom_bytes, c.rom.begin());
    if (info.trainer) {
        ld.nes_trainer.assign(ld.data.begin() + img.trainer_offset,
                              ld.data.begin() + img.trainer_offset + kNesTrainerSize);
    }
    c.image_size = rom_bytes;
    c.crc32 = crc32(c.rom.data(), rom_bytes);
    c.header_bytes_read += kNesHeaderSize;
    c.header_title = "NES Emulator";
    c.has_battery = info.battery;
    c.sram_size = info.battery ? kNesPrgRamSize : 0;
    c.sram_mask = kNesPrgRamSize - 1;
    c.last_bank = 0;
    ld.data = {};
    return true;
}

bool read_image(Load& ld, const std::string& path) {
    Cartridge& c = *ld.cart;
    std::vector<uint8_t> file;
    switch (FileReadStatus st = ld.options.read_file(path, kMaxFileSize, file)) {
        case FileReadStatus::Ok: break;
        case FileReadStatus::TooLarge:
            ld.fail(kImageTooLarge, problem_with(path, "larger than " + megabytes(kMaxImageData) +
                                                          " plus a copier header"));
            return false;
        default: ld.fail(kFileCouldNotBeLoaded, unreadable(path, st, kMaxFileSize)); return false;
    }
    c.image_path = path;
    c.file_date = file_date(path);

    size_t skip = 0;
    if (file.size() % 8192 == kCopierHeaderSize) {
        c.copier_header_bytes.assign(file.begin(), file.begin() + kCopierHeaderSize);
        c.copier_header = copier_header_kind(c.copier_header_bytes);
        c.header_bytes_read = kCopierHeaderSize;
        skip = kCopierHeaderSize;
        if (c.copier_header == CopierHeader::Ffe && c.copier_header_bytes[10] != 4) {
            ld.fail(kNotValidGamepak, problem_with(path, "its copier header gives the file type " +
                                                             std::to_string(c.copier_header_bytes[10]) +
                                                             ", not 4 (a Gamepak)"));
            return false;
        }
    }

    if (c.copier_header == CopierHeader::GameDoctor) {
        c.gd3 = true;
        file.erase(file.begin(), file.begin() + long(skip));
        read_game_doctor(ld, path, std::move(file));
        if (c.image_size < kMinImageData) {
            ld.fail(kImageTooSmall, too_small(path, c.image_size));
            return false;
        }
        read_game_doctor_header(ld);
        if (!header_is_plausible(ld)) {
            ld.fail(kNotValidGamepak, problem_with(path, "no valid internal header found"));
            return false;
        }
        c.hirom = c.map_mode == 0x21 || c.map_mode == 0x31;
        recognise_cartridge(c);
        c.computed_checksum = game_doctor_checksum(c);
        c.mirrored_slots = power_of_two_above(c.last_bank);
        return true;
    }

    ld.data.assign(file.begin() + long(skip), file.end());
    file = {};
    bool more = c.copier_header == CopierHeader::Ffe && ffe_more_parts(c.copier_header_bytes);
    if (!read_split_parts(ld, path, more)) return false;

    if (ld.data.size() >= 4 && std::memcmp(ld.data.data(), "NES\x1A", 4) == 0) return read_nes(ld, path);
    if (ld.data.size() < kMinImageData) {
        ld.fail(kImageTooSmall, too_small(path, ld.data.size()));
        return false;
    }

    HeaderChoice choice = choose_header(ld.data);
    read_header_at(ld, choice.offset);
    if (c.header_title == "BATMAN--REVENGE JOKER" && choice.hirom) {
        choice = HeaderChoice{};
        read_header_at(ld, choice.offset);
    }
    if (!header_is_plausible(ld)) {
        ld.fail(kNotValidGamepak, problem_with(path, "no valid internal header found"));
        return false;
    }
    c.hirom = choice.hirom;
    c.interleave_allowed = c.header_title != "YUYU NO QUIZ DE GO!GO";

    if (is_memory_pack_header(c.header.data())) {
        c.map_mode = c.sram_size_byte;
        c.cart_type = 0;
        c.rom_size = 10;
        c.sram_size_byte = 0;
        c.country = 0;
        c.version = 0;
        c.coprocessor = kCoprocBsx;
    }
    recognise_cartridge(c);
    lay_out_rom(ld);
    return true;
}

// ---------------------------------------------------------------------------
// Committing to the machine

// A battery RAM file that could not be read, or not whole: the load goes
// on, and the message says which file and why.
void warn_battery_file(Load& ld, const std::string& path, const std::string& problem) {
    std::string text = "There is a problem with the BackupRAM file \"" + path + "\".  \r" + problem;
    LoadResult& r = ld.result;
    r.message = r.message.empty() ? text : r.message + "\r\r" + text;
    if (r.caption.empty()) r.caption = kLoadGamepakCaption;
    if (r.icon == MessageIcon::None) r.icon = MessageIcon::Warning;
}

void commit(Load& ld, Machine& m) {
    const LoadOptions& o = ld.options;
    const bool checksum_known_good = header_checksum_matches(*ld.cart) || ld.cart->database_info != kNotInDatabase;

    m.cart = std::move(*ld.cart);
    Cartridge& c = m.cart;
    // The previous cartridge's chip program goes with it.
    m.necdsp.has_firmware = false;
    if (!ld.chip_program.empty()) necdsp_load_firmware(m.necdsp, ld.chip_program_model, ld.chip_program);
    if (!ld.chip_program_log.empty() && m.host.log_line) m.host.log_line(m.host.log, ld.chip_program_log);
    chip_power_on(m);
    build_cartridge_map(m);

    Timing& t = m.timing;
    t.lines_per_frame = c.pal ? 312 : 262;
    t.sound_lines = c.pal ? 294 : 244;
    memory_init_wram(m, checksum_known_good ? o.wram_fill : 0);

    BatteryFolders folders = battery_folders(o);
    std::string problem;
    battery_load(c, folders, &problem);
    if (!problem.empty()) warn_battery_file(ld, battery_file_path(c, folders), problem);
    if (is_satellaview(c)) {
        problem.clear();
        bsx_ram_load(c, folders, &problem);
        if (!problem.empty()) warn_battery_file(ld, bsx_sram_path(c, folders), problem);
    }

    if (c.nes) {
        // PRG RAM without a battery starts cleared; a trainer sits at $7000.
        if (!c.has_battery) std::fill_n(c.sram.begin(), kNesPrgRamSize, 0);
        std::copy(ld.nes_trainer.begin(), ld.nes_trainer.end(), c.sram.begin() + 0x1000);
    }

    t.gamepak_loaded = true;
    machine_power_on(m);
    m.ppu.stat78 = c.pal ? 0x73 : 0x63;

    if (!ld.autoexec.empty()) {
        std::copy(ld.autoexec.begin(), ld.autoexec.end(), m.mem.wram.begin() + 0x8000);
        m.cpu.pbr = 0x7E;
        m.cpu.pc = 0x8000;
    }
}

}  // namespace

BatteryFolders battery_folders(const LoadOptions& options) {
    return BatteryFolders{options.program_folder, options.backup_folder, options.backup_format, options.data_folder};
}

LoadResult load_gamepak(Machine& m, const std::string& path, const LoadOptions& options) {
    if (upper_case(path_extension(path)) == ".GB") return load_game_boy_cartridge(m, path, options);

    if (options.save_previous_battery && m.timing.gamepak_loaded) {
        BatterySaveResult saved = battery_save(m.cart, battery_folders(options));
        if (!saved.ok) {
            LoadResult r;
            r.status = LoadStatus::BatterySaveFailed;
            r.caption = kSaveBackupRamCaption;
            r.message = saved.message;
            r.icon = MessageIcon::Warning;
            return r;
        }
    }

    Load ld(options);
    if (!read_image(ld, path)) return ld.result;

    Cartridge& c = *ld.cart;
    c.title = c.header_title;
    if (c.nes) {
        commit(ld, m);
        ld.result.status = LoadStatus::Loaded;
        return std::move(ld.result);
    }
    look_up_database(ld);
    correct_header_fields(ld);
    check_overdump(ld);
    if (c.coprocessor == kCoprocSuperFx) lay_out_super_fx(c);
    size_battery_ram(c);
    c.pal = country_is_pal(c.country);
    if (options.region != RegionOverride::Auto) c.pal = options.region == RegionOverride::Pal;
    read_program_files(ld);

    commit(ld, m);
    ld.result.status = LoadStatus::Loaded;
    return std::move(ld.result);
}

LoadResult load_game_boy_cartridge(Machine& m, const std::string& path, const LoadOptions& options) {
    LoadResult r;
    r.caption = kLoadGamepakCaption;
    const std::string& title = m.cart.header_title;
    if (!m.timing.gamepak_loaded || (title != "Super GAMEBOY" && title != "Super GAMEBOY2")) {
        r.message = kSuperGameBoyMissing;
        r.icon = MessageIcon::Warning;
        return r;
    }
    std::vector<uint8_t> bytes;
    if (FileReadStatus st = options.read_file(path, kRomBufferSize, bytes); st != FileReadStatus::Ok) {
        r.message = kFileCouldNotBeLoaded;
        r.problem = unreadable(path, st, kRomBufferSize);
        r.icon = MessageIcon::Error;
        return r;
    }
    uint8_t* dst = m.cart.rom.data() + kRomUpperPartOffset;
    std::fill_n(dst, kGameBoySize, 0xFF);
    std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), kGameBoySize), dst);
    machine_reset(m);
    r.status = LoadStatus::Loaded;
    return r;
}

}  // namespace vt
