// The S-DD1: bank mapping, the data port during a DMA, reset, and streams
// made by an encoder written here decoding back through a DMA for every
// bit-plane type.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/sdd1/sdd1.h"
#include "core/state_io.h"
#include "video/dma.h"

namespace vt::test {
namespace {

// The encoder: it keeps the same model as the decoder (context states,
// MPS bits, plane histories) and writes one Golomb code word per run, in
// the order in which the decoder will ask for them.
class Sdd1Encoder {
public:
    Sdd1Encoder(int plane_type, int context_type) : plane_type_(plane_type), context_type_(context_type) {
        open_.fill(-1);
    }

    void plane_bit(int plane, int b) {
        static constexpr uint8_t kHigh[4] = {0x0E, 0x0C, 0x06, 0x0C};
        static constexpr uint8_t kLow[4] = {0x01, 0x01, 0x01, 0x03};
        uint16_t& h = history_[size_t(plane)];
        const int c = (plane & 1) * 16 | ((h >> 5) & kHigh[context_type_]) | (h & kLow[context_type_]);
        h = uint16_t((h << 1) | b);
        const uint8_t s = state_[size_t(c)];
        const int g = kOrder[s];
        if (open_[size_t(g)] < 0) {
            open_[size_t(g)] = int(words_.size());
            words_.push_back({g, false, 0});
            count_[size_t(g)] = 0;
        }
        Word& w = words_[size_t(open_[size_t(g)])];
        if (b == mps_[size_t(c)]) {
            if (++count_[size_t(g)] < (1u << g)) return;
            state_[size_t(c)] = kNextMps[s];  // a full run of MPS: code word "0"
        } else {
            w.lps = true;
            w.r = (1u << g) - (count_[size_t(g)] + 1);
            state_[size_t(c)] = kNextLps[s];
            if (s <= 1) mps_[size_t(c)] = uint8_t(b);
        }
        open_[size_t(g)] = -1;
    }

