// The SA-1's arithmetic unit, bit reader, DMA and character conversion,
// checked against results worked out here from the console's rules.
#include <gtest/gtest.h>

#include <array>

#include "coproc/sa1/sa1_support.h"

namespace vt::test {
namespace {

uint64_t result(Machine& m) {
    uint64_t v = 0;
    for (int i = 0; i < 5; i++) v |= uint64_t(read_reg(m, uint16_t(0x2306 + i))) << (8 * i);
    return v;
}

struct ArithmeticCase {
    uint8_t mcnt;
    int16_t ma;
    uint16_t mb;
    uint64_t expected;  // MR, 40 bits
};

TEST(Sa1Arithmetic, MultiplyAndDivideGiveTheConsolesResults) {
    const ArithmeticCase cases[] = {
        {0, 0x1234, 0xFFFD, 0xFFFFC964},         // $1234 x -3
        {0, -32768, 0x8000, 0x40000000},         // -32768 x -32768
        {0, 300, 200, 60000},                    //
        {1, -7, 2, 0x0001FFFC},                  // -7 / 2 = -4 remainder 1 (the divisor is unsigned)
        {1, 7, 2, 0x00010003},                   // 3 remainder 1
        {1, -32768, 0xFFFF, 0x7FFFFFFF},         // -1 remainder 32767
        {1, 1000, 0x8000, 0x03E80000},           // 0 remainder 1000
    };
    for (const ArithmeticCase& c : cases) {
        Loaded l = sa1_cartridge(1 * kMiB);
        Machine& m = l.m();
        reg(m, 0x2250, c.mcnt);
        reg16(m, 0x2251, uint16_t(c.ma));
        reg16(m, 0x2253, c.mb);
        EXPECT_EQ(result(m), c.expected) << int(c.mcnt) << " " << c.ma << " " << c.mb;
        EXPECT_EQ(read_reg(m, 0x230B), 0);
    }
}

TEST(Sa1Arithmetic, DivisionByZeroLeavesTheResultAlone) {
    Loaded l = sa1_cartridge(1 * kMiB);
    Machine& m = l.m();
    reg(m, 0x2250, 0);
    reg16(m, 0x2251, 0x0102);
    reg16(m, 0x2253, 0x0304);
    const uint64_t before = result(m);
    reg(m, 0x2250, 1);
    reg16(m, 0x2253, 0);
    EXPECT_EQ(result(m), before);
}

TEST(Sa1Arithmetic, CumulativeSumsSetTheOverflowFlagOnlyWhenTheSumLeavesFortyBits) {
    Loaded l = sa1_cartridge(1 * kMiB);
    Machine& m = l.m();
    reg(m, 0x2250, 2);  // also clears the sum
    int64_t sum = 0;
    for (int i = 0; i < 4; i++) {
        reg16(m, 0x2251, 0x7FFF);
        reg16(m, 0x2253, 0x7FFF);
        sum += int64_t(0x7FFF) * 0x7FFF;
        EXPECT_EQ(read_reg(m, 0x230B), 0);
    }
    EXPECT_EQ(result(m), uint64_t(sum));
    // -32768 x -32768 = 2^30, so 512 of them reach 2^39: the first sum
    // outside the signed 40-bit range.
    reg(m, 0x2250, 2);
    sum = 0;
    int overflow_at = -1;
    for (int i = 1; i <= 512 && overflow_at < 0; i++) {
        reg16(m, 0x2251, 0x8000);
        reg16(m, 0x2253, 0x8000);
        if (read_reg(m, 0x230B) == 0x80) overflow_at = i;
    }
    EXPECT_EQ(overflow_at, 512);
    EXPECT_EQ(result(m), uint64_t(1) << 39);  // wrapped: reads as the most negative sum
    // A negative product brings the sum back below.
    reg16(m, 0x2251, 0x0001);
    reg16(m, 0x2253, 0xFFFF);
    EXPECT_EQ(read_reg(m, 0x230B), 0x80);  // -2^39 - 1 leaves the range again
}

TEST(Sa1BitReader, FixedAndAutomaticModesMoveThroughTheBitStream) {
    Loaded l = sa1_cartridge(1 * kMiB);
    Machine& m = l.m();
    // The stream: image bytes from $00:8100 on (offset $0100).
    uint64_t stream = 0;
    for (int i = 0; i < 8; i++) stream |= uint64_t(sa1_image_byte(0x100 + i)) << (8 * i);
    auto bits = [&](int at) { return uint16_t(stream >> at); };

    reg24(m, 0x2259, 0x008100);
    EXPECT_EQ(read_reg(m, 0x230C), bits(0) & 0xFF);
    reg(m, 0x2258, 0x04);  // fixed mode: the write moves on 4 bits
    EXPECT_EQ(read_reg(m, 0x230C), bits(4) & 0xFF);
    EXPECT_EQ(read_reg(m, 0x230D), bits(4) >> 8);
    EXPECT_EQ(read_reg(m, 0x230D), bits(4) >> 8);  // no move in fixed mode
    reg(m, 0x2258, 0x8C);  // automatic, 12 bits per high-byte read
    EXPECT_EQ(read_reg(m, 0x230D), bits(4) >> 8);
    EXPECT_EQ(read_reg(m, 0x230C), bits(16) & 0xFF);
    EXPECT_EQ(read_reg(m, 0x230D), bits(16) >> 8);
    EXPECT_EQ(read_reg(m, 0x230C), bits(28) & 0xFF);
    reg(m, 0x2258, 0x80);  // 16 bits
    read_reg(m, 0x230D);
    EXPECT_EQ(read_reg(m, 0x230C), bits(44) & 0xFF);
    // Writing VDA restarts at bit 0.
    reg24(m, 0x2259, 0x008100);
    EXPECT_EQ(read_reg(m, 0x230C), bits(0) & 0xFF);
}

TEST(Sa1Dma, NormalTransfersCopyBetweenRomBwramAndIram) {
    Loaded l = sa1_cartridge(1 * kMiB);
    Machine& m = l.m();
    auto& ram = m.cart.sram;
    // ROM to I-RAM, started by the middle byte of DDA.
    reg(m, 0x2230, 0x80);
    reg24(m, 0x2232, 0x018000);
    reg16(m, 0x2238, 16);
    reg(m, 0x2235, 0x40);
    reg(m, 0x2236, 0x01);
    for (int i = 0; i < 16; i++) EXPECT_EQ(m.sa1.iram[0x140 + i], sa1_image_byte(0x8000 + i)) << i;
    EXPECT_EQ(m.sa1.w.dtc, 0);
    EXPECT_EQ(m.sa1.w.sda, 0x018010u);
    EXPECT_EQ(m.sa1.w.dda, 0x000150u);

    // I-RAM to BW-RAM waits for DDA's high byte and keeps to the protection.
    reg(m, 0x2227, 0x80);
    reg(m, 0x2230, 0x86);
    reg24(m, 0x2232, 0x000140);
    reg16(m, 0x2238, 8);
    reg16(m, 0x2235, 0x0200);
    EXPECT_EQ(ram[0x200], 0xFF);
    reg(m, 0x2237, 0x00);
    for (int i = 0; i < 8; i++) EXPECT_EQ(ram[0x200 + i], sa1_image_byte(0x8000 + i)) << i;

    // BW-RAM to I-RAM with the DMA-end interrupt.
    reg(m, 0x220A, 0x20);
    reg(m, 0x2230, 0x81);
    reg24(m, 0x2232, 0x000204);
    reg16(m, 0x2238, 4);
    reg16(m, 0x2235, 0x0010);
    for (int i = 0; i < 4; i++) EXPECT_EQ(m.sa1.iram[0x10 + i], sa1_image_byte(0x8004 + i)) << i;
    EXPECT_EQ(read_reg(m, 0x2301) & 0x20, 0x20);
    EXPECT_NE(m.sa1.cpu.irq_sources, 0);

    // A count of 0 copies 65,536 bytes: I-RAM wraps at 2 KiB.
    reg(m, 0x2230, 0x80);
    reg24(m, 0x2232, 0xC00000);
    reg16(m, 0x2238, 0);
    reg16(m, 0x2235, 0x0000);
    EXPECT_EQ(m.sa1.w.sda, 0xC10000u);
    EXPECT_EQ(m.sa1.iram[0], sa1_image_byte(0xF800));
}

// The console's character format worked out pixel by pixel: pixel (x, y) of
// the packed bitmap (width `chars` x 8 pixels, `bits` per pixel, low bits
// first) lands in bit 7 - x of plane p, whose byte is at (p / 2) x 16 + y x 2
// + (p & 1) in the character.
std::vector<uint8_t> expected_character(const std::vector<uint8_t>& ram, uint32_t base, int bits, int chars,
                                        int char_x, int char_y) {
    const int width = chars * 8;
    std::vector<uint8_t> out(size_t(8 * bits), 0);
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) {
            const uint32_t pixel = uint32_t((char_y * 8 + y) * width + char_x * 8 + x);
            const uint32_t bit = pixel * uint32_t(bits);
            const int value = (ram[base + bit / 8] >> (bit % 8)) & ((1 << bits) - 1);
            for (int p = 0; p < bits; p++) {
                if ((value >> p) & 1) out[size_t((p / 2) * 16 + y * 2 + (p & 1))] |= uint8_t(0x80 >> x);
            }
        }
    }
    return out;
}

