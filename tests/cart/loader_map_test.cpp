// Where the loader puts an image's bytes: LoROM, HiROM, extended HiROM,
// interleaved images, copier headers and mirroring.
#include <gtest/gtest.h>

#include "cart/loader_support.h"
#include "core/crc32.h"

namespace vt::test {
namespace {

constexpr size_t kBlock = 32 * kKiB;

// A LoROM image of `size` bytes with a valid header and checksum.
std::vector<uint8_t> lorom_image(size_t size, HeaderFields f = {}) {
    auto image = pattern_image(size);
    write_header(image, 0x7FC0, f);
    if (size >= 0x10000) set_word(image, 0xFFFC, 0x0000);  // not a HiROM vector
    fix_checksum(image, 0x7FC0);
    return image;
}

std::vector<uint8_t> hirom_image(size_t size, HeaderFields f = {}) {
    f.map_mode = 0x21;
    auto image = pattern_image(size);
    write_header(image, 0xFFC0, f);
    set_word(image, 0x7FFC, 0x0000);  // not a LoROM vector
    fix_checksum(image, 0xFFC0);
    return image;
}

TEST(LoRomMap, BlocksAppearInTheUpperHalfOfEachBankAndItsFastMirror) {
    auto image = lorom_image(1 * kMiB);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded()) << l.result.message;
    EXPECT_FALSE(l.cart().hirom);
    EXPECT_EQ(l.cart().last_bank, 31u);
    EXPECT_EQ(l.cart().mirrored_slots, 32u);
    EXPECT_EQ(peek(l.m(), 0x00, 0x8000), image[0]);
    EXPECT_EQ(peek(l.m(), 0x05, 0x9234), image[5 * kBlock + 0x1234]);
    EXPECT_EQ(peek(l.m(), 0x1F, 0xFFFF), image[32 * kBlock - 1]);
    EXPECT_EQ(peek(l.m(), 0x85, 0x9234), image[5 * kBlock + 0x1234]);
    // Past the image the banks wrap at 32.
    EXPECT_EQ(peek(l.m(), 0x25, 0x9234), image[5 * kBlock + 0x1234]);
    // Banks $40-$6F show the block in both halves.
    EXPECT_EQ(peek(l.m(), 0x43, 0x1234), image[3 * kBlock + 0x1234]);
    EXPECT_EQ(l.cart().crc32, crc32(image.data(), image.size()));
}

TEST(LoRomMap, ThreeMegabyteImageRepeatsItsLastMegabyte) {
    auto image = lorom_image(3 * kMiB);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().last_bank, 95u);
    EXPECT_EQ(l.cart().mirrored_slots, 128u);
    // Blocks 96-127 are blocks 64-95 again.
    EXPECT_EQ(peek(l.m(), 0x60, 0x8123), image[64 * kBlock + 0x123]);
    EXPECT_EQ(peek(l.m(), 0x7D, 0x8123), image[93 * kBlock + 0x123]);
    EXPECT_EQ(peek(l.m(), 0x5F, 0x8123), image[95 * kBlock + 0x123]);
    // The checksum covers the mirrored 4 MiB: the header was made for 3 MiB
    // plus the last megabyte once more.
    uint32_t expected = 0;
    for (size_t i = 0; i < image.size(); i++) expected += image[i];
    for (size_t i = 2 * kMiB; i < 3 * kMiB; i++) expected += image[i];
    EXPECT_EQ(l.cart().computed_checksum, uint16_t(expected));
}

TEST(LoRomMap, ShortLastBlockRepeatsByItsPowerOfTwoLength) {
    auto image = lorom_image(48 * kKiB);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().last_bank, 1u);
    // Block 1 holds 16 KiB, repeated every 16 KiB.
    EXPECT_EQ(peek(l.m(), 0x01, 0x8010), image[kBlock + 0x10]);
    EXPECT_EQ(peek(l.m(), 0x01, 0xC010), image[kBlock + 0x10]);
}

