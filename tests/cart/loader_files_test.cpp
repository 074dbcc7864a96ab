// The files around a load: split parts, Game Doctor sets, the database,
// "autoexec.bin", "BS-X.SFC", bad input, over-dumps and the battery RAM of
// the previous cartridge.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "cart/game_database.h"
#include "cart/loader_support.h"
#include "core/crc32.h"
#include "core/driver.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

constexpr size_t kBlock = 32 * kKiB;

std::vector<uint8_t> lorom(size_t size = 512 * kKiB, HeaderFields f = {}) {
    auto image = pattern_image(size);
    write_header(image, 0x7FC0, f);
    if (image.size() >= 0x10000) set_word(image, 0xFFFC, 0x0000);  // not a HiROM vector
    fix_checksum(image, 0x7FC0);
    return image;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(v >> (8 * i)));
}

// A database laid out by hand: entries, then titles at the given offsets.
std::vector<uint8_t> database(const std::vector<DatabaseEntry>& entries) {
    std::vector<uint8_t> db;
    put32(db, uint32_t(entries.size()));
    std::vector<uint8_t> titles;
    for (const DatabaseEntry& e : entries) {
        put32(db, e.size);
        put32(db, e.crc32);
        put32(db, uint32_t(titles.size()));
        put32(db, e.info);
        titles.push_back(uint8_t(e.title.size()));
        titles.insert(titles.end(), e.title.begin(), e.title.end());
    }
    db.insert(db.end(), titles.begin(), titles.end());
    return db;
}

// ---------------------------------------------------------------------------
// Split images

TEST(SplitImage, FfePartsAreJoinedAndSummedWithoutTheirHeaders) {
    auto image = lorom(1 * kMiB);
    std::vector<uint8_t> first(image.begin(), image.begin() + long(512 * kKiB));
    std::vector<uint8_t> second(image.begin() + long(512 * kKiB), image.end());
    MemoryFiles files;
    files.files["/r/game.1"] = with_header(ffe_header(true), first);
    files.files["/r/game.2"] = with_header(ffe_header(false), second);
    Loaded l = load_from(files, "/r/game.1");
    ASSERT_TRUE(l.result.loaded()) << l.result.message;
    EXPECT_FALSE(l.result.incomplete);
    EXPECT_EQ(l.cart().image_size, 1 * kMiB);
    EXPECT_EQ(l.cart().crc32, crc32(image.data(), image.size()));
    EXPECT_EQ(peek(l.m(), 0x1F, 0x8000), image[31 * kBlock]);
    EXPECT_EQ(rom_information(l.cart()).checksum, "OK");
}

TEST(SplitImage, MissingPartLoadsWhatWasReadAndSaysSo) {
    auto image = lorom(1 * kMiB);
    std::vector<uint8_t> first(image.begin(), image.begin() + long(512 * kKiB));
    MemoryFiles files;
    files.files["/r/game.1"] = with_header(ffe_header(true), first);
    Loaded l = load_from(files, "/r/game.1");
    EXPECT_TRUE(l.result.loaded());
    EXPECT_TRUE(l.result.incomplete);
    EXPECT_EQ(l.result.message, kSplitPartMissing);
    EXPECT_EQ(l.cart().image_size, 512 * kKiB);
}

TEST(SplitImage, PartWithoutHeaderEndsTheSet) {
    auto image = lorom(1 * kMiB);
    MemoryFiles files;
    files.files["/r/game.smc"] = with_header(ffe_header(true), {image.begin(), image.begin() + long(512 * kKiB)});
    files.files["/r/game.2"] = {image.begin() + long(512 * kKiB), image.end()};
    files.files["/r/game.3"] = lorom(32 * kKiB);  // must not be read
    Loaded l = load_from(files, "/r/game.smc");
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().image_size, 1 * kMiB);
}

// ---------------------------------------------------------------------------
// Game Doctor

