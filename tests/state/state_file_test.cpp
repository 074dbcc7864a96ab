// The chunked state file: the chunks and their order, the metadata, the
// thumbnail, slot names, the battery RAM rules and the refusal of foreign,
// truncated and damaged files with the machine left as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/driver.h"
#include "state/state_file.h"
#include "state/state_metadata.h"
#include "state/state_test_support.h"
#include "support/file_size_limit.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

StateOptions with(bool sram, bool bitmap) {
    StateOptions o;
    o.sram_transfer = sram;
    o.bitmap_transfer = bitmap;
    return o;
}

// The cartridge with 8 KiB of battery RAM, run a little.
std::unique_ptr<Machine> battery_machine(int frames = 3) {
    auto m = machine_with_rom("cart_sram");
    run_frames(*m, frames);
    return m;
}

std::vector<std::string> tags_of(const std::vector<uint8_t>& file) {
    std::vector<std::string> tags;
    for (const TestChunk& c : walk_chunks(file)) tags.push_back(c.tag);
    return tags;
}

TEST(StateFileLayout, ChunksInOrderWithTheirLengths) {
    auto m = battery_machine();
    const std::vector<uint8_t> file = state_file_bytes(*m, "slot", "me", with(true, true));
    const std::vector<TestChunk> chunks = walk_chunks(file);
    const std::vector<std::pair<std::string, uint32_t>> expected = {
        {"BPS2", 166},    {"SBMP", 8 + 128 * 120 * 3}, {"SCPU", 16 + 30}, {"SDMA", 128},
        {"WRAM", 131075}, {"SPPU", 1128},              {"VRAM", 65536},   {"SAPU", 65563},
        {"SDSP", 128},    {"SRAM", 8192},
    };
    ASSERT_GE(chunks.size(), expected.size() + 1);
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(chunks[i].tag, expected[i].first) << i;
        EXPECT_EQ(chunks[i].length, expected[i].second) << chunks[i].tag;
    }
    // This program's own chunks follow, then the end marker closes the file.
    EXPECT_EQ(chunks.back().tag, "SRST");
    EXPECT_EQ(chunks.back().length, 0u);
    EXPECT_EQ(chunks.back().offset, file.size());
    for (size_t i = expected.size(); i + 1 < chunks.size(); i++) EXPECT_EQ(chunks[i].tag[0], 'X') << chunks[i].tag;
}

TEST(StateFileLayout, ThumbnailAndBatteryRamOnlyWhenAsked) {
    auto m = battery_machine();
    const std::vector<std::string> plain = tags_of(state_file_bytes(*m, "", "", with(false, false)));
    EXPECT_EQ(std::count(plain.begin(), plain.end(), "SBMP"), 0);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), "SRAM"), 0);
    EXPECT_EQ(plain[1], "SCPU");

    // A cartridge without battery RAM has no "SRAM" chunk even with the option.
    auto smoke = machine_with_rom("smoke");
    const std::vector<std::string> no_battery = tags_of(state_file_bytes(*smoke, "", "", with(true, true)));
    EXPECT_EQ(std::count(no_battery.begin(), no_battery.end(), "SRAM"), 0);

    // SA-1 cartridges keep their battery RAM in every state.
    m->cart.coprocessor = kCoprocSa1;
    const std::vector<std::string> sa1 = tags_of(state_file_bytes(*m, "", "", with(false, false)));
    EXPECT_EQ(std::count(sa1.begin(), sa1.end(), "SRAM"), 1);
}