TEST(LoRomMap, OneMegabyteFileHasNoCopierHeaderButOneMoreHalfKilobyteHasOne) {
    auto image = lorom_image(1 * kMiB);
    Loaded plain = load_image(image);
    EXPECT_EQ(plain.cart().copier_header, CopierHeader::None);
    EXPECT_EQ(plain.cart().header_bytes_read, 0u);

    Loaded ffe = load_image(with_header(ffe_header(), image));
    ASSERT_TRUE(ffe.result.loaded());
    EXPECT_EQ(ffe.cart().copier_header, CopierHeader::Ffe);
    EXPECT_EQ(ffe.cart().header_bytes_read, 512u);
    EXPECT_EQ(ffe.cart().crc32, crc32(image.data(), image.size()));  // header excluded
    EXPECT_EQ(ffe.cart().image_size, 1 * kMiB);
    EXPECT_EQ(peek(ffe.m(), 0x02, 0x8000), image[2 * kBlock]);

    Loaded other = load_image(with_header(std::vector<uint8_t>(512, 0), image));
    ASSERT_TRUE(other.result.loaded());
    EXPECT_EQ(other.cart().copier_header, CopierHeader::Plain);
    EXPECT_EQ(other.cart().copier_header_bytes.size(), 512u);
}

TEST(LoRomMap, FfeHeaderMustSayItHoldsAGamepak) {
    Loaded l = load_image(with_header(ffe_header(false, 5), lorom_image(256 * kKiB)));
    EXPECT_EQ(l.result.status, LoadStatus::Failed);
    EXPECT_EQ(l.result.message, "Not a valid Gamepak  ");
    EXPECT_EQ(l.result.caption, "Load Gamepak");
    EXPECT_FALSE(l.m().timing.gamepak_loaded);
}

TEST(HiRomMap, SlotsAppearWholeInBanksC0AndInTheUpperHalvesOfTheSystemBanks) {
    auto image = hirom_image(2 * kMiB);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_TRUE(l.cart().hirom);
    EXPECT_EQ(l.cart().last_bank, 31u);
    EXPECT_EQ(peek(l.m(), 0xC0, 0x0000), image[0]);
    EXPECT_EQ(peek(l.m(), 0xC7, 0x1234), image[7 * 0x10000 + 0x1234]);
    EXPECT_EQ(peek(l.m(), 0x47, 0xF234), image[7 * 0x10000 + 0xF234]);
    EXPECT_EQ(peek(l.m(), 0x07, 0x9234), image[7 * 0x10000 + 0x9234]);
    EXPECT_EQ(peek(l.m(), 0x87, 0x9234), image[7 * 0x10000 + 0x9234]);
    EXPECT_EQ(peek(l.m(), 0xE7, 0x0001), image[7 * 0x10000 + 1]);  // wraps at 32 banks
    EXPECT_EQ(l.cart().checksum_start, 0u);
    EXPECT_EQ(rom_information(l.cart()).checksum, "OK");
}

TEST(HiRomMap, OneAndAHalfMegabytesRepeatTheLastHalf) {
    auto image = hirom_image(1536 * kKiB);  // 24 slots
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().mirrored_slots, 32u);
    EXPECT_EQ(peek(l.m(), 0xD8, 0x0042), image[16 * 0x10000 + 0x42]);  // slot 24 = slot 16
    EXPECT_EQ(peek(l.m(), 0xDF, 0x0042), image[23 * 0x10000 + 0x42]);  // slot 31 = slot 23
}

TEST(HeaderChoice, LoRomWinsWhenBothVectorsAreValidAndOnlyItsChecksumPairIs) {
    auto image = pattern_image(1 * kMiB);
    write_header(image, 0x7FC0, HeaderFields{});
    write_header(image, 0xFFC0, HeaderFields{});
    set_word(image, 0xFFDC, 0x1234);  // HiROM pair broken
    set_word(image, 0xFFDE, 0x1234);
    fix_checksum(image, 0x7FC0);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_FALSE(l.cart().hirom);
    EXPECT_EQ(l.cart().header_offset, 0x7FC0u);

    // The other way round HiROM wins.
    write_header(image, 0x7FC0, HeaderFields{});
    set_word(image, 0x7FDC, 0x1234);
    set_word(image, 0x7FDE, 0x1234);
    fix_checksum(image, 0xFFC0);
    Loaded h = load_image(image);
    EXPECT_TRUE(h.cart().hirom);
    EXPECT_EQ(h.cart().header_offset, 0xFFC0u);
}

