// The SPC7110's register block: data port modes, arithmetic, clock port,
// RAM write enable, data-ROM banks, reset and the state chunk.
#include <gtest/gtest.h>

#include <vector>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/spc7110/spc7110.h"
#include "core/state_io.h"

namespace vt::test {
namespace {

constexpr uint32_t kData = 0x100000;  // data ROM offset in the image

uint8_t data_pattern(uint32_t i) { return uint8_t(i * 7 + (i >> 8) * 13 + (i >> 16) * 101); }

// A HiROM image with the SPC7110's cartridge type: 1 MiB of program ROM,
// then `data_mib` MiB of data ROM holding data_pattern.
std::vector<uint8_t> spc7110_image(uint32_t data_mib) {
    auto image = pattern_image(kData + data_mib * kMiB);
    for (uint32_t i = 0; i < data_mib * kMiB; i++) image[kData + i] = data_pattern(i);
    HeaderFields f;
    f.map_mode = 0x21;
    f.cart_type = 0xF9;
    f.rom_size = 0x0B;
    f.sram_size = 3;  // 8 KiB
    write_header(image, 0xFFC0, f);
    set_word(image, 0xFFFC, 0x8000);
    fix_checksum(image, 0xFFC0);
    return image;
}

struct Spc7110Test : ::testing::Test {
    Loaded l = load_image(spc7110_image(1));
    Machine& m = l.m();

