#include "frontend/copier_plan.h"

#include <cstdio>
#include <cstring>

#include "cart/cartridge.h"

namespace vt {

namespace {

// Map modes with a layout the copiers understand.
bool plain_map_mode(uint8_t mode) { return mode == 0x20 || mode == 0x21 || mode == 0x30 || mode == 0x31; }
bool extended_map_mode(uint8_t mode) { return mode == 0x24 || mode == 0x25 || mode == 0x34 || mode == 0x35; }

// Both copiers hold at most 32 Mbit in these modes: 64 HiROM or 128 LoROM banks.
bool within_bank_limit(const CopierCartridge& c) { return c.last_bank < (c.hirom ? 64u : 128u); }

void add_blocks(std::vector<CopierBlock>& blocks, uint32_t bank, uint16_t first, int count) {
    for (int k = 0; k < count; k++) blocks.push_back({uint8_t(bank), uint16_t(first + k * kCopierBlockSize)});
}

// The Super Wildcard takes HiROM images as each bank's lower half then its
// upper half; LoROM images as the upper halves, where the ROM appears.
void plan_wildcard(const CopierCartridge& c, CopierPlan& p) {
    for (uint32_t i = 0; i <= c.last_bank; i++) {
        if (c.hirom) add_blocks(p.blocks, 0x40 + i, 0x0000, 4);
        add_blocks(p.blocks, i, 0x8000, 4);
    }
}

// Extended HiROM: the first 4 MiB sit in banks $C0-$FF, the rest in $40 up.
void plan_wildcard_extended(const CopierCartridge& c, CopierPlan& p) {
    for (uint32_t bank = 0xC0; bank <= 0xFF; bank++) add_blocks(p.blocks, bank, 0x0000, 8);
    for (uint32_t i = 64; i <= c.last_bank; i++) add_blocks(p.blocks, 0x40 + (i - 64), 0x0000, 8);
}

// Blocks of the Game Doctor plan, closing a 1 MiB file every 128 blocks.
struct GameDoctorFiles {
    CopierPlan& plan;
    uint32_t next_end = kGameDoctorFileBlocks;

    void add(uint32_t bank, uint16_t first) {
        for (int k = 0; k < 4; k++) {
            plan.blocks.push_back({uint8_t(bank), uint16_t(first + k * kCopierBlockSize)});
            if (count() == next_end) {
                plan.file_ends.push_back(count());
                next_end += kGameDoctorFileBlocks;
            }
        }
    }
    uint32_t count() const { return uint32_t(plan.blocks.size()); }
};

// The Game Doctor loads every file at the next 1 MiB of its memory. All
// upper halves come first; a HiROM image's lower halves follow. When the
// upper halves end half way into a file, the lower halves of the last 16
// banks fill that file, so the memory has no gap; otherwise the file is
// closed early (a forced split) and the lower halves start a new one.
void plan_game_doctor(const CopierCartridge& c, CopierPlan& p) {
    GameDoctorFiles files{p};
    for (uint32_t i = 0; i <= c.last_bank; i++) files.add(i, 0x8000);
    const bool half_full = files.count() % kGameDoctorFileBlocks == kGameDoctorFileBlocks / 2;
    if (!half_full && files.count() % kGameDoctorFileBlocks != 0) {
        p.forced_split = true;
        p.file_ends.push_back(files.count());
        files.next_end = files.count() + kGameDoctorFileBlocks;
    }
    if (c.hirom) {
        uint32_t rest_end = c.last_bank + 1;
        if (half_full) {
            // Half full needs (last bank + 1) * 4 = 64 modulo 128: at least 16 banks.
            for (uint32_t i = c.last_bank - 15; i <= c.last_bank; i++) files.add(0x40 + i, 0x0000);
            rest_end = c.last_bank - 15;
        }
        for (uint32_t i = 0; i < rest_end; i++) files.add(0x40 + i, 0x0000);
    }
    if (p.file_ends.empty() || p.file_ends.back() != files.count()) p.file_ends.push_back(files.count());
}

std::string mode_text(uint8_t map_mode) {
    char text[32];
    std::snprintf(text, sizeof text, "Mode %02x", map_mode & 0x2F);
    std::string s = text;
    if (map_mode & 0x10) s += " / High Speed";
    return s;
}

std::string type_text(const CopierCartridge& c) {
    std::string s = "ROM";
    if (c.has_battery) s += " + BackupRAM";
    if (c.dsp) s += " + DSP";
    return s;
}

// Game Doctor memory-map rows, indexed by (last bank) / 16. Row A maps the
// upper halves of bank groups $00-$7F, rows B and C the lower halves of
// $40-$7F for HiROM: B when the lower halves start a new file after a
// forced split, C when they filled the half-full file first.
constexpr uint8_t kRowA[8][8] = {
    {0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}, {0x20, 0x21, 0x20, 0x21, 0x20, 0x21, 0x20, 0x21},
    {0x20, 0x21, 0x22, 0x22, 0x20, 0x21, 0x22, 0x22}, {0x20, 0x21, 0x22, 0x23, 0x20, 0x21, 0x22, 0x23},
    {0x20, 0x21, 0x22, 0x23, 0x24, 0x24, 0x24, 0x24}, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x24, 0x25},
    {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27}, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27},
};
constexpr uint8_t kRowB[4][4] = {
    {0x22, 0x22, 0x22, 0x22}, {0x22, 0x23, 0x22, 0x23}, {0x24, 0x25, 0x26, 0x26}, {0x24, 0x25, 0x26, 0x27}};