TEST(StateFileLayout, ChunksHoldTheComponentsState) {
    auto m = battery_machine();
    m->mem.wram[0x1234] = 0x5A;
    m->mem.wram_port = 0x01ABCD;
    m->ppu.vram_lo[3] = 0x11;
    m->ppu.vram_hi[3] = 0x22;
    m->cart.sram[5] = 0x77;
    m->dsp.regs[0x5D] = 0x42;
    m->cpu.a = 0xBEEF;
    const std::vector<uint8_t> file = state_file_bytes(*m, "", "", with(true, false));
    const auto chunks = walk_chunks(file);
    const TestChunk& wram = *find_chunk(chunks, "WRAM");
    EXPECT_EQ(file[wram.offset + 0], 0xCD);  // the port address, low byte first
    EXPECT_EQ(file[wram.offset + 1], 0xAB);
    EXPECT_EQ(file[wram.offset + 2], 0x01);
    EXPECT_EQ(file[wram.offset + 3 + 0x1234], 0x5A);
    const TestChunk& vram = *find_chunk(chunks, "VRAM");
    EXPECT_EQ(file[vram.offset + 3], 0x11);           // low plane
    EXPECT_EQ(file[vram.offset + 0x8000 + 3], 0x22);  // then the high plane
    EXPECT_EQ(file[find_chunk(chunks, "SRAM")->offset + 5], 0x77);
    EXPECT_EQ(file[find_chunk(chunks, "SDSP")->offset + 0x5D], 0x42);
    EXPECT_EQ(le16(file, find_chunk(chunks, "SCPU")->offset), 0xBEEF);  // A first
}

TEST(StateFileMetadata, FieldsAndVersion) {
    auto m = battery_machine();
    const std::string long_text(80, 'd');
    const std::vector<uint8_t> file = state_file_bytes(*m, "Before the boss", std::string(40, 'a'), with(false, false));
    ASSERT_EQ(std::string(file.begin(), file.begin() + 4), "BPS2");
    EXPECT_EQ(le32(file, 4), 166u);
    EXPECT_EQ(file[8], 2);  // minor
    EXPECT_EQ(file[9], 1);  // major
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[8 + 2])), "Veltrane");
    EXPECT_EQ(file[8 + 2 + 63], 0);  // zero-padded
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[8 + 66])), "Before the boss");
    // The author field holds 31 characters and its terminator.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[8 + 130])), std::string(31, 'a'));
    EXPECT_EQ(file[8 + 161], 0);

    const std::vector<uint8_t> longer = state_file_bytes(*m, long_text, "", with(false, false));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&longer[8 + 66])), std::string(63, 'd'));

    const std::string dir = state_test_folder("metadata");
    write_bytes_to(dir + "/game.S01", file);
    StateMetadata meta;
    ASSERT_TRUE(read_state_metadata(dir + "/game.S01", meta));
    EXPECT_EQ(meta.description, "Before the boss");
    EXPECT_EQ(meta.author, std::string(31, 'a'));
    EXPECT_EQ(meta.product, "Veltrane");
    EXPECT_EQ(state_version_text(meta), "1.02");
    EXPECT_EQ(meta.dos_date_time, le32(file, 8 + 162));

    write_bytes_to(dir + "/other.S02", {'N', 'O', 'T', ' ', 'A', ' ', 'S', 'T', 'A', 'T', 'E'});
    EXPECT_FALSE(read_state_metadata(dir + "/other.S02", meta));
    EXPECT_FALSE(read_state_metadata(dir + "/missing.S03", meta));
}

TEST(StateFileMetadata, DosDateTimeStamp) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;  // March
    t.tm_mday = 15;
    t.tm_hour = 13;
    t.tm_min = 45;
    t.tm_sec = 31;  // two-second steps
    // date (44 << 9 | 3 << 5 | 15), time (13 << 11 | 45 << 5 | 15)
    EXPECT_EQ(dos_date_time(t), 0x586F6DAFu);
    const std::tm back = dos_date_time_fields(0x586F6DAFu);
    EXPECT_EQ(back.tm_year, 124);
    EXPECT_EQ(back.tm_mon, 2);
    EXPECT_EQ(back.tm_mday, 15);
    EXPECT_EQ(back.tm_hour, 13);
    EXPECT_EQ(back.tm_min, 45);
    EXPECT_EQ(back.tm_sec, 30);
    t.tm_year = 1970 - 1900;  // before the stamp's first year
    EXPECT_EQ(dos_date_time(t) >> 25, 0u);
}

