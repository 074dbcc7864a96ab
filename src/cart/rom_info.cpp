#include "cart/rom_info.h"

#include <cstdio>

#include "cart/boards.h"
#include "cart/game_database.h"
#include "cart/licensees.h"
#include "coproc/chips.h"

namespace vt {

std::string country_name(uint8_t country) {
    static const char* const kNames[18] = {
        "Japan (NTSC)",  "USA (NTSC)",       "Europe (PAL)",     "Sweden (PAL)",      "Finland (PAL)",
        "Denmark (PAL)", "France (PAL)",     "Netherlands (PAL)", "Spain (PAL)",      "Germany (PAL)",
        "Italy (PAL)",   "China (PAL)",      "Indonesia (PAL)",  "Korea (NTSC)",      "Japan / USA (NTSC)",
        "Canada (NTSC)", "Brazil (NTSC)",    "Australia (PAL)",
    };
    return country < 18 ? kNames[country] : "Unknown (NTSC)";
}

bool country_is_pal(uint8_t country) { return (country >= 2 && country <= 12) || country == 17; }

std::string coprocessor_name(uint8_t kind, uint8_t dsp_variant) {
    const Chip& chip = chip_for(kind);
    if (chip.kind == kCoprocNone) return "";
    std::string name = std::string(" + ") + chip.name;
    if (chip.kind == kCoprocDsp) name += std::to_string(dsp_variant);
    return name;
}

std::string cartridge_chip_names(const Cartridge& c) {
    std::string names = coprocessor_name(c.coprocessor, c.dsp_variant);
    if (c.satellaview_base && c.coprocessor != kCoprocBsx) names += " + BSX";
    const std::string& title = c.header_title;
    if (title == "Super GAMEBOY" || title == "Super GAMEBOY2") names += " + SGB";
    if (title == "XBAND VIDEOGAME MODEM" || title == "XBAND JAPANESE MODEM") names += " + XBAND";
    return names;
}

bool header_checksum_matches(const Cartridge& c) {
    uint16_t header_sum = uint16_t(c.header[kHeaderChecksum] | (c.header[kHeaderChecksum + 1] << 8));
    return header_sum == c.computed_checksum;
}

std::string checksum_status(const Cartridge& c) {
    if (c.nes) return "N/A";
    if (c.database_info != kNotInDatabase && database_dump_status(c.database_info) == kDumpVerifiedGood) return "GOOD!";
    return header_checksum_matches(c) ? "OK" : "BAD";
}

RomInformation rom_information(const Cartridge& c) {
    RomInformation info;
    info.title = c.title;

    if (c.nes) {
        // "ROM + MMC1", "128K ROM + 128K VROM"
        const NesCartridgeInfo& n = c.nes_info;
        info.type = "ROM + " + nes_mapper_name(n.mapper);
        info.size = std::to_string(n.prg_size / 1024) + "K ROM";
        if (n.chr_size) info.size += " + " + std::to_string(n.chr_size / 1024) + "K VROM";
        info.country = country_name(c.country);
        info.license = licensee_name(c.licensee);
        info.version = "1." + std::to_string(c.version);
        info.checksum = checksum_status(c);
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X", c.crc32);
        info.crc32 = crc;
        return info;
    }

    const Board* board = find_board(c.pcb_id);
    if (board) {
        // The board names the layout; the chip still gets its name.
        info.type = board->name + cartridge_chip_names(c);
    } else {
        info.type = std::string(c.hirom ? "HIROM" : "LOROM") + cartridge_chip_names(c);
    }

    if (c.image_size > 128 * 1024) {
        info.size = std::to_string(c.image_size / 131072) + "MBIT ROM";
    } else {
        info.size = std::to_string(c.image_size / 128) + "KBIT ROM";
    }
    if (c.has_battery && c.sram_size) info.size += " + " + std::to_string(c.sram_size / 128) + "KBIT RAM";

    info.country = country_name(c.country);
    info.license = licensee_name(c.licensee);
    info.version = "1." + std::to_string(c.version);
    info.checksum = checksum_status(c);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08X", c.crc32);
    info.crc32 = crc;
    return info;
}

std::string rom_information_block(const RomInformation& info, const char* newline) {
    const std::pair<const char*, const std::string*> lines[] = {
        {"Title:    ", &info.title},   {"Type:     ", &info.type},    {"Size:     ", &info.size},
        {"Country:  ", &info.country}, {"License:  ", &info.license}, {"Version:  ", &info.version},
        {"Checksum: ", &info.checksum}, {"CRC32:    ", &info.crc32},
    };
    std::string block = "---------------- ROM Information ----------------";
    for (const auto& [label, value] : lines) block += newline + std::string(label) + *value;
    block += newline;
    block += newline;
    return block;
}

}  // namespace vt
