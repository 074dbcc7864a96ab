// What the loader reads from the internal header and the database: kind,
// battery RAM, board, region, checksum status, the ROM Information lines.
#include <gtest/gtest.h>

#include "cart/cartridge_map.h"
#include "cart/loader_support.h"
#include "core/driver.h"

namespace vt::test {
namespace {

std::vector<uint8_t> lorom(HeaderFields f = {}, size_t size = 512 * kKiB) {
    auto image = pattern_image(size);
    write_header(image, 0x7FC0, f);
    set_word(image, 0xFFFC, 0x0000);
    fix_checksum(image, 0x7FC0);
    return image;
}

std::vector<uint8_t> hirom(HeaderFields f = {}, size_t size = 512 * kKiB) {
    f.map_mode = 0x21;
    auto image = pattern_image(size);
    write_header(image, 0xFFC0, f);
    set_word(image, 0x7FFC, 0x0000);
    fix_checksum(image, 0xFFC0);
    return image;
}

HeaderFields with_type(uint8_t type, const char* title = "SYNTHETIC TEST") {
    HeaderFields f;
    f.cart_type = type;
    f.title = title;
    return f;
}

TEST(CartridgeKind, CartridgeTypeAndTitleChooseTheCoprocessor) {
    struct Case {
        HeaderFields fields;
        uint8_t kind;
        const char* type_text;
    };
    const Case cases[] = {
        {with_type(0x00), kCoprocNone, "LOROM"},
        {with_type(0x03), kCoprocDsp, "LOROM + DSP1"},
        {with_type(0x05, "DUNGEON MASTER"), kCoprocDsp, "LOROM + DSP2"},
        {with_type(0x03, "SD\xB6\xDE\xDD\xC0\xDE\xD1GX"), kCoprocDsp, "LOROM + DSP3"},
        {with_type(0x03, "TOP GEAR 3000"), kCoprocDsp, "LOROM + DSP4"},
        {with_type(0xF3), kCoprocCx4, "LOROM + CX4"},
        {with_type(0x25), kCoprocObc1, "LOROM + OBC1"},
        {with_type(0x34), kCoprocSa1, "HIROM + SA1"},
        {with_type(0x45), kCoprocSdd1, "LOROM + SDD1"},
        {with_type(0x1A), kCoprocSuperFx, "LOROM + SUPER-FX"},
        {with_type(0xF9), kCoprocSpc7110, "HIROM + SPC7110"},
        {with_type(0x00, "F1 ROC II"), kCoprocSt010, "LOROM + ST010"},
        {with_type(0x03, "2DAN MORITA SHOUGI"), kCoprocSt011, "LOROM + ST011"},
        {with_type(0x00, "NIDAN MORITASHOGI2"), kCoprocSt018, "LOROM + ST018"},
    };
    for (const Case& c : cases) {
        Loaded l = load_image(lorom(c.fields));
        ASSERT_TRUE(l.result.loaded()) << c.type_text;
        EXPECT_EQ(l.cart().coprocessor, c.kind) << c.type_text;
        EXPECT_EQ(rom_information(l.cart()).type, c.type_text);
    }
}

TEST(CartridgeKind, EveryCoprocessorWindowAnswersAndTheMachineRuns) {
    // Whatever each chip answers, a program that pokes its windows keeps
    // running.
    for (uint8_t type : {0x03, 0xF3, 0x25, 0x34, 0x45, 0x15, 0xF5}) {
        Loaded l = load_image(lorom(with_type(type)));
        ASSERT_TRUE(l.result.loaded());
        Machine& m = l.m();
        m.mem.open_bus = 0x5A;
        for (int bank : {0x00, 0x20, 0x30, 0x3F, 0x60, 0x70, 0xB0, 0xE0}) {
            for (uint16_t addr : {0x2200, 0x2300, 0x3000, 0x3800, 0x4800, 0x6000, 0x7F00, 0x8000}) {
                bus_read(m, uint8_t(bank), addr);
                bus_write(m, uint8_t(bank), addr, 0x00);
            }
        }
        run_frame(m);
    }
}

TEST(CartridgeKind, DspWindowFollowsTheMapAndTheRomSize) {
    HeaderFields f = with_type(0x03);
    f.rom_size = 10;
    Loaded l = load_image(lorom(f));
    EXPECT_EQ(dsp_placement(l.m()), DspPlacement::LoRomBanks20);
    // The DSP's ports, not ROM: its status, and DR $0080 while it waits.
    EXPECT_EQ(peek(l.m(), 0x20, 0xC000), 0x84);
    EXPECT_EQ(peek(l.m(), 0x20, 0x8000), 0x80);
    f.rom_size = 9;
    EXPECT_EQ(dsp_placement(load_image(lorom(f)).m()), DspPlacement::LoRomBanks30);
    f.rom_size = 11;
    EXPECT_EQ(dsp_placement(load_image(lorom(f)).m()), DspPlacement::LoRomBanks60);
    EXPECT_EQ(dsp_placement(load_image(hirom(f)).m()), DspPlacement::HiRom);
}

TEST(CartridgeKind, MemoryPackHeaderMakesASatellaviewCartridge) {
    HeaderFields f;
    f.sram_size = 0x20;
    f.country = 2;
    f.version = 3;
    auto image = pattern_image(512 * kKiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0xFFFC, 0x0000);
    fix_checksum(image, 0x7FC0);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().coprocessor, kCoprocBsx);
    EXPECT_EQ(l.cart().map_mode, 0x20);
    EXPECT_EQ(l.cart().rom_size, 10);
    EXPECT_EQ(l.cart().country, 0);
    EXPECT_EQ(l.cart().version, 0);
    EXPECT_EQ(rom_information(l.cart()).type, "LOROM + BSX");
    // The pack's sum leaves out $FFB0-$FFDF.
    uint32_t sum = 0;
    for (uint8_t b : image) sum += b;
    for (size_t i = 0x7FB0; i < 0x7FE0; i++) sum -= image[i];
    EXPECT_EQ(l.cart().computed_checksum, uint16_t(sum));
}

TEST(BatteryRam, LoRomBatteryRamSitsInBanks70To7FAndRepeatsInF0ToFF) {
    HeaderFields f = with_type(0x02);
    f.sram_size = 3;  // 8 KiB
    Loaded l = load_image(lorom(f));
    ASSERT_TRUE(l.result.loaded());
    EXPECT_TRUE(l.cart().has_battery);
    EXPECT_EQ(l.cart().sram_size, 8192u);
    EXPECT_EQ(l.cart().sram_mask, 8191u);
    Machine& m = l.m();
    bus_write(m, 0x70, 0x0010, 0xA1);
    EXPECT_EQ(m.cart.sram[0x10], 0xA1);
    EXPECT_EQ(peek(m, 0x70, 0x2010), 0xA1);  // 8 KiB mirror
    EXPECT_EQ(peek(m, 0xF0, 0x0010), 0xA1);
    EXPECT_EQ(peek(m, 0x7D, 0x0010), 0xA1);
    m.mem.open_bus = 0x33;
    EXPECT_EQ(peek(m, 0x40, 0x0010), 0x33);  // no ROM in the lower halves of $40-$6F
    EXPECT_EQ(rom_information(l.cart()).size, "4MBIT ROM + 64KBIT RAM");
}

TEST(BatteryRam, SizeByteSevenSplitsBanks70To73IntoFourWindows) {
    HeaderFields f = with_type(0x02);
    f.sram_size = 7;
    Loaded l = load_image(lorom(f));
    Machine& m = l.m();
    EXPECT_EQ(m.cart.sram_size, 32768u);
    bus_write(m, 0x71, 0x0001, 0x11);
    bus_write(m, 0x73, 0x0001, 0x33);
    EXPECT_EQ(m.cart.sram[0x8001], 0x11);
    EXPECT_EQ(m.cart.sram[0x18001], 0x33);
    EXPECT_EQ(peek(m, 0x75, 0x0001), 0x11);  // bank modulo 4
}

TEST(BatteryRam, HiRomBatteryRamIsAt6000InBanks20To3FAndA0ToBF) {
    HeaderFields f = with_type(0x02);
    f.sram_size = 1;  // 2 KiB
    Loaded l = load_image(hirom(f));
    Machine& m = l.m();
    EXPECT_EQ(m.cart.sram_size, 2048u);
    bus_write(m, 0x20, 0x6005, 0x42);
    EXPECT_EQ(m.cart.sram[0x005], 0x42);
    // (bank x 8192 + address - $6000) AND mask: every bank sees the same 2 KiB.
    EXPECT_EQ(peek(m, 0xA1, 0x6005), 0x42);
    EXPECT_EQ(peek(m, 0x3F, 0x6805), 0x42);
    m.mem.open_bus = 0x99;
    EXPECT_EQ(peek(m, 0x10, 0x6005), 0x99);  // only banks $20-$3F, $A0-$BF
}

TEST(BatteryRam, CoprocessorsFixTheirOwnSizes) {
    struct Case {
        uint8_t type;
        const char* title;
        uint8_t size_byte;
        uint32_t size;
        bool battery;
    };
    const Case cases[] = {
        {0x35, "SYNTHETIC", 3, 256 * 1024, true},     // SA-1
        {0x1A, "SYNTHETIC", 5, 128 * 1024, true},     // Super FX
        {0x13, "SYNTHETIC", 5, 128 * 1024, false},    // Super FX without battery
        {0xF5, "SYNTHETIC", 3, 8 * 1024, true},       // SPC7110: 1024 << 3, battery forced
        {0xF5, "SYNTHETIC", 200, 256 * 1024, true},   // a size byte beyond the buffer
        {0x00, "F1 ROC II", 0, 4 * 1024, true},       // ST010
        {0x25, "SYNTHETIC", 3, 8 * 1024, true},       // OBC1: battery forced
        {0x02, "SYNTHETIC", 6, 32 * 1024, true},      // above 4: 32 KiB
    };
    for (const Case& c : cases) {
        HeaderFields f = with_type(c.type, c.title);
        f.sram_size = c.size_byte;
        Loaded l = load_image(lorom(f));
        EXPECT_EQ(l.cart().sram_size, c.size) << int(c.type) << " " << int(c.size_byte);
        EXPECT_EQ(l.cart().has_battery, c.battery) << int(c.type);
    }
}

TEST(BatteryRam, SuperFxRamFillsBanks70And71) {
    HeaderFields f = with_type(0x1A);
    Loaded l = load_image(lorom(f));
    Machine& m = l.m();
    bus_write(m, 0x71, 0x8003, 0x5C);
    EXPECT_EQ(m.cart.sram[0x18003], 0x5C);
    bus_write(m, 0x00, 0x6004, 0x6D);  // 8 KiB window at $6000
    EXPECT_EQ(m.cart.sram[0x0004], 0x6D);
    EXPECT_EQ(peek(m, 0x70, 0x0004), 0x6D);
    m.mem.open_bus = 0x12;
    EXPECT_EQ(peek(m, 0x72, 0x0004), 0x12);
}

TEST(BatteryRam, XbandModemHasRamAtE0MirroredAt60AndAnswersInBankFB) {
    HeaderFields f = with_type(0x00, "XBAND VIDEOGAME MODEM");
    Loaded l = load_image(lorom(f));
    Machine& m = l.m();
    EXPECT_EQ(m.cart.sram_size, 65536u);
    bus_write(m, 0xE0, 0x9000, 0x21);
    EXPECT_EQ(peek(m, 0x60, 0x9000), 0x21);
    EXPECT_EQ(peek(m, 0xFB, 0xC1B2), 0x46);
    EXPECT_EQ(peek(m, 0xFB, 0xC1BC), 0x08);
    EXPECT_EQ(peek(m, 0xFB, 0xC000), 0x00);
}

TEST(Region, CountryChoosesLinesSoundLinesAndStat78) {
    struct Case {
        uint8_t country;
        bool pal;
    };
    for (Case c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{12, true}, Case{13, false}, Case{17, true},
                   Case{18, false}}) {
        HeaderFields f;
        f.country = c.country;
        Loaded l = load_image(lorom(f));
        EXPECT_EQ(l.m().timing.lines_per_frame, c.pal ? 312 : 262) << int(c.country);
        EXPECT_EQ(l.m().timing.sound_lines, c.pal ? 294 : 244);
        EXPECT_EQ(l.m().ppu.stat78, c.pal ? 0x73 : 0x63);
    }
    LoadOptions options;
    options.region = RegionOverride::Pal;
    Loaded forced = load_image(lorom(), options);
    EXPECT_EQ(forced.m().timing.lines_per_frame, 312);
}