// A Game Doctor header: map bytes 0-15 for the upper halves of each group of
// 16 banks, 16-23 for the lower halves of $40, $50, $60, $70, $C0, ... $F0.
std::vector<uint8_t> gd3_header(std::initializer_list<std::pair<int, uint8_t>> map, uint8_t sram = 0,
                                uint16_t sram_groups = 0) {
    std::vector<uint8_t> h(512, 0);
    std::memcpy(h.data(), "GAME DOCTOR SF 3", 16);
    h[16] = sram;
    for (auto [index, value] : map) h[size_t(17 + index)] = value;
    h[41] = uint8_t(sram_groups);
    h[42] = uint8_t(sram_groups >> 8);
    return h;
}

TEST(GameDoctor, MapBytesPlaceHalfMegabyteUnitsAndBatteryRam) {
    auto image = lorom(1 * kMiB);
    // Banks $00-$0F: first 512 KiB, $10-$1F: second, $80-$9F the same,
    // $70-$7F upper halves battery RAM; 8 KiB of it, also at $6000 of $20-$2F.
    auto header = gd3_header({{0, 0x20}, {1, 0x21}, {8, 0x20}, {9, 0x21}, {7, 0x40}}, 0x81, 1u << 2);
    MemoryFiles files;
    files.files["/r/SF8TESTA.048"] = with_header(header, image);
    Loaded l = load_from(files, "/r/SF8TESTA.048");
    ASSERT_TRUE(l.result.loaded()) << l.result.message;
    Machine& m = l.m();
    EXPECT_TRUE(m.cart.gd3);
    EXPECT_EQ(m.cart.copier_header, CopierHeader::GameDoctor);
    EXPECT_EQ(m.cart.image_size, 1 * kMiB);
    EXPECT_EQ(peek(m, 0x00, 0x8000), image[0]);
    EXPECT_EQ(peek(m, 0x05, 0x8123), image[5 * kBlock + 0x123]);
    EXPECT_EQ(peek(m, 0x10, 0x8123), image[16 * kBlock + 0x123]);
    EXPECT_EQ(peek(m, 0x9F, 0xFFFF), image[32 * kBlock - 1]);
    m.mem.open_bus = 0x4E;
    EXPECT_EQ(peek(m, 0x20, 0x8000), 0x4E);  // map byte 0: nothing
    EXPECT_EQ(m.cart.sram_size, 8192u);
    bus_write(m, 0x70, 0x8005, 0x61);
    EXPECT_EQ(m.cart.sram[0x0005], 0x61);
    EXPECT_EQ(peek(m, 0x20, 0x6005), 0x61);
    EXPECT_EQ(rom_information(m.cart).title, "SYNTHETIC TEST");
    // The sum runs over banks $80-$FF upper halves as mapped: 1 MiB here.
    EXPECT_EQ(rom_information(m.cart).checksum, "OK");
}

TEST(GameDoctor, SecondMegabyteComesFromTheNextSplitFile) {
    auto image = lorom(2 * kMiB);
    auto header = gd3_header({{0, 0x20}, {1, 0x21}, {2, 0x22}, {3, 0x23}});
    MemoryFiles files;
    files.files["/r/SF16ABCA.078"] = with_header(header, {image.begin(), image.begin() + long(kMiB)});
    files.files["/r/SF16ABCB.078"] = {image.begin() + long(kMiB), image.end()};
    Loaded l = load_from(files, "/r/SF16ABCA.078");
    ASSERT_TRUE(l.result.loaded());
    EXPECT_FALSE(l.result.incomplete);
    EXPECT_EQ(l.cart().image_size, 2 * kMiB);
    EXPECT_EQ(l.cart().crc32, crc32(image.data(), image.size()));
    EXPECT_EQ(peek(l.m(), 0x3F, 0x8001), image[63 * kBlock + 1]);
}