TEST(StateFileThumbnail, FourByFourAveragesOfThePicture) {
    auto m = battery_machine(1);
    // Byte c of pixel x on row r: (r & 3) * 16 + (x & 3) * 4 + c.
    for (int r = 0; r < kPictureHeight; r++) {
        for (int x = 0; x < kPictureWidth; x++) {
            uint8_t* pixel = &m->ppu.picture[size_t(r) * kPictureStride + size_t(x) * 3];
            for (int c = 0; c < 3; c++) pixel[c] = uint8_t((r & 3) * 16 + (x & 3) * 4 + c);
        }
    }
    const std::string dir = state_test_folder("thumbnail");
    ASSERT_TRUE(save_state(*m, dir + "/game.S00", "", "", with(false, true)));
    std::vector<uint8_t> pixels;
    ASSERT_TRUE(read_state_thumbnail(dir + "/game.S00", pixels));
    ASSERT_EQ(pixels.size(), 128u * 120 * 3);
    // Rows average (0 + 16 + 32 + 48) / 4 = 24, columns (0 + 4 + 8 + 12) / 4 = 6.
    EXPECT_EQ(pixels[0], 30);
    EXPECT_EQ(pixels[2], 32);
    EXPECT_EQ(pixels[(60 * 128 + 77) * 3 + 1], 31);
    // The last block row takes picture rows 476 and 477, then 477 twice more:
    // (0 + 16 * 3) / 4 = 12 from the rows.
    EXPECT_EQ(pixels[(119 * 128 + 5) * 3 + 0], 18);
    EXPECT_EQ(pixels[(119 * 128 + 127) * 3 + 2], 20);

    ASSERT_TRUE(save_state(*m, dir + "/bare.S00", "", "", with(false, false)));
    EXPECT_FALSE(read_state_thumbnail(dir + "/bare.S00", pixels));
}

TEST(StateFileSlots, NamesAndFolders) {
    EXPECT_EQ(state_slot_path("/games/Super Game.sfc", "", 7), "/games/Super Game.S07");
    EXPECT_EQ(state_slot_path("/games/Super Game.sfc", "/states", 0), "/states/Super Game.S00");
    EXPECT_EQ(state_slot_path("/games/game.smc", "", 99), "/games/game.S99");
    EXPECT_EQ(state_slot_path("/games/game", "", 12), "/games/game.S12");
}

TEST(StateFileLoad, RoundTripThroughAFile) {
    auto m = battery_machine(5);
    const std::string dir = state_test_folder("round_trip");
    std::string error;
    ASSERT_TRUE(save_state(*m, dir + "/game.S05", "five", "me", with(true, true), &error)) << error;
    EXPECT_FALSE(fs::exists(dir + "/game.S05.tmp"));
    auto fresh = machine_with_rom("cart_sram");
    ASSERT_TRUE(load_state(*fresh, dir + "/game.S05", with(true, true), &error)) << error;
    EXPECT_TRUE(MachineRecord(*fresh) == MachineRecord(*m));
}

TEST(StateFileLoad, UnknownChunkBetweenSdmaAndWramIsSkipped) {
    auto m = battery_machine(4);
    std::vector<uint8_t> file = state_file_bytes(*m, "", "", with(true, false));
    const TestChunk wram = *find_chunk(walk_chunks(file), "WRAM");
    const std::vector<uint8_t> extra = chunk_bytes("ZZZZ", std::vector<uint8_t>(1000, 0xEE));
    file.insert(file.begin() + long(wram.offset) - 8, extra.begin(), extra.end());

    auto fresh = machine_with_rom("cart_sram");
    std::string error;
    ASSERT_TRUE(load_state_bytes(*fresh, file.data(), file.size(), with(true, false), &error)) << error;
    EXPECT_TRUE(MachineRecord(*fresh) == MachineRecord(*m));
}

