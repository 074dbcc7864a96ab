// Battery RAM files: names and folders, the three formats, the Satellaview
// file, and saving that never destroys a good file.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cart/loader.h"
#include "core/machine.h"
#include "frontend/demo_cartridge.h"
#include "state/battery_ram.h"
#include "support/file_size_limit.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

// A fresh folder of its own for each test.
std::string make_folder(const std::string& name) {
    std::string dir = ::testing::TempDir() + "veltrane_battery_" + name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Cartridge battery_cart(const std::string& image_path, uint32_t size = 8192) {
    Cartridge c;
    c.image_path = image_path;
    c.has_battery = true;
    c.sram_size = size;
    c.sram_mask = size - 1;
    const char title[] = "BATTERY TEST TITLE   ";
    std::copy_n(title, 21, c.header.begin());
    return c;
}

TEST(BatteryFileNames, ExtensionByFormatAndFolderBySetting) {
    Cartridge c = battery_cart("/games/snes/Game Name.sfc");
    EXPECT_EQ(battery_file_path(c, {"/prog", "", BackupFormat::Srm}), "/games/snes/Game Name.srm");
    EXPECT_EQ(battery_file_path(c, {"/prog", "", BackupFormat::Bbd}), "/games/snes/Game Name.bbd");
    EXPECT_EQ(battery_file_path(c, {"/prog", "/saves", BackupFormat::B01}), "/saves/Game Name.b01");
    c.image_path = "GAME.1";
    EXPECT_EQ(battery_file_path(c, {"", "", BackupFormat::Srm}), "GAME.srm");
    // "BS-X.SRM": in the BackupRAM folder when one is set, else in the data
    // folder, never beside the program or in the current folder.
    c.image_path = "/games/pack.bs";
    EXPECT_EQ(bsx_sram_path(c, {"/prog", "/saves", BackupFormat::Srm, "/data"}), "/saves/BS-X.SRM");
    EXPECT_EQ(bsx_sram_path(c, {"/prog", "", BackupFormat::Srm, "/data"}), "/data/BS-X.SRM");
    EXPECT_EQ(bsx_sram_path(c, {"/prog", "", BackupFormat::Srm}), "/games/BS-X.SRM");
}

TEST(BatteryFileImages, SrmHoldsTheWholeBatteryRamWhateverItHolds) {
    struct Case {
        uint32_t size;
        std::array<uint32_t, 4> bank_offsets;
        uint32_t file_bytes;
    };
    const Case cases[] = {
        {2048, {0, 0, 0, 0}, 2048},
        {8192, {0, 0, 0, 0}, 8192},
        {16384, {0, 0, 0, 0}, 16384},
        {32768, {0, 0, 0, 0}, 32768},
        {128 * 1024, {0, 0, 0, 0}, 128 * 1024},   // Super FX
        {256 * 1024, {0, 0, 0, 0}, 256 * 1024},   // SA-1: more than 128 KiB, all kept
        // Size byte 7: banks $70-$73 see four 32 KiB windows of the buffer.
        {32768, {0, 0x8000, 0x10000, 0x18000}, 128 * 1024},
    };
    for (const Case& k : cases) {
        Cartridge c = battery_cart("x.sfc", k.size);
        c.sram_bank_offset = k.bank_offsets;
        // All $FF (a fresh RAM) still gives a whole file, ...
        EXPECT_EQ(battery_file_image(c, BackupFormat::Srm).size(), k.file_bytes) << k.size;
        // ... and the last byte the cartridge reaches is in it.
        c.sram[k.file_bytes - 1] = 0x3C;
        const std::vector<uint8_t> image = battery_file_image(c, BackupFormat::Srm);
        ASSERT_EQ(image.size(), k.file_bytes) << k.size;
        EXPECT_EQ(image.back(), 0x3C);
    }
}

TEST(BatteryFileImages, AFileIsNeverWrittenShorterThanItWasRead) {
    std::string dir = make_folder("kept_length");
    Cartridge c = battery_cart(dir + "/game.sfc", 8192);
    // A 160 KiB file from elsewhere for an 8 KiB cartridge: its tail survives.
    std::vector<uint8_t> big(160 * 1024, 0x11);
    big.back() = 0x99;
    write(dir + "/game.srm", big);
    ASSERT_TRUE(battery_load(c, {"", "", BackupFormat::Srm}));
    c.sram[0] = 0x22;  // the game writes
    ASSERT_TRUE(battery_save(c, {"", "", BackupFormat::Srm}).ok);
    std::vector<uint8_t> saved = read_file(dir + "/game.srm");
    ASSERT_EQ(saved.size(), big.size());
    EXPECT_EQ(saved[0], 0x22);
    EXPECT_EQ(saved.back(), 0x99);
}

TEST(BatteryFiles, ShortFilesOfEarlierVersionsLoadAndComeBackWhole) {
    std::string dir = make_folder("short");
    // Earlier versions wrote only the used power-of-two prefix: 16 bytes of
    // a 2 KiB RAM.
    std::vector<uint8_t> old_file(16);
    for (int i = 0; i < 16; i++) old_file[size_t(i)] = uint8_t(i);
    write(dir + "/game.srm", old_file);
    Cartridge c = battery_cart(dir + "/game.sfc", 2048);
    ASSERT_TRUE(battery_load(c, {"", "", BackupFormat::Srm}));
    EXPECT_EQ(c.sram[15], 15);
    EXPECT_EQ(c.sram[16], 0xFF);  // the rest stays as a fresh RAM
    ASSERT_TRUE(battery_save(c, {"", "", BackupFormat::Srm}).ok);
    std::vector<uint8_t> saved = read_file(dir + "/game.srm");
    ASSERT_EQ(saved.size(), 2048u);
    EXPECT_TRUE(std::equal(old_file.begin(), old_file.end(), saved.begin()));
    EXPECT_EQ(saved[2047], 0xFF);
}

TEST(BatteryFiles, TheDemosFileHoldsItsTwoKilobytes) {
    std::string dir = make_folder("demo");
    auto m = make_machine();
    ASSERT_TRUE(load_builtin_demo(*m, LoadOptions{}, dir).loaded());
    run_frames(*m, 5);
    ASSERT_TRUE(battery_save(m->cart, battery_folders(LoadOptions{})).ok);
    EXPECT_EQ(fs::file_size(dir + "/veltrane-demo.srm"), 2048u);
}

TEST(BatteryFileImages, CopierFormatsHoldAtLeast32KilobytesAndAllOfALargerRam) {
    Cartridge c = battery_cart("x.sfc", 128 * 1024);
    c.sram[0x1FFFF] = 0x42;
    const std::vector<uint8_t> b01 = battery_file_image(c, BackupFormat::B01);
    ASSERT_EQ(b01.size(), 128u * 1024);
    EXPECT_EQ(b01.back(), 0x42);
    const std::vector<uint8_t> bbd = battery_file_image(c, BackupFormat::Bbd);
    ASSERT_EQ(bbd.size(), 512u + 128 * 1024);
    EXPECT_EQ(bbd.back(), 0x42);
    // A file with its header still loads: 512 bytes past a multiple of 32 KiB.
    std::string dir = make_folder("large_bbd");
    write(dir + "/game.bbd", bbd);
    Cartridge back = battery_cart(dir + "/game.sfc", 128 * 1024);
    ASSERT_TRUE(battery_load(back, {"", "", BackupFormat::Bbd}));
    EXPECT_EQ(back.sram[0x1FFFF], 0x42);
}

TEST(BatteryFileImages, CopierFormatsHold32KilobytesAndBbdAHeader) {
    Cartridge c = battery_cart("x.sfc");
    c.sram[0] = 0x11;
    c.sram[0x7FFF] = 0x22;
    auto b01 = battery_file_image(c, BackupFormat::B01);
    ASSERT_EQ(b01.size(), 32768u);
    EXPECT_EQ(b01[0], 0x11);
    EXPECT_EQ(b01[0x7FFF], 0x22);
    auto bbd = battery_file_image(c, BackupFormat::Bbd);
    ASSERT_EQ(bbd.size(), 512u + 32768u);
    EXPECT_EQ(bbd[8], 0xAA);
    EXPECT_EQ(bbd[9], 0xBB);
    EXPECT_EQ(bbd[10], 0x05);
    EXPECT_EQ(bbd[11], 0xCC);
    EXPECT_EQ(std::string(bbd.begin() + 16, bbd.begin() + 37), "BATTERY TEST TITLE   ");
    EXPECT_EQ(bbd[0], 0);
    EXPECT_EQ(bbd[15], 0);
    EXPECT_EQ(bbd[37], 0);
    EXPECT_EQ(bbd[512], 0x11);
}

TEST(BatteryFiles, SaveAndLoadRoundTripInEachFormat) {
    std::string dir = make_folder("roundtrip");
    for (BackupFormat format : {BackupFormat::Srm, BackupFormat::Bbd, BackupFormat::B01}) {
        Cartridge c = battery_cart(dir + "/game.sfc");
        for (int i = 0; i < 300; i++) c.sram[size_t(i)] = uint8_t(i * 7);
        BatteryFolders folders{"", "", format};
        ASSERT_TRUE(battery_save(c, folders).ok);
        Cartridge back = battery_cart(dir + "/game.sfc");
        ASSERT_TRUE(battery_load(back, folders));
        EXPECT_TRUE(std::equal(c.sram.begin(), c.sram.begin() + 32768, back.sram.begin())) << int(format);
    }
}

TEST(BatteryFiles, LoadSkipsACopierHeaderAndReadsAtMost256Kilobytes) {
    std::string dir = make_folder("load");
    Cartridge c = battery_cart(dir + "/game.sfc");
    std::vector<uint8_t> file(512 + 32768, 0x00);
    file[512] = 0x77;
    write(dir + "/game.srm", file);
    ASSERT_TRUE(battery_load(c, {"", "", BackupFormat::Srm}));
    EXPECT_EQ(c.sram[0], 0x77);
    EXPECT_EQ(c.sram[32768], 0xFF);

    // A 512-byte ".srm" (RAM used only in its first 512 bytes) is data.
    std::vector<uint8_t> short_srm(512, 0x10);
    write(dir + "/game.srm", short_srm);
    Cartridge s = battery_cart(dir + "/game.sfc");
    ASSERT_TRUE(battery_load(s, {"", "", BackupFormat::Srm}));
    EXPECT_EQ(s.sram[0], 0x10);
    EXPECT_EQ(s.sram[511], 0x10);
    EXPECT_EQ(s.sram[512], 0xFF);

    // Larger than any battery RAM: the first 256 KiB are read, and the
    // reader says that the rest cannot be kept.
    std::vector<uint8_t> big(300 * 1024, 0x5A);
    write(dir + "/game.srm", big);
    Cartridge d = battery_cart(dir + "/game.sfc");
    std::string problem;
    ASSERT_TRUE(battery_load(d, {"", "", BackupFormat::Srm}, &problem));
    EXPECT_EQ(d.sram[kSramBufferSize - 1], 0x5A);
    EXPECT_EQ(problem,
              "It holds 307200 bytes of battery RAM, more than the 262144 a Gamepak can have; the bytes past them "
              "are not kept.");

    Cartridge no_battery = battery_cart(dir + "/game.sfc");
    no_battery.has_battery = false;
    EXPECT_FALSE(battery_load(no_battery, {"", "", BackupFormat::Srm}));
    EXPECT_EQ(no_battery.sram[0], 0xFF);
}

TEST(BatteryFiles, FailedSaveKeepsTheGoodFileAndSaysSo) {
    std::string dir = make_folder("failed");
    std::vector<uint8_t> good(8192, 0x42);
    write(dir + "/game.srm", good);
    Cartridge c = battery_cart(dir + "/game.sfc");
    c.sram[0] = 0x01;
    BatterySaveResult r;
    {
        ScopedFileSizeLimit disk_full(0);
        r = battery_save(c, {"", "", BackupFormat::Srm});
    }
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message,
              "An error occured attempting to write BackupRAM to disk.  \rMake sure the specified BackupRAM path "
              "exists.\r\rClick Cancel to continue without writing to disk.");
    EXPECT_EQ(read_file(dir + "/game.srm"), good);

    // A missing BackupRAM folder fails the same way.
    EXPECT_FALSE(battery_save(c, {"", dir + "/no/such/folder", BackupFormat::Srm}).ok);

    // Leftovers at the names temporary files once had block nothing.
    fs::create_directory(dir + "/game.srm.tmp");
    EXPECT_TRUE(battery_save(c, {"", "", BackupFormat::Srm}).ok);
    EXPECT_EQ(read_file(dir + "/game.srm")[0], 0x01);
}