TEST(RomInformation, LinesForAPlainCartridge) {
    HeaderFields f;
    f.title = "HELLO\x01WORLD";
    f.licensee = 8;
    f.version = 2;
    f.country = 0;
    auto image = lorom(f, 1536 * kKiB);
    image[0x100] ^= 0x01;  // break the checksum
    Loaded l = load_image(image);
    RomInformation info = rom_information(l.cart());
    EXPECT_EQ(info.title, "HELLO WORLD");
    EXPECT_EQ(info.type, "LOROM");
    EXPECT_EQ(info.size, "12MBIT ROM");
    EXPECT_EQ(info.country, "Japan (NTSC)");
    EXPECT_EQ(info.license, "Capcom");
    EXPECT_EQ(info.version, "1.2");
    EXPECT_EQ(info.checksum, "BAD");
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08X", l.cart().crc32);
    EXPECT_EQ(info.crc32, crc);

    Loaded small = load_image(lorom(HeaderFields{}, 96 * kKiB));
    EXPECT_EQ(rom_information(small.cart()).size, "768KBIT ROM");
}

TEST(RomInformation, UnknownCountryClearsLicenseeAndVersion) {
    HeaderFields f;
    f.country = 18;
    f.licensee = 8;
    f.version = 5;
    RomInformation info = rom_information(load_image(lorom(f)).cart());
    EXPECT_EQ(info.country, "Unknown (NTSC)");
    EXPECT_EQ(info.license, "Not Licensed");
    EXPECT_EQ(info.version, "1.0");
}