TEST(GameDoctor, SplitFilesNeedEightCharacterNamesAndMustAllBeThere) {
    auto image = lorom(1 * kMiB);
    auto header = gd3_header({{0, 0x20}, {1, 0x23}});
    MemoryFiles files;
    files.files["/r/game.078"] = with_header(header, image);
    Loaded naming = load_from(files, "/r/game.078");
    EXPECT_TRUE(naming.result.loaded());
    EXPECT_TRUE(naming.result.incomplete);
    EXPECT_EQ(naming.result.message, kGameDoctorNaming);

    files.files["/r/SF16ABCA.078"] = with_header(header, image);
    Loaded missing = load_from(files, "/r/SF16ABCA.078");
    EXPECT_TRUE(missing.result.incomplete);
    EXPECT_EQ(missing.result.message, kGameDoctorMissingFile);
    EXPECT_EQ(missing.cart().image_size, 1 * kMiB);
}

TEST(GameDoctor, MapBytesBeyondTheRomBufferReadOpenBus) {
    auto image = lorom(1 * kMiB);
    auto header = gd3_header({{0, 0x20}, {2, 0x3F}});  // $3F: 15.5 MiB, outside the 12 MiB buffer
    MemoryFiles files;
    files.files["/r/SF8TESTA.048"] = with_header(header, image);
    Loaded l = load_from(files, "/r/SF8TESTA.048");
    ASSERT_TRUE(l.result.loaded());
    l.m().mem.open_bus = 0x3C;
    EXPECT_EQ(peek(l.m(), 0x20, 0x8000), 0x3C);
}

TEST(GameDoctor, KeepsADspButNoOtherChip) {
    HeaderFields f;
    f.cart_type = 0x03;
    auto dsp = lorom(1 * kMiB, f);
    MemoryFiles files;
    files.files["/r/SF8TESTA.048"] = with_header(gd3_header({{0, 0x20}, {1, 0x21}}), dsp);
    EXPECT_EQ(load_from(files, "/r/SF8TESTA.048").cart().coprocessor, kCoprocDsp);
    f.cart_type = 0xF3;
    files.files["/r/SF8TESTA.048"] = with_header(gd3_header({{0, 0x20}, {1, 0x21}}), lorom(1 * kMiB, f));
    EXPECT_EQ(load_from(files, "/r/SF8TESTA.048").cart().coprocessor, kCoprocNone);
}

// ---------------------------------------------------------------------------
// Database

TEST(Database, ReadsTheLayoutWrittenByHand) {
    std::vector<DatabaseEntry> entries = {{100, 0x11111111, 0x01000021, "FIRST"},
                                          {200, 0x22222222, 0x1C010009, "SECOND GAME"}};
    auto db = database(entries);
    DatabaseEntry found;
    ASSERT_TRUE(database_find(db, 200, 0x22222222, found));
    EXPECT_EQ(found.title, "SECOND GAME");
    EXPECT_EQ(found.info, 0x1C010009u);
    EXPECT_EQ(database_country(found.info), 9);
    EXPECT_EQ(database_version(found.info), 0);
    EXPECT_EQ(database_dump_status(found.info), 1);
    EXPECT_EQ(database_pcb_id(found.info), 28);
    EXPECT_FALSE(database_find(db, 200, 0x11111111, found));
}

TEST(Database, TruncatedOrLyingFilesAreSafe) {
    auto db = database({{100, 0x11111111, 0, "FIRST"}, {200, 0x22222222, 0, "SECOND"}});
    DatabaseEntry found;
    std::vector<uint8_t> cut(db.begin(), db.begin() + 20);  // the second entry is cut off
    EXPECT_FALSE(database_find(cut, 200, 0x22222222, found));
    std::vector<uint8_t> lying = db;
    lying[0] = 0xFF;  // claims 255 entries
    lying[3] = 0x7F;
    EXPECT_TRUE(database_find(lying, 100, 0x11111111, found));
    EXPECT_FALSE(database_find(lying, 300, 0x33333333, found));
    std::vector<uint8_t> long_title = db;
    long_title[4 + 32] = 250;  // title length past the end of the file
    EXPECT_TRUE(database_find(long_title, 100, 0x11111111, found));
    EXPECT_LE(found.title.size(), 127u);
    EXPECT_FALSE(database_find({1, 2}, 100, 0x11111111, found));
}