TEST(StateFileLoad, ForeignFileIsRefusedWithNothingChanged) {
    auto m = battery_machine(4);
    std::vector<uint8_t> file = state_file_bytes(*m, "", "", with(true, false));
    auto other = machine_with_rom("cart_sram");
    run_frames(*other, 2);
    const MachineRecord before(*other);

    std::vector<uint8_t> foreign = file;
    foreign[3] = '1';  // "BPS1"
    std::string error;
    EXPECT_FALSE(load_state_bytes(*other, foreign.data(), foreign.size(), with(true, false), &error));
    EXPECT_NE(error.find("BPS2"), std::string::npos) << error;
    EXPECT_TRUE(MachineRecord(*other) == before);

    const std::string dir = state_test_folder("foreign");
    write_bytes_to(dir + "/image.sfc", read_file(test_rom_path("smoke")));
    EXPECT_FALSE(load_state(*other, dir + "/image.sfc", with(true, false), &error));
    EXPECT_FALSE(load_state(*other, dir + "/missing.S00", with(true, false), &error));
    EXPECT_TRUE(MachineRecord(*other) == before);
}

TEST(StateFileLoad, TruncatedOrDamagedFileIsRefusedWithNothingChanged) {
    auto m = battery_machine(4);
    const std::vector<uint8_t> file = state_file_bytes(*m, "", "", with(true, true));
    auto other = machine_with_rom("cart_sram");
    run_frames(*other, 2);
    const MachineRecord before(*other);

    // Cut inside the metadata, at and inside every chunk, and just before
    // the end marker's last byte.
    std::vector<size_t> cuts = {0, 7, 8, 100};
    for (const TestChunk& c : walk_chunks(file)) {
        cuts.push_back(c.offset - 8);
        cuts.push_back(c.offset - 3);
        cuts.push_back(c.offset + c.length / 2);
    }
    cuts.push_back(file.size() - 1);
    for (size_t cut : cuts) {
        if (cut >= file.size()) continue;
        std::string error;
        EXPECT_FALSE(load_state_bytes(*other, file.data(), cut, with(true, false), &error)) << cut;
        EXPECT_TRUE(MachineRecord(*other) == before) << cut;
    }

    // A chunk that claims more than the file holds.
    std::vector<uint8_t> overlong = file;
    const TestChunk vram = *find_chunk(walk_chunks(file), "VRAM");
    overlong[vram.offset - 4 + 3] = 0x40;  // length + 1 GiB
    std::string error;
    EXPECT_FALSE(load_state_bytes(*other, overlong.data(), overlong.size(), with(true, false), &error));
    EXPECT_NE(error.find("VRAM"), std::string::npos) << error;

    // A known chunk of the wrong length: "SCPU" one byte short, the file
    // otherwise well formed.
    const TestChunk scpu = *find_chunk(walk_chunks(file), "SCPU");
    std::vector<uint8_t> short_cpu(file.begin(), file.begin() + long(scpu.offset) - 8);
    const std::vector<uint8_t> cpu_data(file.begin() + long(scpu.offset), file.begin() + long(scpu.offset) + 45);
    const std::vector<uint8_t> replaced = chunk_bytes("SCPU", cpu_data);
    short_cpu.insert(short_cpu.end(), replaced.begin(), replaced.end());
    short_cpu.insert(short_cpu.end(), file.begin() + long(scpu.offset + scpu.length), file.end());
    EXPECT_FALSE(load_state_bytes(*other, short_cpu.data(), short_cpu.size(), with(true, false), &error));
    EXPECT_NE(error.find("SCPU"), std::string::npos) << error;
    EXPECT_TRUE(MachineRecord(*other) == before);

    // Bytes after the end marker are not looked at.
    std::vector<uint8_t> trailing = file;
    trailing.insert(trailing.end(), {1, 2, 3});
    EXPECT_TRUE(load_state_bytes(*other, trailing.data(), trailing.size(), with(true, false), &error)) << error;
}

