// Loading NES images: recognition, refusals that leave the machine as it
// was, the display strings, trainers and battery PRG RAM.
#include <gtest/gtest.h>

#include "cart/rom_info.h"
#include "core/driver.h"
#include "nes/nes_cartridge.h"
#include "nes_image_builder.h"
#include "state/battery_ram.h"
#include "support/test_rom.h"

namespace vt {
namespace {

using test::NesRig;
using test::nes_image;

TEST(NesLoader, RecognisesTheHeaderAndShowsItsStrings) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(1, 8, 16, 0x01)));
    const Cartridge& c = r.m->cart;
    EXPECT_TRUE(c.nes);
    EXPECT_EQ(c.nes_info.mapper, 1);
    EXPECT_EQ(c.nes_info.prg_size, 128u * 1024);
    EXPECT_EQ(c.nes_info.chr_size, 128u * 1024);
    EXPECT_EQ(c.nes_info.mirroring, NesMirroring::Vertical);
    const RomInformation info = rom_information(c);
    EXPECT_EQ(info.title, "NES Emulator");
    EXPECT_EQ(info.type, "ROM + MMC1");
    EXPECT_EQ(info.size, "128K ROM + 128K VROM");
    EXPECT_EQ(info.checksum, "N/A");
}

TEST(NesLoader, ChrRamImagesShowNoVrom) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(2, 4, 0)));
    EXPECT_EQ(rom_information(r.m->cart).size, "64K ROM");
    EXPECT_EQ(rom_information(r.m->cart).type, "ROM + UNROM");
}

TEST(NesLoader, HighMapperNibbleAndNes2MapperBits) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(66, 2, 1)));
    EXPECT_EQ(r.m->cart.nes_info.mapper, 66);
    // Text in the tail of an old header: the high nibble is not trusted.
    std::vector<uint8_t> dirty = nes_image(2, 2, 0);
    dirty[7] = 'D';
    std::copy_n("isk", 3, dirty.begin() + 12);
    ASSERT_TRUE(r.load(dirty));
    EXPECT_EQ(r.m->cart.nes_info.mapper, 2);
    // NES 2.0: mapper bits 8-11 in byte 8.
    std::vector<uint8_t> nes2 = nes_image(4, 2, 1);
    nes2[7] |= 0x08;
    nes2[8] = 0x01;  // mapper 260
    EXPECT_FALSE(r.load(nes2));
    EXPECT_NE(r.result.message.find("mapper 260"), std::string::npos);
}

struct Refusal {
    const char* what;
    std::vector<uint8_t> image;
    const char* message_part;
};

TEST(NesLoader, BadImagesAreRefusedAndThePreviousMachineRunsOn) {
    std::vector<uint8_t> truncated = nes_image(0, 2, 1);
    truncated.resize(truncated.size() - 100);
    std::vector<uint8_t> no_prg = nes_image(0, 2, 1);
    no_prg[4] = 0;
    std::vector<uint8_t> header_only = {'N', 'E', 'S', 0x1A, 1, 1};
    std::vector<uint8_t> trainer_missing = nes_image(0, 1, 0, 0x04);
    trainer_missing.resize(16 + 16384);
    const Refusal cases[] = {
        {"mapper 5", nes_image(5, 2, 1), "mapper 5"},
        {"truncated", truncated, "shorter than its header says"},
        {"no PRG", no_prg, "no PRG ROM"},
        {"header cut short", header_only, "shorter than its header says"},
        {"trainer missing", trainer_missing, "shorter than its header says"},
    };
    for (const Refusal& c : cases) {
        NesRig r;
        ASSERT_TRUE(r.load(nes_image(0, 2, 1), "first.nes"));
        test::run_frames(*r.m, 2);
        const uint64_t cycles = r.m->nes.cycles;
        EXPECT_FALSE(r.load(c.image)) << c.what;
        EXPECT_NE(r.result.message.find(c.message_part), std::string::npos) << c.what << ": " << r.result.message;
        EXPECT_FALSE(r.result.problem.empty()) << c.what;
        // Nothing of the refused image reached the machine.
        EXPECT_EQ(r.m->cart.image_path, r.files.path("first.nes")) << c.what;
        test::run_frames(*r.m, 1);
        EXPECT_GT(r.m->nes.cycles, cycles + 29000) << c.what;
    }
}

TEST(NesLoader, TrainerLandsAt7000) {
    NesRig r;
    std::vector<uint8_t> image = nes_image(0, 1, 1, 0x04);
    std::vector<uint8_t> trainer(512);
    for (int i = 0; i < 512; i++) trainer[size_t(i)] = uint8_t(i * 3);
    image.insert(image.begin() + 16, trainer.begin(), trainer.end());
    ASSERT_TRUE(r.load(image));
    EXPECT_EQ(nes_peek(r.m->nes, 0x7000), 0);
    EXPECT_EQ(nes_peek(r.m->nes, 0x7001), 3);
    EXPECT_EQ(nes_peek(r.m->nes, 0x71FF), uint8_t(511 * 3));
    EXPECT_EQ(nes_peek(r.m->nes, 0x8000), 0);  // PRG starts after the trainer
}

TEST(NesLoader, BatteryPrgRamIsKeptBesideTheImage) {
    NesRig r;
    const std::vector<uint8_t> image = nes_image(1, 2, 1, 0x02);
    ASSERT_TRUE(r.load(image, "zelda.nes"));
    EXPECT_EQ(rom_information(r.m->cart).size, "32K ROM + 8K VROM");
    r.write(0x6000, 0x12);
    r.write(0x7FFF, 0x34);
    BatterySaveResult saved = battery_save(r.m->cart, battery_folders(LoadOptions{}));
    ASSERT_TRUE(saved.ok) << saved.reason;
    const std::vector<uint8_t> file = test::read_file(r.files.path("zelda.srm"));
    ASSERT_EQ(file.size(), 8192u);
    EXPECT_EQ(file[0], 0x12);
    EXPECT_EQ(file[0x1FFF], 0x34);
    // A fresh load finds it.
    NesRig again;
    again.files.file("zelda.srm", file);
    ASSERT_TRUE(again.load(image, "zelda.nes"));
    EXPECT_EQ(nes_peek(again.m->nes, 0x6000), 0x12);
    EXPECT_EQ(nes_peek(again.m->nes, 0x7FFF), 0x34);
}

TEST(NesLoader, PrgRamWithoutABatteryStartsCleared) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(0, 2, 1)));
    EXPECT_EQ(nes_peek(r.m->nes, 0x6000), 0);
    EXPECT_FALSE(r.m->cart.has_battery);
}

TEST(NesLoader, UnmappedRegistersGoToTheLog) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(0, 2, 1)));
    std::vector<std::string> lines;
    r.m->host.log = &lines;
    r.m->host.log_line = [](void* log, std::string_view line) {
        static_cast<std::vector<std::string>*>(log)->emplace_back(line);
    };
    r.m->nes.instruction_pc = 0x8123;
    r.write(0x5000, 0x7E);
    r.m->nes.open_bus = 0x50;
    nes_read(r.m->nes, 0x4020);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "NOMAP W: [$00:8123] 005000 7E");
    EXPECT_EQ(lines[1], "NOMAP R: [$00:8123] 004020 (0x50)");
}

}  // namespace
}  // namespace vt