TEST(Database, KnownImageTakesTitleCountryVersionAndBoard) {
    auto image = lorom(512 * kKiB);
    uint32_t crc = crc32(image.data(), image.size());
    // Country 2 (PAL), version 3, verified good dump, board 28 (SHVC-1J3B).
    uint32_t info = 2 | (3 << 5) | (1 << 16) | (28u << 24);
    MemoryFiles files;
    files.files["/r/game.sfc"] = image;
    files.files["/prog/Veltrane.db"] = database({{uint32_t(image.size()), crc, info, "Proper Title"}});
    LoadOptions options;
    options.program_folder = "/prog";
    Loaded l = load_from(files, "/r/game.sfc", options);
    ASSERT_TRUE(l.result.loaded());
    RomInformation r = rom_information(l.cart());
    EXPECT_EQ(r.title, "Proper Title");
    EXPECT_EQ(r.country, "Europe (PAL)");
    EXPECT_EQ(r.version, "1.3");
    EXPECT_EQ(r.checksum, "GOOD!");
    EXPECT_EQ(r.type, "SHVC-1J3B");
    EXPECT_EQ(r.size, "4MBIT ROM + 64KBIT RAM");
    EXPECT_EQ(l.m().timing.lines_per_frame, 312);
    // The board's map: 8 KiB of battery RAM at $6000 of banks $20-$3F.
    EXPECT_TRUE(l.cart().has_battery);
    bus_write(l.m(), 0x30, 0x6001, 0x7E);
    EXPECT_EQ(l.cart().sram[1], 0x7E);
}

TEST(Database, ToolBuildsAFileTheLoaderReads) {
    std::string dir = ::testing::TempDir() + "veltrane_db_tool";
    std::string mk = "mkdir -p '" + dir + "'";
    ASSERT_EQ(std::system(mk.c_str()), 0);
    std::string list = dir + "/list.txt", out = dir + "/Veltrane.db";
    FILE* f = std::fopen(list.c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs("# size\tcrc\ttitle\tinfo\n524288\t0x1234ABCD\tA GAME\t0x01010001\n\n65536\tFFFFFFFF\tB\t7\n", f);
    std::fclose(f);
    std::string cmd = std::string(VELTRANE_DB_TOOL_PATH) + " '" + list + "' '" + out + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::vector<uint8_t> db = read_file(out);
    ASSERT_EQ(db.size(), 4u + 2 * 16 + 2 * 256);
    DatabaseEntry e;
    ASSERT_TRUE(database_find(db, 524288, 0x1234ABCD, e));
    EXPECT_EQ(e.title, "A GAME");
    EXPECT_EQ(e.info, 0x01010001u);
    ASSERT_TRUE(database_find(db, 65536, 0xFFFFFFFF, e));
    EXPECT_EQ(e.title, "B");
    EXPECT_EQ(e.info, 7u);

    FILE* bad = std::fopen(list.c_str(), "w");
    std::fputs("524288 no tabs here\n", bad);
    std::fclose(bad);
    EXPECT_NE(std::system((cmd + " 2>/dev/null").c_str()), 0);
}

// ---------------------------------------------------------------------------
// Program folder files

TEST(ProgramFiles, AutoexecRunsFromWorkRamAt7E8000) {
    MemoryFiles files;
    files.files["/r/game.sfc"] = lorom();
    files.files["/prog/autoexec.bin"] = {0xA9, 0x42, 0x8D, 0x00, 0x01, 0x80, 0xFE};  // lda #$42; sta $0100; bra *
    LoadOptions options;
    options.program_folder = "/prog";
    Loaded l = load_from(files, "/r/game.sfc", options);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.m().cpu.pbr, 0x7E);
    EXPECT_EQ(l.m().cpu.pc, 0x8000);
    EXPECT_EQ(l.m().mem.wram[0x8000], 0xA9);
    run_frame(l.m());
    EXPECT_EQ(l.m().mem.wram[0x0100], 0x42);
}