TEST(HeaderChoice, VectorsOutsideRomRuleOutAMap) {
    auto image = pattern_image(1 * kMiB);
    write_header(image, 0xFFC0, HeaderFields{});
    set_word(image, 0x7FFC, 0xFFFA);  // above $FFF8: no LoROM vector
    Loaded l = load_image(image);
    EXPECT_TRUE(l.cart().hirom);
    set_word(image, 0xFFFC, 0xFFF9);  // HiROM vector above $FFF8 too: LoROM by default
    Loaded none = load_image(image);
    EXPECT_FALSE(none.cart().hirom);
}

TEST(HeaderChoice, BatmanRevengeOfTheJokerIsAlwaysLoRom) {
    HeaderFields f;
    f.title = "BATMAN--REVENGE JOKER";
    auto image = pattern_image(1 * kMiB);
    write_header(image, 0xFFC0, f);
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x0000);
    Loaded l = load_image(image);
    EXPECT_FALSE(l.cart().hirom);
}

TEST(ExtendedHiRomMap, SecondPartIsInTheSystemBanksAndTheFirstInBanksC0) {
    auto image = pattern_image(6 * kMiB);
    HeaderFields f;
    f.map_mode = 0x25;
    f.rom_size = 13;
    write_header(image, 0x40FFC0, f);
    set_word(image, 0x7FFC, 0x0000);
    set_word(image, 0xFFFC, 0x0000);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_TRUE(l.cart().hirom);
    EXPECT_EQ(l.cart().header_offset, 0x40FFC0u);
    EXPECT_EQ(l.cart().last_bank, 95u);
    EXPECT_EQ(peek(l.m(), 0xC0, 0x0000), image[0]);
    EXPECT_EQ(peek(l.m(), 0xFF, 0x1234), image[63 * 0x10000 + 0x1234]);
    EXPECT_EQ(peek(l.m(), 0x80, 0x8000), image[0x8000]);
    EXPECT_EQ(peek(l.m(), 0x00, 0xFFFC), image[0x40FFFC]);  // the reset vector the CPU uses
    EXPECT_EQ(peek(l.m(), 0x40, 0x0005), image[0x400005]);
    EXPECT_EQ(peek(l.m(), 0x5F, 0x0005), image[0x400000 + 31 * 0x10000 + 5]);
    // Slots 96-127 repeat 64-95.
    EXPECT_EQ(peek(l.m(), 0x60, 0x0005), image[0x400005]);
}

TEST(InterleavedMap, HiRomImageStoredInHalvesIsPutBackTogether) {
    // A 1 MiB HiROM image, stored as all upper halves then all lower halves.
    auto hirom = pattern_image(1 * kMiB);
    HeaderFields f;
    f.map_mode = 0x21;
    f.rom_size = 10;
    write_header(hirom, 0xFFC0, f);
    std::vector<uint8_t> file;
    for (int half : {1, 0}) {
        for (size_t slot = 0; slot < 16; slot++) {
            auto start = hirom.begin() + long(slot * 0x10000 + half * kBlock);
            file.insert(file.end(), start, start + long(kBlock));
        }
    }
    set_word(file, 0xFFFC, 0x0000);  // what a HiROM test would read is not a vector
    Loaded l = load_image(file);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_TRUE(l.cart().hirom);
    EXPECT_EQ(peek(l.m(), 0xC0, 0x0000), hirom[0]);
    EXPECT_EQ(peek(l.m(), 0xC3, 0x1234), hirom[3 * 0x10000 + 0x1234]);
    EXPECT_EQ(peek(l.m(), 0xCF, 0x9234), hirom[15 * 0x10000 + 0x9234]);
    EXPECT_EQ(peek(l.m(), 0x00, 0xFFD5), 0x21);
}