constexpr uint8_t kRowC[4][4] = {
    {0x21, 0x21, 0x21, 0x21}, {0x22, 0x23, 0x22, 0x23}, {0x24, 0x25, 0x23, 0x23}, {0x24, 0x25, 0x26, 0x27}};

// The copiers size their cartridge RAM from the header's RAM size code.
uint8_t ram_code(const CopierCartridge& c) { return c.ram_size_code; }

void build_wildcard_header(const CopierCartridge& c, CopierHeaderBlock& h) {
    uint8_t mode = c.hirom ? 0x30 : 0x00;
    switch (ram_code(c)) {
        case 1: mode += 0x08; break;  // 2 KiB
        case 3: mode += 0x04; break;  // 8 KiB
        case 5: break;                // 32 KiB
        default: mode |= 0x2C; break; // no cartridge RAM
    }
    h[2] = mode;
    h[8] = 0xAA;
    h[9] = 0xBB;
    h[10] = 0x04;
}

void build_game_doctor_header(const CopierCartridge& c, bool forced_split, CopierHeaderBlock& h) {
    std::memcpy(h.data(), "GAME DOCTOR SF 3", 16);
    const uint8_t code = ram_code(c);
    h[16] = code == 1 ? 0x82 : code == 3 ? 0x81 : 0x80;
    if (!plain_map_mode(c.map_mode)) return;
    const uint32_t index = c.last_bank / 16;
    if (index >= 8) return;
    std::memcpy(&h[17], kRowA[index], 8);
    std::memcpy(&h[25], &h[17], 8);
    if (!c.hirom) {
        if (c.has_battery) h[36] = 0x40;
        else std::memcpy(&h[33], &h[21], 4);
    } else if (index < 4) {
        std::memcpy(&h[33], forced_split ? kRowB[index] : kRowC[index], 4);
    }
    std::memcpy(&h[37], &h[33], 4);
    if (c.hirom && c.has_battery) {
        h[41] = 0x0C;
        h[42] = 0x0C;
    }
}

}  // namespace

CopierCartridge copier_cartridge(const Cartridge& cart) {
    CopierCartridge c;
    c.map_mode = cart.map_mode;
    c.hirom = cart.hirom;
    c.last_bank = cart.last_bank;
    c.has_battery = cart.has_battery;
    c.ram_size_code = cart.sram_size_byte;
    c.dsp = cart.coprocessor == kCoprocDsp;
    return c;
}

CopierPlan plan_copier_transfer(const CopierCartridge& c, CopierDevice device) {
    CopierPlan p;
    p.mode_text = mode_text(c.map_mode);
    p.type_text = type_text(c);
    if (plain_map_mode(c.map_mode)) {
        if (!within_bank_limit(c)) {
            p.status = kCopierTooLarge;
        } else if (device == CopierDevice::SuperWildcard) {
            plan_wildcard(c, p);
        } else {
            plan_game_doctor(c, p);
        }
    } else if (device == CopierDevice::SuperWildcard && extended_map_mode(c.map_mode) && c.hirom) {
        plan_wildcard_extended(c, p);
    } else {
        p.status = kCopierModeNotSupported;
    }
    p.supported = !p.blocks.empty();
    p.size_text = std::to_string(p.blocks.size()) + " blocks";
    return p;
}

CopierHeaderBlock build_copier_header(const CopierCartridge& c, CopierDevice device, bool forced_split) {
    CopierHeaderBlock h{};
    if (device == CopierDevice::SuperWildcard) build_wildcard_header(c, h);
    else build_game_doctor_header(c, forced_split, h);
    return h;
}

std::string game_doctor_base_name(uint32_t block_count, uint32_t number) {
    const uint32_t megabits = (block_count + 15) / 16;  // 16 blocks of 8 KiB per megabit
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03u", number % 1000);
    return "SF" + std::to_string(megabits) + digits;
}

}  // namespace vt