struct ConversionCase {
    uint8_t cdma;  // depth and characters per line
    int bits;
    int chars;
};

TEST(Sa1Conversion, TypeOneReadsOutConvertedCharactersInOrder) {
    const ConversionCase cases[] = {{0x02, 2, 1}, {0x01, 4, 1}, {0x00, 8, 1}, {0x06, 2, 2}, {0x05, 4, 2}, {0x09, 4, 4}};
    for (const ConversionCase& c : cases) {
        Loaded l = sa1_cartridge(1 * kMiB);
        Machine& m = l.m();
        auto& ram = m.cart.sram;
        for (uint32_t i = 0; i < 0x4000; i++) ram[0x1000 + i] = uint8_t(i * 37 + (i >> 7));
        reg(m, 0x2201, 0x20);  // conversion IRQ to the main CPU
        reg(m, 0x2231, c.cdma);
        reg(m, 0x2230, 0xB0);  // type 1
        reg24(m, 0x2232, 0x001000);
        reg(m, 0x2235, 0x00);
        reg(m, 0x2236, 0x03);  // I-RAM $0300
        EXPECT_EQ(read_reg(m, 0x2300) & 0x20, 0x20);
        EXPECT_NE(m.cpu.irq_sources & kIrqCartridge, 0);
        // Two rows of characters read out through bank $40.
        for (int n = 0; n < 2 * c.chars + 1; n++) {
            const auto expected = expected_character(ram, 0x1000, c.bits, c.chars, n % c.chars, n / c.chars);
            for (size_t i = 0; i < expected.size(); i++) {
                ASSERT_EQ(bus_read(m, 0x40, uint16_t(0x1234 + i)), expected[i])
                    << c.bits << " bpp, " << c.chars << " per line, character " << n << " byte " << i;
            }
        }
        reg(m, 0x2231, uint8_t(c.cdma | 0x80));  // end
        EXPECT_EQ(bus_read(m, 0x40, 0x1001), ram[0x1001]);
    }
}

TEST(Sa1Conversion, TypeTwoConvertsBitmapRegisterRowsAndSwitchesBuffers) {
    Loaded l = sa1_cartridge(1 * kMiB);
    Machine& m = l.m();
    reg(m, 0x2231, 0x01);  // 4 bits per pixel
    reg(m, 0x2230, 0xA0);  // type 2
    reg24(m, 0x2235, 0x000400);
    std::vector<uint8_t> bitmap(64);
    for (int i = 0; i < 64; i++) bitmap[size_t(i)] = uint8_t((i * 7 + 3) & 0x0F);
    for (int y = 0; y < 8; y++) {
        const int half = y & 1;
        for (int x = 0; x < 8; x++) reg(m, uint16_t(0x2240 + half * 8 + x), bitmap[size_t(y * 8 + x)]);
    }
    const auto expected = expected_character(bitmap, 0, 8, 1, 0, 0);  // one byte per pixel
    for (int i = 0; i < 32; i++) EXPECT_EQ(m.sa1.iram[0x400 + size_t(i)], expected[size_t(i)]) << i;
    EXPECT_EQ(m.sa1.w.dda, 0x000420u);  // eight rows done: the other buffer
}

}  // namespace
}  // namespace vt::test