    // Header nibble, then the code words; a run still open ends as "0".
    std::vector<uint8_t> finish() const {
        std::vector<int> bits = {(plane_type_ >> 1) & 1, plane_type_ & 1, (context_type_ >> 1) & 1, context_type_ & 1};
        for (const Word& w : words_) {
            bits.push_back(w.lps);
            if (!w.lps) continue;
            for (int i = 0; i < w.g; i++) bits.push_back((w.r >> i) & 1);
        }
        std::vector<uint8_t> out((bits.size() + 7) / 8 + 4, 0);
        for (size_t i = 0; i < bits.size(); i++) {
            if (bits[i]) out[i / 8] |= uint8_t(0x80 >> (i % 8));
        }
        return out;
    }

private:
    static constexpr uint8_t kOrder[33] = {0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,
                                           4, 4, 5, 5, 6, 6, 7, 7, 0, 1, 2, 3, 4, 5, 6, 7};
    static constexpr uint8_t kNextMps[33] = {25, 2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                             18, 19, 20, 21, 22, 23, 24, 24, 26, 27, 28, 29, 30, 31, 32, 24};
    static constexpr uint8_t kNextLps[33] = {25, 1,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                             16, 17, 18, 19, 20, 21, 22, 23, 1,  2,  4,  8,  12, 16, 18, 22};
    struct Word {
        int g;
        bool lps;
        uint32_t r;
    };
    int plane_type_, context_type_;
    std::array<uint8_t, 32> state_{}, mps_{};
    std::array<uint16_t, 8> history_{};
    std::array<int, 8> open_{};
    std::array<uint32_t, 8> count_{};
    std::vector<Word> words_;
};

// Encodes `data` (an even number of bytes for the word types) as the
// decoder will produce it.
std::vector<uint8_t> encode(const std::vector<uint8_t>& data, int plane_type, int context_type) {
    Sdd1Encoder e(plane_type, context_type);
    if (plane_type == 3) {
        for (uint8_t byte : data) {
            for (int plane = 0; plane < 8; plane++) e.plane_bit(plane, (byte >> plane) & 1);
        }
        return e.finish();
    }
    int first = 0;
    for (size_t word = 0; word * 2 < data.size(); word++) {
        for (int mask = 0x80; mask != 0; mask >>= 1) {
            e.plane_bit(first, (data[word * 2] & mask) != 0);
            e.plane_bit(first + 1, (data[word * 2 + 1] & mask) != 0);
        }
        if ((word + 1) % 8 == 0) {
            if (plane_type == 2) first ^= 2;
            if (plane_type == 1) first = (first + 2) & 7;
        }
    }
    return e.finish();
}

// Tile-like data: runs of equal bytes with a few random bits.
std::vector<uint8_t> graphics_like(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> data(size);
    uint8_t current = 0;
    for (size_t i = 0; i < size; i++) {
        if (rng() % 6 == 0) current = uint8_t(rng());
        data[i] = uint8_t(current ^ ((rng() % 9 == 0) ? 1u << (rng() % 8) : 0u));
    }
    return data;
}

constexpr size_t kStreams = 0x210000;  // bank $61 with the reset block registers

std::vector<uint8_t> sdd1_image() {
    auto image = pattern_image(4 * kMiB);
    HeaderFields f;
    f.map_mode = 0x32;
    f.cart_type = 0x43;
    f.rom_size = 0x0C;
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

struct Sdd1Test : ::testing::Test {
    Loaded l = load_image(sdd1_image());
    Machine& m = l.m();

    void SetUp() override { ASSERT_EQ(m.cart.coprocessor, kCoprocSdd1); }

    // A general DMA on `channel` from bank:addr into work RAM $7E:2000
    // through the $2180 port, run to its end.
    void dma_to_wram(int channel, uint8_t bank, uint16_t addr, uint16_t count) {
        const uint16_t base = uint16_t(0x4300 + channel * 16);
        bus_write(m, 0x00, 0x2181, 0x00);
        bus_write(m, 0x00, 0x2182, 0x20);
        bus_write(m, 0x00, 0x2183, 0x00);
        bus_write(m, 0x00, base + 0, 0x00);
        bus_write(m, 0x00, base + 1, 0x80);
        bus_write(m, 0x00, base + 2, uint8_t(addr));
        bus_write(m, 0x00, base + 3, uint8_t(addr >> 8));
        bus_write(m, 0x00, base + 4, bank);
        bus_write(m, 0x00, base + 5, uint8_t(count));
        bus_write(m, 0x00, base + 6, uint8_t(count >> 8));
        bus_write(m, 0x00, 0x420B, uint8_t(1 << channel));
        while (m.sysregs.mdmaen || m.dma.running) dma_step(m);
    }
    std::vector<uint8_t> wram(size_t size) {
        return std::vector<uint8_t>(m.mem.wram.begin() + 0x2000, m.mem.wram.begin() + 0x2000 + long(size));
    }
};

TEST_F(Sdd1Test, BlockRegistersMapTheUpperBanksAndResetRestoresThem) {
    const std::vector<uint8_t>& rom = l.cart().rom;
    EXPECT_EQ(bus_read(m, 0x00, 0x8000), rom[0x0000]);  // the first 2 MiB in 32 KiB windows
    EXPECT_EQ(bus_read(m, 0xBF, 0xFFFF), rom[0x1FFFFF]);
    EXPECT_EQ(bus_read(m, 0x40, 0x1234), rom[0x001234]);
    EXPECT_EQ(bus_read(m, 0xD0, 0x0000), rom[0x100000]);
    EXPECT_EQ(bus_read(m, 0xE5, 0x8000), rom[0x258000]);
    EXPECT_EQ(bus_read(m, 0xF0, 0x0000), rom[0x300000]);
    bus_write(m, 0x00, 0x4804, 1);
    EXPECT_EQ(bus_read(m, 0x40, 0x0000), rom[0x100000]);
    EXPECT_EQ(bus_read(m, 0xCF, 0xFFFF), rom[0x1FFFFF]);
    bus_write(m, 0x00, 0x4804, 6);  // past the 4 MiB image: the block mask wraps it
    EXPECT_EQ(bus_read(m, 0xC0, 0x0000), rom[0x200000]);
    EXPECT_EQ(bus_read(m, 0x80, 0x480C), 6);  // registers mirror through the page
    bus_write(m, 0x00, 0x4801, 0xFF);
    chip_reset(m);
    EXPECT_EQ(bus_read(m, 0x00, 0x4801), 0);
    EXPECT_EQ(bus_read(m, 0x00, 0x4804), 0);
    EXPECT_EQ(bus_read(m, 0x00, 0x4807), 3);
    EXPECT_EQ(bus_read(m, 0xC0, 0x0000), rom[0x000000]);
}

TEST_F(Sdd1Test, EveryBitPlaneTypeDecodesBackThroughADma) {
    for (int type = 0; type < 4; type++) {
        for (int context = 0; context < 4; context++) {
            const std::vector<uint8_t> data = graphics_like(type == 3 ? 777 : 1024, uint32_t(type * 4 + context));
            const std::vector<uint8_t> stream = encode(data, type, context);
            ASSERT_LT(stream.size(), 0x4000u);
            std::copy(stream.begin(), stream.end(), m.cart.rom.begin() + long(kStreams));
            const int channel = (type + context) % 8;
            bus_write(m, 0x00, 0x4801, uint8_t(1 << channel));
            dma_to_wram(channel, 0x61, 0x0000, uint16_t(data.size()));
            EXPECT_EQ(wram(data.size()), data) << "type " << type << " context " << context;
            EXPECT_FALSE(m.sdd1.active);
            EXPECT_EQ(bus_read(m, 0x00, 0x4801), 0) << "cleared after the last channel";
        }
    }
}

TEST_F(Sdd1Test, ADmaWithoutItsEnableBitReadsRom) {
    bus_write(m, 0x00, 0x4801, 0x02);  // channel 1 only
    dma_to_wram(0, 0x61, 0x0100, 64);
    const std::vector<uint8_t>& rom = l.cart().rom;
    EXPECT_EQ(wram(64), std::vector<uint8_t>(rom.begin() + long(kStreams + 0x100), rom.begin() + long(kStreams + 0x140)));
}

TEST_F(Sdd1Test, ATypeZeroCountOfSixteenMakesNineWordsAndTheDmaTakesSixteen) {
    // Header $08: type 0, context type 0, code bits "1 0 0 0 ...". The first
    // symbol is an LPS in a context of state 0: it becomes 1 and that
    // context's MPS turns to 1 (state 25), which the third bit of plane 0
    // shows.
    std::vector<uint8_t> stream(64, 0);
    stream[0] = 0x08;
    std::array<uint8_t, kSdd1BufferSize> out{};
    EXPECT_EQ(sdd1_decompress(stream, 0, 16, out), 18u);
    EXPECT_EQ(out[0] & 0xE0, 0xA0);
    EXPECT_EQ(out[1] & 0x80, 0x00);

    std::copy(stream.begin(), stream.end(), m.cart.rom.begin() + long(kStreams));
    bus_write(m, 0x00, 0x4801, 0x01);
    m.mem.wram[0x2010] = 0x5A;
    dma_to_wram(0, 0x61, 0x0000, 16);
    EXPECT_EQ(m.mem.wram[0x2000], out[0]);
    EXPECT_EQ(m.mem.wram[0x2010], 0x5A);  // the ninth word is never read
}

TEST(Sdd1Decompressor, CountsAndSourcesAtTheEdgesStayInBounds) {
    std::array<uint8_t, kSdd1BufferSize> out{};
    const std::vector<uint8_t> nothing;
    EXPECT_EQ(sdd1_decompress(nothing, 0, 65536, out), kSdd1BufferSize);  // type 0: capped at the buffer
    std::vector<uint8_t> type3 = {0xC0};
    EXPECT_EQ(sdd1_decompress(type3, 0, 65536, out), kSdd1BufferSize);
    EXPECT_EQ(sdd1_decompress(type3, 5, 1, out), 2u);  // past the end: zeros, a type-0 header, one word
}

TEST_F(Sdd1Test, AStreamFromAnAddressBelowTheRomReadsZerosAndTheStateChunkKeepsTheBuffer) {
    bus_write(m, 0x00, 0x4801, 0x01);
    dma_to_wram(0, 0x00, 0x0000, 32);  // bank $00's pointer + $0000 lies before the ROM buffer
    EXPECT_FALSE(m.sdd1.active);

    m.sdd1.buffer[7] = 0x42;
    m.sdd1.read_position = 7;
    m.sdd1.active = true;
    std::vector<uint8_t> chunk(kSdd1StateSize);
    StateWriter w{chunk.data()};
    sdd1_state_io(w, m);
    ASSERT_EQ(w.p, chunk.data() + chunk.size());
    chip_reset(m);
    EXPECT_FALSE(m.sdd1.active);
    StateReader r{chunk.data()};
    sdd1_state_io(r, m);
    EXPECT_TRUE(m.sdd1.active);
    EXPECT_EQ(bus_read(m, 0xC0, 0x0000), 0x42);  // the data port continues where it was
}

}  // namespace
}  // namespace vt::test
