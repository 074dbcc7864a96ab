// Copier planning: block order, size limits, Game Doctor file end points and
// the 512-byte headers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frontend/copier_plan.h"

namespace vt {
namespace {

CopierCartridge cart(uint8_t map_mode, uint32_t last_bank, bool hirom) {
    CopierCartridge c;
    c.map_mode = map_mode;
    c.last_bank = last_bank;
    c.hirom = hirom;
    return c;
}

struct PlanCase {
    const char* name;
    CopierDevice device;
    uint8_t map_mode;
    bool hirom;
    uint32_t last_bank;
    size_t blocks;
    const char* status;
    std::vector<uint32_t> file_ends;
    bool forced_split;
};

const PlanCase kPlanCases[] = {
    {"wildcard 4 MiB LoROM", CopierDevice::SuperWildcard, 0x20, false, 127, 512, kCopierReady, {}, false},
    {"wildcard LoROM over 32 Mbit", CopierDevice::SuperWildcard, 0x20, false, 128, 0, kCopierTooLarge, {}, false},
    {"wildcard 4 MiB HiROM", CopierDevice::SuperWildcard, 0x31, true, 63, 512, kCopierReady, {}, false},
    {"wildcard HiROM over 32 Mbit", CopierDevice::SuperWildcard, 0x21, true, 64, 0, kCopierTooLarge, {}, false},
    {"wildcard 6 MiB extended HiROM", CopierDevice::SuperWildcard, 0x25, true, 95, 768, kCopierReady, {}, false},
    {"wildcard extended mode, LoROM image", CopierDevice::SuperWildcard, 0x25, false, 95, 0, kCopierModeNotSupported,
     {}, false},
    {"wildcard map mode 22", CopierDevice::SuperWildcard, 0x22, false, 15, 0, kCopierModeNotSupported, {}, false},
    {"doctor 24 Mbit HiROM", CopierDevice::GameDoctor, 0x21, true, 47, 384, kCopierReady, {128, 256, 384}, false},
    {"doctor 20 Mbit HiROM", CopierDevice::GameDoctor, 0x21, true, 39, 320, kCopierReady, {128, 160, 288, 320},
     true},
    {"doctor 12 Mbit HiROM", CopierDevice::GameDoctor, 0x21, true, 23, 192, kCopierReady, {96, 192}, true},
    {"doctor 8 Mbit HiROM", CopierDevice::GameDoctor, 0x31, true, 15, 128, kCopierReady, {128}, false},
    {"doctor 16 Mbit HiROM", CopierDevice::GameDoctor, 0x21, true, 31, 256, kCopierReady, {128, 256}, false},
    {"doctor 12 Mbit LoROM", CopierDevice::GameDoctor, 0x20, false, 47, 192, kCopierReady, {128, 192}, false},
    {"doctor 10 Mbit LoROM", CopierDevice::GameDoctor, 0x20, false, 39, 160, kCopierReady, {128, 160}, true},
    {"doctor LoROM over 32 Mbit", CopierDevice::GameDoctor, 0x30, false, 128, 0, kCopierTooLarge, {}, false},
    {"doctor extended HiROM", CopierDevice::GameDoctor, 0x25, true, 95, 0, kCopierModeNotSupported, {}, false},
};

TEST(CopierPlan, BlockCountsLimitsAndFileEnds) {
    for (const PlanCase& t : kPlanCases) {
        SCOPED_TRACE(t.name);
        const CopierPlan p = plan_copier_transfer(cart(t.map_mode, t.last_bank, t.hirom), t.device);
        EXPECT_EQ(p.blocks.size(), t.blocks);
        EXPECT_EQ(p.status, t.status);
        EXPECT_EQ(p.supported, t.blocks != 0);
        EXPECT_EQ(p.size_text, std::to_string(t.blocks) + " blocks");
        if (t.device == CopierDevice::GameDoctor) {
            EXPECT_EQ(p.file_ends, t.file_ends);
            EXPECT_EQ(p.forced_split, t.forced_split);
        }
    }
}

TEST(CopierPlan, WildcardSendsHiRomLowerHalvesBeforeUpperHalves) {
    const CopierPlan p = plan_copier_transfer(cart(0x21, 1, true), CopierDevice::SuperWildcard);
    const std::vector<CopierBlock> expected = {
        {0x40, 0x0000}, {0x40, 0x2000}, {0x40, 0x4000}, {0x40, 0x6000}, {0x00, 0x8000}, {0x00, 0xA000},
        {0x00, 0xC000}, {0x00, 0xE000}, {0x41, 0x0000}, {0x41, 0x2000}, {0x41, 0x4000}, {0x41, 0x6000},
        {0x01, 0x8000}, {0x01, 0xA000}, {0x01, 0xC000}, {0x01, 0xE000},
    };
    EXPECT_EQ(p.blocks, expected);

    const CopierPlan lo = plan_copier_transfer(cart(0x20, 2, false), CopierDevice::SuperWildcard);
    ASSERT_EQ(lo.blocks.size(), 12u);
    EXPECT_EQ(lo.blocks[4], (CopierBlock{0x01, 0x8000}));
    EXPECT_EQ(lo.blocks[11], (CopierBlock{0x02, 0xE000}));
}

TEST(CopierPlan, ExtendedHiRomStartsAtBankC0ThenBank40) {
    const CopierPlan p = plan_copier_transfer(cart(0x35, 95, true), CopierDevice::SuperWildcard);
    ASSERT_EQ(p.blocks.size(), 768u);
    EXPECT_EQ(p.blocks[0], (CopierBlock{0xC0, 0x0000}));
    EXPECT_EQ(p.blocks[7], (CopierBlock{0xC0, 0xE000}));
    EXPECT_EQ(p.blocks[511], (CopierBlock{0xFF, 0xE000}));
    EXPECT_EQ(p.blocks[512], (CopierBlock{0x40, 0x0000}));
    EXPECT_EQ(p.blocks[767], (CopierBlock{0x5F, 0xE000}));
}

TEST(CopierPlan, GameDoctorFillsTheHalfFileWithTheLastBanksLowerHalves) {
    const CopierPlan p = plan_copier_transfer(cart(0x21, 47, true), CopierDevice::GameDoctor);
    ASSERT_EQ(p.blocks.size(), 384u);
    EXPECT_EQ(p.blocks[0], (CopierBlock{0x00, 0x8000}));
    EXPECT_EQ(p.blocks[191], (CopierBlock{47, 0xE000}));
    EXPECT_EQ(p.blocks[192], (CopierBlock{0x40 + 32, 0x0000}));  // banks 32-47 fill the second file
    EXPECT_EQ(p.blocks[255], (CopierBlock{0x40 + 47, 0x6000}));
    EXPECT_EQ(p.blocks[256], (CopierBlock{0x40, 0x0000}));  // then banks 0-31 from the start
    EXPECT_EQ(p.blocks[383], (CopierBlock{0x40 + 31, 0x6000}));
}

TEST(CopierPlan, WindowTexts) {
    CopierCartridge c = cart(0x31, 15, true);
    CopierPlan p = plan_copier_transfer(c, CopierDevice::SuperWildcard);
    EXPECT_EQ(p.mode_text, "Mode 21 / High Speed");
    EXPECT_EQ(p.type_text, "ROM");
    EXPECT_EQ(p.status, "Ready");
    c = cart(0x20, 15, false);
    c.has_battery = true;
    c.dsp = true;
    p = plan_copier_transfer(c, CopierDevice::SuperWildcard);
    EXPECT_EQ(p.mode_text, "Mode 20");
    EXPECT_EQ(p.type_text, "ROM + BackupRAM + DSP");
    EXPECT_EQ(plan_copier_transfer(cart(0x2A, 3, false), CopierDevice::SuperWildcard).mode_text, "Mode 2a");
}

TEST(CopierHeader, WildcardModeByteCarriesMapAndBatteryRam) {
    struct Case {
        bool hirom;
        bool battery;
        uint8_t code;
        uint8_t mode;
    };
    const Case cases[] = {
        {false, true, 1, 0x08}, {false, true, 3, 0x04}, {false, true, 5, 0x00}, {false, false, 0, 0x2C},
        {false, true, 2, 0x2C}, {true, true, 1, 0x38},  {true, true, 5, 0x30},  {true, false, 0, 0x3C},
        {false, false, 3, 0x04},  // RAM without a battery still needs its RAM
    };
    for (const Case& t : cases) {
        CopierCartridge c = cart(t.hirom ? 0x21 : 0x20, 7, t.hirom);
        c.has_battery = t.battery;
        c.ram_size_code = t.code;
        const CopierHeaderBlock h = build_copier_header(c, CopierDevice::SuperWildcard, false);
        EXPECT_EQ(h[2], t.mode) << "hirom " << t.hirom << " code " << int(t.code);
        EXPECT_EQ(h[0], 0);
        EXPECT_EQ(h[8], 0xAA);
        EXPECT_EQ(h[9], 0xBB);
        EXPECT_EQ(h[10], 0x04);
    }
}

std::vector<uint8_t> bytes(const CopierHeaderBlock& h, int from, int count) {
    return std::vector<uint8_t>(h.begin() + from, h.begin() + from + count);
}

TEST(CopierHeader, GameDoctorMapRows) {
    // 24 Mbit HiROM with 8 KiB of battery RAM, the second file filled up.
    CopierCartridge c = cart(0x21, 47, true);
    c.has_battery = true;
    c.ram_size_code = 3;
    CopierHeaderBlock h = build_copier_header(c, CopierDevice::GameDoctor, false);
    EXPECT_EQ(std::memcmp(h.data(), "GAME DOCTOR SF 3", 16), 0);
    EXPECT_EQ(h[16], 0x81);
    EXPECT_EQ(bytes(h, 17, 8), (std::vector<uint8_t>{0x20, 0x21, 0x22, 0x22, 0x20, 0x21, 0x22, 0x22}));
    EXPECT_EQ(bytes(h, 25, 8), bytes(h, 17, 8));
    // Lower halves of banks 0-31 in the third file, of banks 32-47 at the
    // end of the second.
    EXPECT_EQ(bytes(h, 33, 8), (std::vector<uint8_t>{0x24, 0x25, 0x23, 0x23, 0x24, 0x25, 0x23, 0x23}));
    EXPECT_EQ(h[41], 0x0C);
    EXPECT_EQ(h[42], 0x0C);

    // 20 Mbit HiROM: the upper halves' file closes early, the lower halves
    // start at the next 1 MiB.
    c = cart(0x21, 39, true);
    h = build_copier_header(c, CopierDevice::GameDoctor, true);
    EXPECT_EQ(h[16], 0x80);
    EXPECT_EQ(bytes(h, 33, 4), (std::vector<uint8_t>{0x24, 0x25, 0x26, 0x26}));
    EXPECT_EQ(h[41], 0);

    // 8 Mbit HiROM, one file: lower halves in its second 512 KiB.
    h = build_copier_header(cart(0x21, 15, true), CopierDevice::GameDoctor, false);
    EXPECT_EQ(bytes(h, 33, 8), (std::vector<uint8_t>(8, 0x21)));

    // LoROM: battery RAM in the lower halves of banks $70-$7F, otherwise
    // the upper rows repeat.
    c = cart(0x20, 47, false);
    c.has_battery = true;
    c.ram_size_code = 1;
    h = build_copier_header(c, CopierDevice::GameDoctor, false);
    EXPECT_EQ(h[16], 0x82);
    EXPECT_EQ(bytes(h, 33, 8), (std::vector<uint8_t>{0, 0, 0, 0x40, 0, 0, 0, 0x40}));
    c.has_battery = false;
    h = build_copier_header(c, CopierDevice::GameDoctor, false);
    EXPECT_EQ(bytes(h, 33, 8), (std::vector<uint8_t>{0x20, 0x21, 0x22, 0x22, 0x20, 0x21, 0x22, 0x22}));
}

TEST(CopierHeader, GameDoctorBaseName) {
    EXPECT_EQ(game_doctor_base_name(384, 7), "SF24007");
    EXPECT_EQ(game_doctor_base_name(128, 999), "SF8999");
    EXPECT_EQ(game_doctor_base_name(160, 1042), "SF10042");
}

}  // namespace
}  // namespace vt