TEST(InterleavedMap, YuyuNoQuizIsNeverInterleaved) {
    auto image = pattern_image(1 * kMiB);
    HeaderFields f;
    f.title = "YUYU NO QUIZ DE GO!GO";
    f.map_mode = 0x21;
    f.rom_size = 10;
    write_header(image, 0x7FC0, f);
    set_word(image, 0xFFFC, 0x0000);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_FALSE(l.cart().interleave_allowed);
    EXPECT_FALSE(l.cart().hirom);
    EXPECT_EQ(peek(l.m(), 0x01, 0x8000), image[kBlock]);
}

TEST(InterleavedMap, SixMegabyteExtendedHiRomInFileOrder) {
    auto file = pattern_image(6 * kMiB);
    HeaderFields f;
    f.map_mode = 0x25;
    f.rom_size = 13;
    write_header(file, 0x7FC0, f);  // block 0: upper half of slot 64
    set_word(file, 0xFFFC, 0x0000);
    set_word(file, 0x40FFFC, 0x0000);
    Loaded l = load_image(file);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_TRUE(l.cart().hirom);
    // Blocks 0-31: upper halves of slots 64-95 (banks $00-$1F); 32-63 their
    // lower halves (banks $40-$5F); 64-127 upper halves of slots 0-63; 128-191
    // lower halves.
    EXPECT_EQ(peek(l.m(), 0x00, 0x8000), file[0]);
    EXPECT_EQ(peek(l.m(), 0x1F, 0x8010), file[31 * kBlock + 0x10]);
    EXPECT_EQ(peek(l.m(), 0x40, 0x0010), file[32 * kBlock + 0x10]);
    EXPECT_EQ(peek(l.m(), 0xC0, 0x8010), file[64 * kBlock + 0x10]);
    EXPECT_EQ(peek(l.m(), 0xC0, 0x0010), file[128 * kBlock + 0x10]);
    EXPECT_EQ(peek(l.m(), 0xFF, 0x0010), file[191 * kBlock + 0x10]);
    // 96 slots are summed.
    uint32_t sum = 0;
    for (uint8_t b : file) sum += b;
    EXPECT_EQ(l.cart().computed_checksum, uint16_t(sum));
}

TEST(SuperFxMap, RomIsLinearInBanks40To5F) {
    HeaderFields f;
    f.cart_type = 0x13;
    f.rom_size = 10;
    auto image = lorom_image(1 * kMiB, f);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().coprocessor, kCoprocSuperFx);
    EXPECT_EQ(peek(l.m(), 0x40, 0x0000), image[0]);
    EXPECT_EQ(peek(l.m(), 0x40, 0x8000), image[kBlock]);
    EXPECT_EQ(peek(l.m(), 0x4F, 0xFFFF), image[32 * kBlock - 1]);
    // The second megabyte repeats the first.
    EXPECT_EQ(peek(l.m(), 0x50, 0x0000), image[0]);
    EXPECT_EQ(peek(l.m(), 0x03, 0x8000), image[3 * kBlock]);
    EXPECT_EQ(rom_information(l.cart()).checksum, "OK");
}

TEST(Sdd1Map, SystemBanksSeeTheThirtyTwoKilobyteWindowsOfTheFirstTwoMegabytes) {
    HeaderFields f;
    f.map_mode = 0x32;
    f.cart_type = 0x43;
    f.rom_size = 11;
    auto image = lorom_image(2 * kMiB, f);
    Loaded l = load_image(image);
    ASSERT_TRUE(l.result.loaded());
    EXPECT_EQ(l.cart().coprocessor, kCoprocSdd1);
    EXPECT_EQ(peek(l.m(), 0x00, 0x8000), image[0]);
    EXPECT_EQ(peek(l.m(), 0x01, 0x8000), image[kBlock]);
    EXPECT_EQ(peek(l.m(), 0x3F, 0xFFFF), image[64 * kBlock - 1]);
    EXPECT_EQ(peek(l.m(), 0xC1, 0x0000), image[0x10000]);
    // Every slot holds 64 KiB, so the whole image is summed.
    EXPECT_EQ(rom_information(l.cart()).checksum, "OK");
}

}  // namespace
}  // namespace vt::test