TEST(BatteryFiles, SatellaviewRamGoesToBsxSrmInTheBackupRamOrTheDataFolder) {
    std::string dir = make_folder("bsx");
    for (const char* sub : {"program", "backup", "data", "images"}) fs::create_directory(dir + "/" + sub);
    Cartridge c;
    c.image_path = dir + "/images/pack.bs";
    c.coprocessor = kCoprocBsx;
    c.bsx_ram[10] = 0x99;

    BatteryFolders with_backup{dir + "/program", dir + "/backup", BackupFormat::Srm, dir + "/data"};
    ASSERT_TRUE(battery_save(c, with_backup).ok);
    EXPECT_EQ(fs::file_size(dir + "/backup/BS-X.SRM"), 32768u);
    Cartridge back;
    back.image_path = c.image_path;
    ASSERT_TRUE(bsx_ram_load(back, with_backup));
    EXPECT_EQ(back.bsx_ram[10], 0x99);

    BatteryFolders data_only{dir + "/program", "", BackupFormat::Srm, dir + "/data"};
    c.bsx_ram[11] = 0x77;
    ASSERT_TRUE(battery_save(c, data_only).ok);
    EXPECT_EQ(read_file(dir + "/data/BS-X.SRM")[11], 0x77);
    // Never beside the program, nor in the current folder.
    EXPECT_FALSE(fs::exists(dir + "/program/BS-X.SRM"));
    EXPECT_FALSE(fs::exists("BS-X.SRM"));
}