TEST(StateFileLoad, BatteryRamRestoredOnlyWithSramTransfer) {
    auto m = battery_machine(3);
    m->cart.sram[0x10] = 0xA1;
    const std::vector<uint8_t> file = state_file_bytes(*m, "", "", with(true, false));

    auto off = machine_with_rom("cart_sram");
    off->cart.sram[0x10] = 0x3C;
    ASSERT_TRUE(load_state_bytes(*off, file.data(), file.size(), with(false, false)));
    EXPECT_EQ(off->cart.sram[0x10], 0x3C);  // the chunk is ignored

    auto on = machine_with_rom("cart_sram");
    ASSERT_TRUE(load_state_bytes(*on, file.data(), file.size(), with(true, false)));
    EXPECT_EQ(on->cart.sram[0x10], 0xA1);

    // SA-1 cartridges take it whatever the option says.
    auto sa1 = machine_with_rom("cart_sram");
    sa1->cart.coprocessor = kCoprocSa1;
    ASSERT_TRUE(load_state_bytes(*sa1, file.data(), file.size(), with(false, false)));
    EXPECT_EQ(sa1->cart.sram[0x10], 0xA1);
}

// Size byte 7 gives banks $70-$73 four 32 KiB windows of the buffer; the
// state keeps all four.
TEST(StateFileLoad, BatteryRamInFourBankWindowsIsKeptWhole) {
    auto m = battery_machine(2);
    m->cart.sram_size = 32768;
    m->cart.sram_mask = 32767;
    m->cart.sram_bank_offset = {0, 0x8000, 0x10000, 0x18000};
    m->cart.sram[0x18005] = 0x6B;
    const std::vector<uint8_t> file = state_file_bytes(*m, "", "", with(true, false));
    EXPECT_EQ(find_chunk(walk_chunks(file), "SRAM")->length, 128u * 1024);
    auto other = battery_machine(1);
    ASSERT_TRUE(load_state_bytes(*other, file.data(), file.size(), with(true, false)));
    EXPECT_EQ(other->cart.sram[0x18005], 0x6B);
}

TEST(StateFileLoad, NothingWithoutAGamepak) {
    auto loaded = battery_machine(1);
    const std::vector<uint8_t> file = state_file_bytes(*loaded, "", "", with(false, false));
    auto empty = make_machine();
    std::string error;
    EXPECT_FALSE(load_state_bytes(*empty, file.data(), file.size(), with(false, false), &error));
    EXPECT_FALSE(error.empty());
    const std::string dir = state_test_folder("no_gamepak");
    EXPECT_FALSE(save_state(*empty, dir + "/x.S00", "", "", with(false, false), &error));
    EXPECT_FALSE(fs::exists(dir + "/x.S00"));
    EXPECT_FALSE(save_rts(*empty, dir + "/x.rts", &error));
}

TEST(StateFileSave, AFailedWriteLeavesTheEarlierFile) {
    auto m = battery_machine(2);
    const std::string dir = state_test_folder("failed_write");
    const std::string path = dir + "/game.S03";
    ASSERT_TRUE(save_state(*m, path, "first", "", with(false, false)));
    const std::vector<uint8_t> first = read_file(path);
    std::string error;
    run_frame(*m);
    {
        ScopedFileSizeLimit disk_full(0);
        EXPECT_FALSE(save_state(*m, path, "second", "", with(false, false), &error));
    }
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(read_file(path), first);
    EXPECT_FALSE(save_state(*m, dir + "/no/such/folder/game.S00", "", "", with(false, false), &error));
}

TEST(StateFileFormat, DetectedByContent) {
    auto m = battery_machine(1);
    const std::vector<uint8_t> chunked = state_file_bytes(*m, "", "", with(false, false));
    const std::vector<uint8_t> rts = rts_file_bytes(*m);
    EXPECT_EQ(detect_state_format(chunked.data(), chunked.size()), StateFormat::Chunked);
    EXPECT_EQ(detect_state_format(rts.data(), rts.size()), StateFormat::RealTime);
    EXPECT_EQ(detect_state_format(rts.data(), 10), StateFormat::Unknown);
    const uint8_t junk[12] = {'B', 'P', 'S'};
    EXPECT_EQ(detect_state_format(junk, sizeof junk), StateFormat::Unknown);
    EXPECT_EQ(detect_state_file("/no/such/file"), StateFormat::Unknown);
}

}  // namespace
}  // namespace vt::test