    void SetUp() override { ASSERT_EQ(m.cart.coprocessor, kCoprocSpc7110); }
    uint8_t rd(uint8_t r) { return bus_read(m, 0x00, uint16_t(0x4800 + r)); }
    void wr(uint8_t r, uint8_t v) { bus_write(m, 0x00, uint16_t(0x4800 + r), v); }
    void wr16(uint8_t r, uint16_t v) {
        wr(r, uint8_t(v));
        wr(uint8_t(r + 1), uint8_t(v >> 8));
    }
    void set_address(uint32_t a) {
        wr(0x11, uint8_t(a));
        wr(0x12, uint8_t(a >> 8));
        wr(0x13, uint8_t(a >> 16));
    }
    uint32_t address() { return rd(0x11) | rd(0x12) << 8 | uint32_t(rd(0x13)) << 16; }
    uint16_t offset() { return uint16_t(rd(0x14) | rd(0x15) << 8); }
    uint32_t result() { return rd(0x28) | rd(0x29) << 8 | uint32_t(rd(0x2A)) << 16 | uint32_t(rd(0x2B)) << 24; }
    uint16_t remainder() { return uint16_t(rd(0x2C) | rd(0x2D) << 8); }
};

TEST_F(Spc7110Test, StatusRegistersAndPlainStorage) {
    EXPECT_EQ(rd(0x31), 0);
    EXPECT_EQ(rd(0x32), 1);
    EXPECT_EQ(rd(0x33), 2);
    wr(0x06, 0x12);
    EXPECT_EQ(bus_peek(m, 0x00, 0x480C), 0x80);  // a peek clears nothing
    EXPECT_EQ(rd(0x0C), 0x80);
    EXPECT_EQ(rd(0x0C), 0x00);
    wr(0x2F, 0x55);
    EXPECT_EQ(rd(0x2F), 0);
    wr(0x42, 0x00);
    EXPECT_EQ(rd(0x42), 0x80);
    wr(0x9A, 0x5A);
    EXPECT_EQ(bus_read(m, 0x80, 0x489A), 0x5A);  // the page is seen in every system bank
    // $4800 counts its reads down in $4809-$480A.
    wr16(0x09, 0x0001);
    wr(0x00, 0x77);
    EXPECT_EQ(rd(0x00), 0x77);
    EXPECT_EQ(rd(0x09), 0x00);
    rd(0x00);
    EXPECT_EQ(rd(0x09), 0xFF);
    EXPECT_EQ(rd(0x0A), 0xFF);
}

TEST_F(Spc7110Test, TheDataPortReadsTheStoredByteUntilAModeIsWritten) {
    wr(0x10, 0x3C);
    set_address(0x000100);
    EXPECT_EQ(rd(0x10), 0x3C);
    EXPECT_EQ(address(), 0x000100u);
    wr(0x18, 0x00);
    EXPECT_EQ(rd(0x10), data_pattern(0x100));
}

struct PortCase {
    uint8_t mode;
    uint16_t offset, step;
    uint32_t expected_source[3];  // the addresses of three $4810 reads
    uint32_t address_after;
    uint16_t offset_after;
};

TEST_F(Spc7110Test, EachDataPortModeReadsAndSteps) {
    const uint32_t a = 0x001000;
    const PortCase cases[] = {
        {0x00, 0, 0, {a, a + 1, a + 2}, a + 3, 0},                                  // address +1
        {0x10, 5, 0, {a, a, a}, a, 8},                                              // offset +1
        {0x01, 0, 0x0010, {a, a + 0x10, a + 0x20}, a + 0x30, 0},                    // address + step
        {0x01, 0, 0xFFF0, {a, a + 0xFFF0, a + 0x1FFE0}, a + 0x2FFD0, 0},            // step unsigned
        {0x05, 0, 0xFFF0, {a, a - 0x10, a - 0x20}, a - 0x30, 0},                    // step signed
        {0x11, 2, 0x0100, {a, a, a}, a, 0x302},                                     // offset + step
        {0x02, 0xFFFF, 0, {a + 0xFFFF, a, a + 1}, a, 0x0002},                       // address + offset
        {0x0A, 0xFFFF, 0, {a - 1, a, a + 1}, a, 0x0002},                            // signed offset
    };
    for (const PortCase& c : cases) {
        wr(0x18, c.mode);
        set_address(a);
        wr16(0x16, c.step);
        wr16(0x14, c.offset);
        for (uint32_t source : c.expected_source) {
            EXPECT_EQ(bus_peek(m, 0x00, 0x4810), data_pattern(source)) << int(c.mode);
            EXPECT_EQ(rd(0x10), data_pattern(source)) << "mode " << int(c.mode) << " source " << source;
        }
        EXPECT_EQ(address(), c.address_after & 0xFFFFFF) << int(c.mode);
        EXPECT_EQ(offset(), c.offset_after) << int(c.mode);
        EXPECT_EQ(m.spc7110.regs[0x10], data_pattern(c.expected_source[2])) << "the last byte stays in $4810";
    }
}

TEST_F(Spc7110Test, ReadWithOffsetAndOffsetWritesMoveTheAddress) {
    const uint32_t a = 0x002000;
    struct Case {
        uint8_t mode;
        uint16_t offset;
        uint32_t source, address_after;
        uint16_t offset_after;
    } cases[] = {
        {0x00, 0x0040, a + 0x40, a, 0x40},           // no stepping below $60
        {0x60, 0x0040, a + 0x40, a + 0x40, 0x40},    // address + offset
        {0x68, 0xFFF0, a - 0x10, a - 0x10, 0xFFF0},  // signed
        {0x70, 0x0040, a + 0x40, a, 0x80},           // offset doubles
    };
    for (const Case& c : cases) {
        wr(0x18, c.mode);
        set_address(a);
        wr16(0x14, c.offset);
        // Modes with bit 1 clear leave the offset writes alone.
        ASSERT_EQ(address(), a);
        EXPECT_EQ(rd(0x1A), data_pattern(c.source)) << int(c.mode);
        EXPECT_EQ(address(), c.address_after) << int(c.mode);
        EXPECT_EQ(offset(), c.offset_after) << int(c.mode);
    }
    // Mode bits 1 and 5: writing the offset's low byte adds it to the address.
    wr(0x18, 0x22);
    set_address(a);
    wr(0x14, 0xFE);
    EXPECT_EQ(address(), a + 0xFE);
    wr(0x18, 0x2A);
    set_address(a);
    wr(0x14, 0xFE);
    EXPECT_EQ(address(), a - 2);
    // Mode bits 1 and 6: writing the high byte adds the whole offset.
    wr(0x18, 0x4A);
    set_address(a);
    wr(0x14, 0x00);
    EXPECT_EQ(address(), a);
    wr(0x15, 0xFF);
    EXPECT_EQ(address(), a - 0x100);
}

TEST_F(Spc7110Test, PortAddressesPastTheDataRomWrapWithinIt) {
    wr(0x18, 0x00);
    set_address(0xFFFFFF);
    EXPECT_EQ(rd(0x10), data_pattern(0xFFFFF));  // 1 MiB of data: $FFFFFF wraps to $0FFFFF
    EXPECT_EQ(address(), 0u);                     // the address wraps in 24 bits
    set_address(0x100005);
    EXPECT_EQ(rd(0x10), data_pattern(5));

    // An image without data ROM reads zeros.
    Loaded small = load_image([] {
        auto image = spc7110_image(0);
        return image;
    }());
    Machine& s = small.m();
    bus_write(s, 0x00, 0x4818, 0x00);
    EXPECT_EQ(bus_read(s, 0x00, 0x4810), 0x00);
}

TEST_F(Spc7110Test, MultiplyAndDivideWithAndWithoutSigns) {
    struct Case {
        bool is_signed, divide;
        uint32_t a;  // multiplicand or dividend
        uint16_t b;  // multiplier or divisor
        uint32_t result;
        uint16_t remainder;
    } cases[] = {
        {false, false, 0xFFFF, 0xFFFF, 0xFFFE0001, 0},
        {true, false, 0xFFFF, 0xFFFF, 1, 0},
        {true, false, 0xFFFE, 0x0003, 0xFFFFFFFA, 0},
        {true, false, 0x8000, 0x7FFF, 0xC0008000, 0},
        {false, true, 100, 7, 14, 2},
        {true, true, uint32_t(-100), 7, uint32_t(-14), uint16_t(-2)},
        {true, true, 100, uint16_t(-7), uint32_t(-14), 2},
        {false, true, 0xFFFFFFFF, 0xFFFF, 0x10001, 0},
        {false, true, 7, 0, 0xFFFFFFFF, 0xFFFF},
        {true, true, 7, 0, 0xFFFFFFFF, 0xFFFF},
        {true, true, 0x80000000, 0xFFFF, 0x80000000, 0},  // does not fit: kept in 32 bits
    };
    for (const Case& c : cases) {
        wr(0x2E, c.is_signed ? 1 : 0);
        wr16(0x20, uint16_t(c.a));
        wr16(0x22, uint16_t(c.a >> 16));
        if (c.divide) {
            wr16(0x26, c.b);
        } else {
            wr16(0x24, c.b);
        }
        EXPECT_EQ(result(), c.result) << std::hex << c.a << (c.divide ? " / " : " * ") << c.b;
        if (c.divide) {
            EXPECT_EQ(remainder(), c.remainder) << std::hex << c.a << " / " << c.b;
        }
        EXPECT_EQ(rd(0x2F), 0);
    }
    wr(0x2E, 0);
    for (int r = 0x20; r <= 0x2D; r++) EXPECT_EQ(rd(uint8_t(r)), 0) << r;
}

TEST_F(Spc7110Test, CartridgeRamTakesWritesOnlyWhileEnabled) {
    bus_write(m, 0x00, 0x6000, 0x11);
    EXPECT_EQ(bus_read(m, 0x00, 0x6000), 0xFF);
    wr(0x30, 0x80);
    bus_write(m, 0x00, 0x6000, 0x11);
    bus_write(m, 0xBF, 0x7FFF, 0x22);
    EXPECT_EQ(bus_read(m, 0x30, 0x6000), 0x11);
    EXPECT_EQ(m.cart.sram[0x1FFF], 0x22);
    wr(0x30, 0x00);
    bus_write(m, 0x00, 0x6000, 0x33);
    EXPECT_EQ(bus_read(m, 0x00, 0x6000), 0x11);
}

TEST_F(Spc7110Test, DataRomBanksFollowTheirRegistersAndProgramRomStaysInC0) {
    Loaded big = load_image(spc7110_image(3));
    Machine& b = big.m();
    EXPECT_EQ(bus_read(b, 0xC0, 0x0000), big.cart().rom[0]);
    EXPECT_EQ(bus_read(b, 0x00, 0x8000), big.cart().rom[0x8000]);
    EXPECT_EQ(bus_read(b, 0xD0, 0x0000), data_pattern(0));
    EXPECT_EQ(bus_read(b, 0xE0, 0x0010), data_pattern(kMiB + 0x10));
    EXPECT_EQ(bus_read(b, 0xFF, 0xFFFF), data_pattern(3 * kMiB - 1));
    bus_write(b, 0x00, 0x4831, 2);
    EXPECT_EQ(bus_read(b, 0xD1, 0x0001), data_pattern(2 * kMiB + 0x10001));
    bus_write(b, 0x00, 0x4831, 4);  // past the 3 MiB of data: wraps to the second MiB
    EXPECT_EQ(bus_read(b, 0xD0, 0x0000), data_pattern(kMiB));
    chip_reset(b);
    EXPECT_EQ(bus_read(b, 0xD0, 0x0000), data_pattern(0));
}

TEST_F(Spc7110Test, ClockWritesAndReadsThroughThePort) {
    wr(0x40, 0x01);
    wr(0x41, 0x03);  // write command
    wr(0x41, 0x00);  // index 0
    const uint8_t time[13] = {5, 4, 9, 5, 3, 2, 1, 3, 2, 1, 9, 9, 6};  // 23:59:45, 31.12.99, Saturday
    for (uint8_t v : time) wr(0x41, v);
    wr(0x41, 0x00);  // D
    wr(0x41, 0x00);  // E
    wr(0x41, 0x04);  // F: 24 hours
    EXPECT_EQ(m.spc7110.clock.index, 0);

    wr(0x40, 0x01);
    wr(0x41, 0x0C);  // read command
    wr(0x41, 0x00);
    for (uint8_t v : time) EXPECT_EQ(rd(0x41), v);
    // Writes are refused outside the write command.
    wr(0x41, 0x07);
    EXPECT_EQ(m.spc7110.clock.regs[14], 0);

    // Fifteen seconds of console time reach the new year.
    for (int i = 0; i < 15 * 15746; i++) spc7110_line_end(m);
    wr(0x40, 0x01);
    wr(0x41, 0x0C);
    wr(0x41, 0x00);
    const uint8_t new_year[13] = {0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0};
    for (uint8_t v : new_year) EXPECT_EQ(rd(0x41), v);

    // Disabled, the port reads 0.
    wr(0x40, 0x00);
    EXPECT_EQ(rd(0x41), 0);
    EXPECT_EQ(rd(0x42), 0x80);
}

TEST_F(Spc7110Test, ClockControlRegistersHoldAndClearSeconds) {
    auto write_at = [&](uint8_t index, uint8_t v) {
        wr(0x40, 0x01);
        wr(0x41, 0x03);
        wr(0x41, index);
        wr(0x41, v);
    };
    write_at(0, 7);
    write_at(1, 3);
    write_at(13, 0x08);  // 30-second adjust clears the seconds
    EXPECT_EQ(m.spc7110.clock.regs[0], 0);
    EXPECT_EQ(m.spc7110.clock.regs[1], 0);
    write_at(13, 0x01);  // hold: the clock stands still
    for (int i = 0; i < 2 * 15746; i++) spc7110_line_end(m);
    EXPECT_EQ(m.spc7110.clock.regs[0], 0);
    write_at(13, 0x00);  // release while held: register 15 takes the value's low bits
    EXPECT_EQ(m.spc7110.clock.regs[15], 0);
    EXPECT_EQ(m.spc7110.clock.regs[13], 1);
    write_at(0, 9);
    write_at(15, 0x05);  // reset bit rising clears the seconds
    EXPECT_EQ(m.spc7110.clock.regs[0], 0);
}

TEST(Spc7110Clock, TwelveHourModeTurnsAtElevenAndTwelve) {
    Spc7110Clock c;
    spc7110_clock_reset(c);
    c.regs[15] = 0;  // 12-hour
    c.regs = {9, 5, 9, 5, 1, 1, 8, 2, 2, 0, 4, 2, 3, 0, 0, 0};  // 11:59:59 AM, 28.02.24
    spc7110_clock_tick_second(c);
    EXPECT_EQ(c.regs[4], 2);
    EXPECT_EQ(c.regs[5], 1 | 4);  // 12 PM
    c.regs[4] = 1;
    c.regs[5] = 1 | 4;  // 11 PM
    c.regs[0] = 9; c.regs[1] = 5; c.regs[2] = 9; c.regs[3] = 5;
    spc7110_clock_tick_second(c);
    EXPECT_EQ(c.regs[4], 2);
    EXPECT_EQ(c.regs[5], 1);     // 12 AM
    EXPECT_EQ(c.regs[6], 9);     // 29 February 2024
    EXPECT_EQ(c.regs[7], 2);
    EXPECT_EQ(c.regs[12], 4);
}

TEST_F(Spc7110Test, ResetClearsTheRegistersAndTheStateChunkRestoresThem) {
    wr(0x18, 0x01);
    set_address(0x123456);
    wr(0x06, 0);
    wr(0x40, 1);
    wr(0x41, 3);
    wr(0x41, 5);
    std::vector<uint8_t> chunk(kSpc7110StateSize);
    StateWriter w{chunk.data()};
    spc7110_state_io(w, m);
    ASSERT_EQ(w.p, chunk.data() + chunk.size());

    chip_reset(m);
    EXPECT_EQ(address(), 0u);
    EXPECT_EQ(rd(0x32), 1);
    EXPECT_EQ(rd(0x10), 0);  // the port is disabled again
    EXPECT_EQ(rd(0x0C), 0);

    StateReader r{chunk.data()};
    spc7110_state_io(r, m);
    EXPECT_EQ(address(), 0x123456u);
    EXPECT_TRUE(m.spc7110.data_port_enabled);
    EXPECT_EQ(m.spc7110.clock.index, 5);
    EXPECT_EQ(rd(0x0C), 0x80);

    // Damaged values are brought into range.
    chunk[256 + 2 + 16] = 200;  // clock index
    chunk[256 + 2 + 3] = 0xFF;  // a clock nibble
    StateReader damaged{chunk.data()};
    spc7110_state_io(damaged, m);
    EXPECT_EQ(m.spc7110.clock.index, kClockIndexNone);
    EXPECT_EQ(m.spc7110.clock.regs[3], 0x0F);
}

}  // namespace
}  // namespace vt::test