TEST(ProgramFiles, MemoryPackGetsTheBaseUnitRom) {
    HeaderFields f;
    f.sram_size = 0x30;
    MemoryFiles files;
    files.files["/r/pack.bs"] = lorom(512 * kKiB, f);
    files.files["/prog/BS-X.SFC"] = std::vector<uint8_t>(100, 0x5B);
    LoadOptions options;
    options.program_folder = "/prog";
    Loaded l = load_from(files, "/r/pack.bs", options);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().rom[kRomBsxBaseOffset + 99], 0x5B);
    EXPECT_EQ(l.cart().rom[kRomBsxBaseOffset + 100], 0xFF);
}

// ---------------------------------------------------------------------------
// Bad input

TEST(BadInput, EveryRefusalHasItsMessageAndLeavesTheMachineAlone) {
    auto good = lorom();
    MemoryFiles files;
    files.files["/r/good.sfc"] = good;
    files.files["/r/empty.sfc"] = {};
    files.files["/r/tiny.sfc"] = std::vector<uint8_t>(100, 0x12);
    files.files["/r/header_only.smc"] = ffe_header();
    files.files["/r/bad_ffe.smc"] = with_header(ffe_header(false, 0), good);
    auto nes = std::vector<uint8_t>(16 + 16384, 0);
    std::memcpy(nes.data(), "NES\x1A", 4);
    files.files["/r/game.nes"] = nes;

    Loaded l = load_from(files, "/r/good.sfc");
    ASSERT_TRUE(l.result.loaded());
    run_frame(l.m());
    const uint32_t crc = l.cart().crc32;

    LoadOptions options;
    options.read_file = files.reader();
    struct Case {
        const char* path;
        const char* message;
    };
    for (Case c : {Case{"/r/missing.sfc", kFileCouldNotBeLoaded}, Case{"/r/empty.sfc", kImageTooSmall},
                   Case{"/r/tiny.sfc", kImageTooSmall}, Case{"/r/header_only.smc", kImageTooSmall},
                   Case{"/r/bad_ffe.smc", kNotValidGamepak}, Case{"/r/game.nes", kNesImageInvalid}}) {
        LoadResult r = load_gamepak(l.m(), c.path, options);
        EXPECT_EQ(r.status, LoadStatus::Failed) << c.path;
        EXPECT_EQ(r.message, c.message) << c.path;
        EXPECT_EQ(r.caption, "Load Gamepak");
        EXPECT_EQ(l.cart().crc32, crc) << c.path;
        EXPECT_EQ(peek(l.m(), 0x00, 0x8000), good[0]);
        run_frame(l.m());
    }
}

TEST(BadInput, ImagesWithoutAPlausibleHeaderAreNotGamepaks) {
    // Random bytes: a simple generator, the same every run.
    std::vector<uint8_t> noise(256 * kKiB);
    uint32_t x = 12345;
    for (uint8_t& b : noise) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    EXPECT_EQ(load_image(noise).result.message, kNotValidGamepak);

    HeaderFields f;
    f.reset_vector = 0x1234;  // would start in work RAM
    EXPECT_EQ(load_image(lorom(256 * kKiB, f)).result.message, kNotValidGamepak);

    // A blank map mode byte is accepted while the checksum pair is valid ...
    f = HeaderFields{};
    f.map_mode = 0x00;
    auto blank = lorom(256 * kKiB, f);
    EXPECT_TRUE(load_image(blank).result.loaded());
    // ... and refused when nothing else says it is a header.
    set_word(blank, 0x7FDC, 0x0000);
    set_word(blank, 0x7FDE, 0x0000);
    EXPECT_EQ(load_image(blank).result.message, kNotValidGamepak);
}