TEST(BatteryFiles, AFileThatCannotBeReadIsReportedAndNeverReplaced) {
    std::string dir = make_folder("unreadable");
    fs::create_directory(dir + "/game.srm");  // a folder where the file should be
    Cartridge c = battery_cart(dir + "/game.sfc");
    std::string problem;
    EXPECT_FALSE(battery_load(c, {"", "", BackupFormat::Srm}, &problem));
    EXPECT_EQ(problem.rfind("It is not a file.", 0), 0u) << problem;
    EXPECT_EQ(c.sram[0], 0xFF);
    const BatterySaveResult saved = battery_save(c, {"", "", BackupFormat::Srm});
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.message, kSaveBackupRamFailed);
    EXPECT_TRUE(fs::is_directory(dir + "/game.srm"));

    // A missing file is no problem at all.
    Cartridge fresh = battery_cart(dir + "/other.sfc");
    problem.clear();
    EXPECT_FALSE(battery_load(fresh, {"", "", BackupFormat::Srm}, &problem));
    EXPECT_TRUE(problem.empty());
    EXPECT_TRUE(battery_save(fresh, {"", "", BackupFormat::Srm}).ok);
}

TEST(BatteryFiles, TheLoaderNamesABatteryFileItCouldNotRead) {
    std::string dir = make_folder("loader_problem");
    fs::copy_file(test_rom_path("cart_sram"), dir + "/game.sfc");
    fs::create_directory(dir + "/game.srm");
    auto m = make_machine();
    LoadResult r = load_gamepak(*m, dir + "/game.sfc", LoadOptions{});
    ASSERT_TRUE(r.loaded());
    EXPECT_EQ(r.caption, "Load Gamepak");
    EXPECT_EQ(r.icon, MessageIcon::Warning);
    EXPECT_NE(r.message.find(dir + "/game.srm"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("It is not a file."), std::string::npos) << r.message;
}

TEST(BatteryFiles, LoaderRestoresAndSavesThePreviousCartridgesRam) {
    std::string dir = make_folder("loader");
    fs::copy_file(test_rom_path("cart_sram"), dir + "/first.sfc");
    fs::copy_file(test_rom_path("smoke"), dir + "/second.sfc");
    std::vector<uint8_t> srm(8192, 0x00);
    srm[0] = 0x41;
    write(dir + "/first.srm", srm);

    auto m = make_machine();
    LoadOptions options;
    ASSERT_TRUE(load_gamepak(*m, dir + "/first.sfc", options).loaded());
    EXPECT_EQ(m->cart.sram[0], 0x41);
    m->cart.sram[1] = 0x42;
    ASSERT_TRUE(load_gamepak(*m, dir + "/second.sfc", options).loaded());
    auto saved = read_file(dir + "/first.srm");
    ASSERT_EQ(saved.size(), 8192u);
    EXPECT_EQ(saved[1], 0x42);

    // A save that fails stops the load until the program says to go on.
    ASSERT_TRUE(load_gamepak(*m, dir + "/first.sfc", options).loaded());
    m->cart.sram[1] = 0x43;  // so the save has something new to write
    LoadResult r;
    {
        ScopedFileSizeLimit disk_full(0);
        r = load_gamepak(*m, dir + "/second.sfc", options);
    }
    EXPECT_EQ(r.status, LoadStatus::BatterySaveFailed);
    EXPECT_EQ(r.caption, "Save BackupRAM");
    EXPECT_EQ(m->cart.title, "VELTRANE SRAM TEST");
    options.save_previous_battery = false;
    EXPECT_TRUE(load_gamepak(*m, dir + "/second.sfc", options).loaded());
}

}  // namespace
}  // namespace vt::test
