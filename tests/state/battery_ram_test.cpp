// Battery RAM files: names and folders, the three formats, the Satellaview
// file, and saving that never destroys a good file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cart/loader.h"
#include "core/machine.h"
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
    // "BS-X.SRM": program folder when a BackupRAM folder is set, else bare.
    EXPECT_EQ(bsx_sram_path({"/prog", "/saves", BackupFormat::Srm}), "/prog/BS-X.SRM");
    EXPECT_EQ(bsx_sram_path({"/prog", "", BackupFormat::Srm}), "BS-X.SRM");
}

TEST(BatteryFileImages, SrmKeepsTheShortestPowerOfTwoPrefix) {
    Cartridge c = battery_cart("x.sfc");
    EXPECT_TRUE(battery_file_image(c, BackupFormat::Srm).empty());  // all $FF
    c.sram[0] = 0x00;
    EXPECT_EQ(battery_file_image(c, BackupFormat::Srm).size(), 1u);
    c.sram[100] = 0x12;
    EXPECT_EQ(battery_file_image(c, BackupFormat::Srm).size(), 128u);
    c.sram[5000] = 0x34;
    auto image = battery_file_image(c, BackupFormat::Srm);
    ASSERT_EQ(image.size(), 8192u);
    EXPECT_EQ(image[5000], 0x34);
    EXPECT_EQ(image[8191], 0xFF);
    c.sram[0x1FFFF] = 0;  // the end of 128 KiB
    EXPECT_EQ(battery_file_image(c, BackupFormat::Srm).size(), 128u * 1024);
    c.sram[0x20000] = 0;  // beyond 128 KiB: not kept for a small RAM ...
    EXPECT_EQ(battery_file_image(c, BackupFormat::Srm).size(), 128u * 1024);
    c.sram_size = 256 * 1024;  // ... but kept when the cartridge has that much
    EXPECT_EQ(battery_file_image(c, BackupFormat::Srm).size(), 256u * 1024);
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

    std::vector<uint8_t> big(300 * 1024, 0x5A);
    write(dir + "/game.srm", big);
    Cartridge d = battery_cart(dir + "/game.sfc");
    ASSERT_TRUE(battery_load(d, {"", "", BackupFormat::Srm}));
    EXPECT_EQ(d.sram[kSramBufferSize - 1], 0x5A);

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

TEST(BatteryFiles, SatellaviewRamGoesToBsxSrm) {
    std::string dir = make_folder("bsx");
    Cartridge c;
    c.image_path = dir + "/pack.bs";
    c.coprocessor = kCoprocBsx;
    c.bsx_ram[10] = 0x99;
    BatteryFolders folders{dir, dir, BackupFormat::Srm};
    ASSERT_TRUE(battery_save(c, folders).ok);
    EXPECT_EQ(fs::file_size(dir + "/BS-X.SRM"), 32768u);
    Cartridge back;
    ASSERT_TRUE(bsx_ram_load(back, folders));
    EXPECT_EQ(back.bsx_ram[10], 0x99);
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
