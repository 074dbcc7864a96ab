// The DSP-3 through its ports: the map-grid commands, the bit-plane
// transposer, the decoder and the log line for unknown commands.
#include <gtest/gtest.h>

#include <string>

#include "coproc/dsp/dsp3.h"
#include "coproc/dsp/dsp_ports.h"

namespace vt::test {
namespace {

std::string dsp3_title() { return std::string("SD") + "\xB6\xDE\xDD\xC0\xDE\xD1" + "GX"; }

struct Dsp3Test : ::testing::Test {
    Loaded l = load_image(dsp_image(dsp3_title()));
    Machine& m = l.m();
    DspPorts dsp{m};
    std::vector<std::string> log;
    void SetUp() override {
        ASSERT_EQ(m.cart.dsp_variant, 3);
        m.host.log = &log;
        m.host.log_line = [](void* l, std::string_view line) {
            static_cast<std::vector<std::string>*>(l)->emplace_back(line);
        };
    }
};

TEST_F(Dsp3Test, MapSizeThenMapOffset) {
    dsp.write8(0x06);
    EXPECT_EQ(dsp.status(), 0x80);
    dsp.write16(0x1020);
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(dsp.run(0x03, {0x0203}, 1)[0], 0x0043);
    EXPECT_EQ(dsp.status(), 0x84);
    // Bit 15 repeats bit 14.
    dsp.run(0x06, {0x00FF}, 0);
    EXPECT_EQ(dsp.run(0x03, {0x4100}, 1)[0], uint16_t(0x40BF | 0x8000));
}

TEST_F(Dsp3Test, SimpleAnswers) {
    EXPECT_EQ(dsp.run(0x2F, {0x1234}, 1)[0], 0x0300);
    EXPECT_EQ(dsp.run(0x0F, {0x1234}, 1)[0], 0x0000);
    const auto rom = dsp.run(0x1F, {0}, 1024);
    EXPECT_EQ(std::vector<uint16_t>(dsp3_data_rom().begin(), dsp3_data_rom().end()), rom);
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_TRUE(log.empty());
}

TEST_F(Dsp3Test, BitPlaneTransposition) {
    EXPECT_EQ(dsp.run(0x18, {1, 0x0080, 0, 0, 0}, 4), (std::vector<uint16_t>{0, 0, 0, 0x8000}));
    // Two blocks: bit 0 of every byte set gives p0 = $FF.
    // Two blocks, each four words in and four out: bit 0 of every byte
    // set gives p0 = $FF; bytes 1, 2 give p0 = $80 and p1 = $40.
    EXPECT_EQ(dsp.run(0x18, {2, 0x0101, 0x0101, 0x0101, 0x0101}, 4), (std::vector<uint16_t>{0x00FF, 0, 0, 0}));
    EXPECT_EQ(dsp.status(), 0x80);
    dsp.write_words({0x0201, 0, 0, 0});
    EXPECT_EQ(dsp.read_words(4), (std::vector<uint16_t>{0x4080, 0, 0, 0}));
    EXPECT_EQ(dsp.status(), 0x84);
    dsp.run(0x18, {0}, 0);  // no blocks
    EXPECT_EQ(dsp.status(), 0x84);
}

TEST_F(Dsp3Test, GridStepWrapsAndCorrectsOddColumns) {
    dsp.run(0x06, {0x1020}, 0);  // 32 x 16
    // North-east from an odd column stays on the same row.
    EXPECT_EQ(dsp.run(0x07, {1, 0x0203}, 2), (std::vector<uint16_t>{0x0204, 2 * 32 + 4}));
    // North-east from an even column goes up a row.
    EXPECT_EQ(dsp.run(0x07, {1, 0x0204}, 2), (std::vector<uint16_t>{0x0105, 32 + 5}));
    // North from the top row wraps to the bottom; west from column 0 wraps.
    EXPECT_EQ(dsp.run(0x07, {0, 0x0000}, 2), (std::vector<uint16_t>{0x0F00, 15 * 32}));
    EXPECT_EQ(dsp.run(0x07, {4, 0x0300}, 2), (std::vector<uint16_t>{0x031F, 3 * 32 + 31}));
}

TEST_F(Dsp3Test, UnknownCommandsWriteTheLogLineAndWait) {
    dsp.write8(0x00);
    dsp.write8(0x3A);
    EXPECT_EQ(log, (std::vector<std::string>{"DSP3 UNKNOWN COMMAND #00", "DSP3 UNKNOWN COMMAND #3A"}));
    dsp.write8(0x40);  // ignored without a line
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(dsp.run(0x2F, {0}, 1)[0], 0x0300);
}

TEST_F(Dsp3Test, CommandTwoTransferPattern) {
    dsp.write8(0x02);
    dsp.write_words({0x1111, 0x2222, 0x3333});  // passed over
    dsp.write_words({0xAAAA, 0xBBBB});
    EXPECT_EQ(dsp.read_words(3), (std::vector<uint16_t>{1, 0xAAAA, 0xBBBB}));
    dsp.write_words({0, 0});  // two passed over; DR is not $FFFF: another round
    dsp.write_words({0xCCCC, 0xDDDD});
    EXPECT_EQ(dsp.read_words(3), (std::vector<uint16_t>{1, 0xCCCC, 0xDDDD}));
    dsp.write_words({0, 0xFFFF});
    EXPECT_EQ(dsp.status(), 0x84);
}

// Bits, most significant first, packed into words.
struct BitWriter {
    std::vector<uint16_t> words;
    int used = 16;
    void put(uint32_t value, int n) {
        for (int i = n - 1; i >= 0; i--) {
            if (used == 16) {
                words.push_back(0);
                used = 0;
            }
            if (value >> i & 1) words.back() |= uint16_t(0x8000 >> used);
            used++;
        }
    }
};

// Feeds words while the decoder asks ($C0) and reads results while it
// gives them ($80), until it is back in the command loop.
std::vector<uint16_t> decode(DspPorts& dsp, const std::vector<uint16_t>& words, size_t* words_used = nullptr) {
    std::vector<uint16_t> out;
    size_t next = 0;
    for (int guard = 0; guard < 1000 && dsp.status() != 0x84; guard++) {
        if (dsp.status() == 0xC0) {
            dsp.write16(next < words.size() ? words[next] : 0);
            next++;
        } else {
            out.push_back(dsp.read16());
        }
    }
    if (words_used) *words_used = next;
    return out;
}

TEST_F(Dsp3Test, DecoderBuildsItsTablesAndDecodesSymbolsAndLiterals) {
    BitWriter b;
    b.put(0, 2), b.put(0x041, 9);  // entry 0: $41
    b.put(3, 2), b.put(0xF, 4);    // entry 1: $41 + 4 + 15 = $54
    b.put(0, 2), b.put(0x1FF, 9);  // entry 2: $1FF
    b.put(1, 2);                   // entry 3: $200
    b.put(0, 1);                   // four groups
    for (int g = 0; g < 4; g++) b.put(0, 3);  // each one bit long: bases 0, 2, 4, 6
    b.put(0, 2), b.put(0, 1);                 // symbol: entry 0
    b.put(0, 2), b.put(1, 1);                 // entry 1
    b.put(1, 2), b.put(0, 1), b.put(0, 1), b.put(0xA5, 8);    // entry 2, an 8-bit literal
    b.put(1, 2), b.put(1, 1), b.put(1, 1), b.put(0xABC, 12);  // entry 3, a 12-bit literal
    dsp.write8(0x38);
    dsp.write_words({4, 4});
    EXPECT_EQ(dsp.status(), 0xC0);
    size_t used = 0;
    EXPECT_EQ(decode(dsp, b.words, &used),
              (std::vector<uint16_t>{0x41, 0x54, 0x1FF + 0x7F02, 0xA5, 0x200 + 0x7F02, 0xABC}));
    EXPECT_EQ(used, b.words.size());
    EXPECT_EQ(dsp.status(), 0x84);
}

TEST_F(Dsp3Test, AStateSavedWhileTheDecoderWaitsResumesIt) {
    BitWriter b;
    b.put(0, 2), b.put(0x07, 9);
    b.put(1, 1);                              // eight groups
    for (int g = 0; g < 8; g++) b.put(1, 3);  // two bits each
    for (int s = 0; s < 20; s++) b.put(0, 3), b.put(0, 2);
    dsp.write8(0x38);
    dsp.write_words({1, 20});
    dsp.write16(b.words[0]);
    dsp.write16(b.words[1]);
    Loaded other = load_image(dsp_image(dsp3_title()));
    carry_state(m, other.m());
    DspPorts again{other.m()};
    EXPECT_EQ(again.status(), dsp.status());
    const std::vector<uint16_t> rest(b.words.begin() + 2, b.words.end());
    EXPECT_EQ(decode(again, rest), decode(dsp, rest));
    EXPECT_EQ(again.status(), 0x84);
}

}  // namespace
}  // namespace vt::test