TEST(BadInput, FolderAndOverLongFilesOnDisk) {
    std::string dir = ::testing::TempDir() + "veltrane_bad_input";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    auto m = make_machine();
    LoadOptions options;
    EXPECT_EQ(load_gamepak(*m, dir, options).message, kFileCouldNotBeLoaded);
    // A sparse file just over 12 MiB plus a header.
    std::string big = dir + "/big.sfc";
    ASSERT_EQ(std::system(("truncate -s 12583425 '" + big + "'").c_str()), 0);
    EXPECT_EQ(load_gamepak(*m, big, options).message, kImageTooLarge);
    EXPECT_FALSE(m->timing.gamepak_loaded);
}

TEST(BadInput, SplitSetThatGrowsPastTwelveMegabytesIsRefused) {
    MemoryFiles files;
    std::vector<uint8_t> part = with_header(ffe_header(true), pattern_image(4 * kMiB));
    files.files["/r/big.1"] = part;
    files.files["/r/big.2"] = part;
    files.files["/r/big.3"] = part;
    files.files["/r/big.4"] = part;
    Loaded l = load_from(files, "/r/big.1");
    EXPECT_EQ(l.result.message, kImageTooLarge);
}

TEST(BadInput, GameBoyImageNeedsASuperGameBoy) {
    MemoryFiles files;
    files.files["/r/game.gb"] = std::vector<uint8_t>(32768, 0);
    Loaded l = load_from(files, "/r/game.gb");
    EXPECT_FALSE(l.result.loaded());
    EXPECT_EQ(l.result.message, "Could not find hardware device \"Super Game Boy\".  ");

    HeaderFields f;
    f.title = "Super GAMEBOY";
    files.files["/r/sgb.sfc"] = lorom(256 * kKiB, f);
    Loaded sgb = load_from(files, "/r/sgb.sfc");
    LoadOptions options;
    options.read_file = files.reader();
    EXPECT_TRUE(load_gamepak(sgb.m(), "/r/game.gb", options).loaded());
    EXPECT_EQ(sgb.cart().rom[kRomUpperPartOffset], 0x00);
    EXPECT_EQ(sgb.cart().rom[kRomUpperPartOffset + 32768], 0xFF);
}

// ---------------------------------------------------------------------------
// Over-dumps

TEST(Overdump, RepeatedHalfIsFoundAndCut) {
    auto half = lorom(512 * kKiB);
    std::vector<uint8_t> image = half;
    image.insert(image.end(), half.begin(), half.end());  // 1 MiB: the same 512 KiB twice
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_TRUE(l.result.overdumped);
    EXPECT_EQ(l.result.loaded_slots, 32u);
    EXPECT_EQ(l.result.real_slots, 16u);
    EXPECT_EQ(l.result.corrected_image, half);

    LoadOptions options;
    options.backup_format = BackupFormat::Bbd;
    options.auto_create_backup_header = true;
    Loaded with_ffe = load_image(image, options);
    const auto& out = with_ffe.result.corrected_image;
    ASSERT_EQ(out.size(), 512 + half.size());
    EXPECT_EQ(out[0] | (out[1] << 8), 16 * 16);
    EXPECT_EQ(out[2], 48);
    EXPECT_EQ(out[8], 0xAA);
    EXPECT_EQ(out[9], 0xBB);
    EXPECT_EQ(out[10], 4);
    EXPECT_TRUE(std::equal(half.begin(), half.end(), out.begin() + 512));
}

TEST(Overdump, CopierFillAfterTheDataIsCut) {
    auto image = lorom(1 * kMiB);
    // Blocks 24-31 hold the copier's fill: the block number in every byte.
    for (size_t b = 24; b < 32; b++) std::fill_n(image.begin() + long(b * kBlock), kBlock, uint8_t(b));
    Loaded l = load_image(image);
    EXPECT_TRUE(l.result.overdumped);
    EXPECT_EQ(l.result.real_slots, 24u);
}

TEST(Overdump, ProperImagesAreLeftAlone) {
    EXPECT_FALSE(load_image(lorom(1 * kMiB)).result.overdumped);
    EXPECT_FALSE(load_image(lorom(3 * kMiB)).result.overdumped);
    EXPECT_FALSE(load_image(lorom(384 * kKiB)).result.overdumped);
}

}  // namespace
}  // namespace vt::test