TEST(RomInformation, ExtendedLicenseeIsTwoHexadecimalDigitsBeforeTheHeader) {
    HeaderFields f;
    f.licensee = 0x33;
    auto image = pattern_image(256 * kKiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0xFFFC, 0);
    image[0x7FB0] = '0';
    image[0x7FB1] = '8';
    EXPECT_EQ(rom_information(load_image(image).cart()).license, "Capcom");
    image[0x7FB1] = 'g';  // not a digit: $33 stays
    EXPECT_EQ(rom_information(load_image(image).cart()).license, "Nintendo");
    image[0x7FB0] = 'F';
    image[0x7FB1] = 'F';
    EXPECT_EQ(load_image(image).cart().licensee, 0xFF);
}

TEST(RomInformation, UnlistedLicenseeShowsItsNumber) {
    HeaderFields f;
    f.licensee = 2;
    EXPECT_EQ(rom_information(load_image(lorom(f)).cart()).license, "Unknown 2");
}

TEST(RomInformation, BlockHasTheLogLayout) {
    RomInformation info{"T", "LOROM", "4MBIT ROM", "USA (NTSC)", "Nintendo", "1.0", "OK", "0000ABCD"};
    EXPECT_EQ(rom_information_block(info, "\r\n"),
              "---------------- ROM Information ----------------\r\n"
              "Title:    T\r\n"
              "Type:     LOROM\r\n"
              "Size:     4MBIT ROM\r\n"
              "Country:  USA (NTSC)\r\n"
              "License:  Nintendo\r\n"
              "Version:  1.0\r\n"
              "Checksum: OK\r\n"
              "CRC32:    0000ABCD\r\n"
              "\r\n");
}

TEST(WorkRamFill, ConfiguredByteOnlyForAGoodChecksum) {
    LoadOptions options;
    options.wram_fill = 0xAA;
    Loaded good = load_image(lorom(), options);
    EXPECT_EQ(good.m().mem.wram[0x1234], 0xAA);

    auto bad = lorom();
    bad[0x100] ^= 0xFF;
    Loaded l = load_image(bad, options);
    EXPECT_EQ(rom_information(l.cart()).checksum, "BAD");
    EXPECT_EQ(l.m().mem.wram[0x1234], 0x00);
}

}  // namespace
}  // namespace vt::test
