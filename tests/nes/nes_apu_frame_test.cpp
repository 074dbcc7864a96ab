// The sound unit's frame counter and its IRQ, the DMC (fetches, IRQ, loop,
// output unit, direct load), $4015, the mixer, the output and the state.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "core/state_io.h"
#include "nes/nes_apu_harness.h"

namespace vt::test {
namespace {

void write(NesApu& a, uint16_t address, uint8_t value) { nes_apu_write(a, address, value); }

// ----------------------------------------------------------- frame counter

TEST(NesApuFrameCounter, FourStepIrqTiming) {
    struct Case {
        const char* name;
        bool write_first;
        bool odd;
        uint32_t irq_at;  // cycles after the start (or the write)
    };
    // The IRQ flag rises 29828 cycles into the sequence; a $4017 write
    // restarts it 3 cycles later on an even cycle, 4 on an odd one.
    const Case cases[] = {
        {"power-on", false, false, 29828},
        {"write on an even cycle", true, false, 3 + 29828},
        {"write on an odd cycle", true, true, 4 + 29828},
    };
    for (const auto& c : cases) {
        auto a = powered_apu();
        if (c.write_first) {
            if (c.odd) nes_apu_run(*a, 1);
            nes_apu_run(*a, 10001 - (c.odd ? 1 : 0));  // an odd count: parity flips
            if (!c.odd) nes_apu_run(*a, 1);
            nes_apu_sync(*a);
            ASSERT_EQ(a->odd_cycle, c.odd);
            write(*a, 0x4017, 0x00);
        }
        nes_apu_run(*a, c.irq_at - 1);
        EXPECT_FALSE(nes_apu_irq(*a)) << c.name;
        nes_apu_run(*a, 1);
        EXPECT_TRUE(nes_apu_irq(*a)) << c.name;
        // The flag is raised again on the two following cycles.
        EXPECT_EQ(nes_apu_read_status(*a) & 0x40, 0x40) << c.name;
        EXPECT_FALSE(nes_apu_irq(*a));
        nes_apu_run(*a, 1);
        EXPECT_TRUE(nes_apu_irq(*a)) << c.name;
        nes_apu_read_status(*a);
        nes_apu_run(*a, 1);
        EXPECT_TRUE(nes_apu_irq(*a)) << c.name;
        nes_apu_read_status(*a);
        nes_apu_run(*a, 1);
        EXPECT_FALSE(nes_apu_irq(*a)) << c.name;
        // And again one sequence (29830 cycles) later.
        nes_apu_run(*a, 29830 - 4);
        EXPECT_FALSE(nes_apu_irq(*a)) << c.name;
        nes_apu_run(*a, 1);
        EXPECT_TRUE(nes_apu_irq(*a)) << c.name;
    }
}

TEST(NesApuFrameCounter, FiveStepModeAndInhibitRaiseNoIrq) {
    for (uint8_t value : {0x80, 0x40, 0xC0}) {
        auto a = powered_apu();
        write(*a, 0x4017, value);
        nes_apu_run(*a, 4 * 37282);
        EXPECT_FALSE(nes_apu_irq(*a)) << int(value);
    }
}

TEST(NesApuFrameCounter, InhibitClearsTheFlagAtOnce) {
    auto a = powered_apu();
    nes_apu_run(*a, 29829);
    ASSERT_TRUE(a->frame_irq);
    write(*a, 0x4017, 0x40);
    EXPECT_FALSE(a->frame_irq);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x40, 0);
}

TEST(NesApuFrameCounter, PeekLeavesTheFlag) {
    auto a = powered_apu();
    nes_apu_run(*a, 29829);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x40, 0x40);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x40, 0x40);
    EXPECT_EQ(nes_apu_read_status(*a) & 0x40, 0x40);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x40, 0);
}

// --------------------------------------------------------------------- DMC

struct FakeMemory {
    std::vector<uint16_t> reads;
    uint8_t value = 0x55;
};
uint8_t read_memory(void* context, uint16_t address) {
    auto* m = static_cast<FakeMemory*>(context);
    m->reads.push_back(address);
    return m->value;
}

std::unique_ptr<NesApu> apu_with_memory(FakeMemory& memory) {
    auto a = powered_apu();
    a->dmc_read = read_memory;
    a->dmc_context = &memory;
    write(*a, 0x4017, 0x40);  // keep the frame IRQ out of the way
    return a;
}

TEST(NesApuDmc, FetchesTheSampleAndRaisesItsIrq) {
    struct Case {
        uint8_t address_reg, length_reg, rate;
        uint16_t first;
        uint32_t bytes;
    };
    const Case cases[] = {
        {0x00, 0x00, 0x0F, 0xC000, 1}, {0x01, 0x01, 0x0F, 0xC040, 17},
        {0x10, 0x02, 0x0E, 0xC400, 33}, {0x80, 0x01, 0x00, 0xE000, 17},
    };
    const uint16_t periods[16] = {428, 380, 340, 320, 286, 254, 226, 214, 190, 160, 142, 128, 106, 84, 72, 54};
    for (const auto& c : cases) {
        FakeMemory memory;
        auto a = apu_with_memory(memory);
        write(*a, 0x4010, uint8_t(0x80 | c.rate));
        write(*a, 0x4012, c.address_reg);
        write(*a, 0x4013, c.length_reg);
        write(*a, 0x4015, 0x10);
        EXPECT_EQ(memory.reads.size(), 1u) << "the first byte is fetched at once";
        EXPECT_EQ(nes_apu_peek_status(*a) & 0x10, c.bytes > 1 ? 0x10 : 0);
        // Each byte plays for 8 output clocks; the next is fetched when the
        // previous one moves into the shift register.
        nes_apu_run(*a, uint32_t(periods[c.rate]) * 8 * (c.bytes + 1));
        ASSERT_EQ(memory.reads.size(), c.bytes);
        for (uint32_t i = 0; i < c.bytes; i++) EXPECT_EQ(memory.reads[i], uint16_t(c.first + i));
        EXPECT_EQ(nes_apu_peek_status(*a) & 0x90, 0x80);
        EXPECT_TRUE(nes_apu_irq(*a));
        EXPECT_EQ(nes_apu_take_stall(*a), 4 * c.bytes);
        EXPECT_EQ(nes_apu_take_stall(*a), 0u);
        // Writing $4015 clears the DMC's IRQ.
        write(*a, 0x4015, 0x00);
        EXPECT_FALSE(nes_apu_irq(*a));
    }
}

TEST(NesApuDmc, FetchTimingFollowsTheRate) {
    FakeMemory memory;
    auto a = apu_with_memory(memory);
    write(*a, 0x4010, 0x0F);  // 54 cycles a bit
    write(*a, 0x4013, 0x01);
    write(*a, 0x4015, 0x10);
    // The output unit was silent with 8 bits to go: its 8th clock (at 8 x
    // 54 cycles; the timer was reloaded at power-on with 428) empties the
    // buffer.
    nes_apu_run(*a, 428 + 7 * 54 - 1);
    EXPECT_EQ(memory.reads.size(), 1u);
    nes_apu_run(*a, 1);
    EXPECT_EQ(memory.reads.size(), 2u);
    nes_apu_run(*a, 8 * 54 - 1);
    EXPECT_EQ(memory.reads.size(), 2u);
    nes_apu_run(*a, 1);
    EXPECT_EQ(memory.reads.size(), 3u);
}

TEST(NesApuDmc, NoIrqWhenDisabledAndDisablingClearsIt) {
    FakeMemory memory;
    auto a = apu_with_memory(memory);
    write(*a, 0x4010, 0x0F);
    write(*a, 0x4015, 0x10);
    nes_apu_run(*a, 2000);
    EXPECT_FALSE(nes_apu_irq(*a));
    write(*a, 0x4010, 0x8F);
    write(*a, 0x4015, 0x10);
    nes_apu_run(*a, 2000);
    EXPECT_TRUE(nes_apu_irq(*a));
    write(*a, 0x4010, 0x0F);
    EXPECT_FALSE(nes_apu_irq(*a));
}

TEST(NesApuDmc, LoopRestartsWithoutIrqAndAddressesWrapToEightThousand) {
    FakeMemory memory;
    auto a = apu_with_memory(memory);
    write(*a, 0x4010, 0xCF);  // IRQ enabled, loop, fastest
    write(*a, 0x4012, 0xFF);  // $FFC0
    write(*a, 0x4013, 0x04);  // 65 bytes: $FFC0-$FFFF, $8000
    write(*a, 0x4015, 0x10);
    nes_apu_run(*a, 54 * 8 * 70);
    ASSERT_GE(memory.reads.size(), 68u);
    EXPECT_EQ(memory.reads[63], 0xFFFF);
    EXPECT_EQ(memory.reads[64], 0x8000);
    EXPECT_EQ(memory.reads[65], 0xFFC0);
    EXPECT_FALSE(nes_apu_irq(*a));
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x10, 0x10);
    // Clearing bit 4 stops the fetches.
    write(*a, 0x4015, 0x00);
    const size_t fetched = memory.reads.size();
    nes_apu_run(*a, 54 * 8 * 10);
    EXPECT_LE(memory.reads.size(), fetched + 1);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x10, 0);
}

TEST(NesApuDmc, OutputUnitStepsByTwoWithinItsRange) {
    struct Case {
        uint8_t start, sample;
        int clocks;
        uint8_t expected;
    };
    const Case cases[] = {
        {0x40, 0xFF, 8, 0x50}, {0x40, 0x00, 8, 0x30}, {0x40, 0xAA, 8, 0x40},
        {0x7C, 0xFF, 8, 0x7E}, {0x03, 0x00, 8, 0x01}, {0x7F, 0xFF, 8, 0x7F},
    };
    for (const auto& c : cases) {
        FakeMemory memory;
        memory.value = c.sample;
        auto a = apu_with_memory(memory);
        write(*a, 0x4010, 0x0F);
        write(*a, 0x4011, c.start);
        write(*a, 0x4013, 0x00);
        write(*a, 0x4015, 0x10);
        // The first byte starts playing after the silent 8 clocks.
        nes_apu_run(*a, 428 + 7 * 54);
        ASSERT_EQ(a->dmc.level, c.start);
        nes_apu_run(*a, 54 * c.clocks);
        EXPECT_EQ(a->dmc.level, c.expected) << int(c.start) << " " << int(c.sample);
    }
}

TEST(NesApuDmc, DirectLoadSetsTheLevel) {
    auto a = powered_apu();
    for (uint8_t v : {0x00, 0x01, 0x40, 0x7F, 0xFF}) {
        write(*a, 0x4011, v);
        EXPECT_EQ(a->dmc.level, v & 0x7F);
        // The triangle rests on its first step, 15, from power-on.
        EXPECT_EQ(a->level, nes_apu_mix(0, 0, 15, 0, v & 0x7F));
    }
}

// ------------------------------------------------------------------- mixer

TEST(NesApuMixer, FollowsTheConsoleCurves) {
    struct Case {
        int p1, p2, t, n, d;
    };
    const Case cases[] = {{0, 0, 0, 0, 0},  {1, 0, 0, 0, 0},   {15, 0, 0, 0, 0},  {15, 15, 0, 0, 0}, {8, 4, 0, 0, 0},
                          {0, 0, 15, 0, 0}, {0, 0, 0, 15, 0},  {0, 0, 0, 0, 127}, {0, 0, 15, 15, 127},
                          {15, 15, 15, 15, 127}, {3, 7, 9, 2, 64}};
    for (const auto& c : cases) {
        // The resistor networks' curves, full scale 1.0 = 32767.
        const double pulse = c.p1 + c.p2 ? 95.88 / (8128.0 / (c.p1 + c.p2) + 100.0) : 0;
        const double sum = c.t / 8227.0 + c.n / 12241.0 + c.d / 22638.0;
        const double tnd = sum > 0 ? 159.79 / (1.0 / sum + 100.0) : 0;
        const double expected = 32767.0 * (pulse + tnd);
        EXPECT_NEAR(nes_apu_mix(c.p1, c.p2, c.t, c.n, c.d), expected, 8 + expected * 0.02)
            << c.p1 << " " << c.p2 << " " << c.t << " " << c.n << " " << c.d;
    }
}

TEST(NesApuMixer, LouderChannelsLouderOutput) {
    // The curve compresses: two pulses at 15 are less than twice one.
    EXPECT_LT(nes_apu_mix(15, 15, 0, 0, 0), 2 * nes_apu_mix(15, 0, 0, 0, 0));
    EXPECT_GT(nes_apu_mix(15, 15, 0, 0, 0), nes_apu_mix(15, 0, 0, 0, 0));
    for (int v = 1; v <= 15; v++) EXPECT_GT(nes_apu_mix(v, 0, 0, 0, 0), nes_apu_mix(v - 1, 0, 0, 0, 0));
    for (int d = 1; d <= 127; d++) EXPECT_GT(nes_apu_mix(0, 0, 0, 0, d), nes_apu_mix(0, 0, 0, 0, d - 1));
}

// ------------------------------------------------------------------ output

TEST(NesApuOutput, SilenceIsZeroAndFramesHaveTheirLength) {
    auto a = powered_apu();
    bool equal = false;
    const auto s = run_frames(*a, 10, &equal);
    EXPECT_TRUE(equal);
    EXPECT_GE(s.size(), 7337u);
    EXPECT_LE(s.size(), 7339u);
    for (int16_t v : s) ASSERT_EQ(v, 0);
}

TEST(NesApuOutput, DirectLoadStepDecaysAway) {
    auto a = powered_apu();
    write(*a, 0x4011, 0x60);
    const auto s = run_frames(*a, 60);
    EXPECT_GT(peak_to_peak(s), 3000);  // the step is heard...
    for (size_t i = s.size() - 4410; i < s.size(); i++) ASSERT_LE(std::abs(s[i]), 2) << i;  // ...then the DC is gone
}

TEST(NesApuOutput, PulseLevelFollowsVolume) {
    double rms[16] = {};
    for (int volume : {4, 8, 15}) {
        auto a = powered_apu();
        write(*a, 0x4015, 0x01);
        write(*a, 0x4000, uint8_t(0xB0 | volume));
        write(*a, 0x4001, 0x08);
        write(*a, 0x4002, 0xFD);  // 440 Hz
        write(*a, 0x4003, 0x00);
        const auto s = run_frames(*a, 20);
        rms[volume] = measure_rms(s, 4410);
        // A 50 % square between 0 and L (the mixer level x 1.5) has an RMS
        // of L/2 without its DC: 0.45 L in the fundamental, 0.22 L in the
        // harmonics. The 440 Hz high-pass halves the fundamental's power
        // and lets most harmonics through: sqrt(0.318^2 + 0.21^2) L = 0.38 L.
        const double level = 1.5 * 32767.0 * 95.88 / (8128.0 / volume + 100.0);
        EXPECT_NEAR(rms[volume], 0.37 * level, level * 0.03) << volume;
    }
    EXPECT_GT(rms[8], rms[4] * 1.8);
    EXPECT_GT(rms[15], rms[8] * 1.7);
}

TEST(NesApuOutput, NoiseIsHeardWhileItsLengthLasts) {
    auto a = powered_apu();
    write(*a, 0x4015, 0x08);
    write(*a, 0x400C, 0x1F);  // constant 15, length runs
    write(*a, 0x400E, 0x04);
    write(*a, 0x400F, 0x08);  // 254 half frames: about two seconds
    const auto s = run_frames(*a, 30);
    EXPECT_GT(measure_rms(s, 1000), 1000);
    write(*a, 0x4015, 0x00);
    const auto quiet = run_frames(*a, 30);
    EXPECT_LT(measure_rms(quiet, 4410), 5);
}

// ------------------------------------------------------------------- state

std::vector<uint8_t> save(const NesApu& a) {
    std::vector<uint8_t> bytes(kNesApuStateSize + 16, 0xEE);
    StateWriter w{bytes.data()};
    nes_apu_state_io(w, a);
    EXPECT_EQ(size_t(w.p - bytes.data()), size_t(kNesApuStateSize));
    bytes.resize(kNesApuStateSize);
    return bytes;
}

void load(NesApu& a, const std::vector<uint8_t>& bytes) {
    StateReader r{bytes.data()};
    nes_apu_state_io(r, a);
    EXPECT_EQ(size_t(r.p - bytes.data()), size_t(kNesApuStateSize));
}

// A tune of every channel.
void start_music(NesApu& a, FakeMemory& memory) {
    a.dmc_read = read_memory;
    a.dmc_context = &memory;
    write(a, 0x4015, 0x1F);
    write(a, 0x4000, 0x9F);
    write(a, 0x4002, 0xFD);
    write(a, 0x4003, 0xF8);
    write(a, 0x4004, 0x5A);
    write(a, 0x4005, 0x9B);
    write(a, 0x4006, 0x50);
    write(a, 0x4007, 0xF9);
    write(a, 0x4008, 0x40);
    write(a, 0x400A, 0x7E);
    write(a, 0x400B, 0xF8);
    write(a, 0x400C, 0x25);
    write(a, 0x400E, 0x8A);
    write(a, 0x400F, 0xF8);
    write(a, 0x4010, 0x4C);
    write(a, 0x4012, 0x10);
    write(a, 0x4013, 0x08);
}

TEST(NesApuState, RoundTripKeepsTheChipAndTheSound) {
    FakeMemory memory;
    auto a = powered_apu();
    start_music(*a, memory);
    run_frames(*a, 7);
    const auto bytes = save(*a);
    auto b = powered_apu();
    b->dmc_read = read_memory;
    b->dmc_context = &memory;
    load(*b, bytes);
    // The chip's part of the state (all but the converter's place and the
    // output not yet delivered) reads back unchanged.
    const size_t chip_part =
        kNesApuStateSize - (3 * 4 + 2 + 4 + 2 * kNesApuHistory + 2 + 5 * 4 + 4 + 2 * kNesApuPendingSaved);
    const auto again = save(*b);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + chip_part, again.begin()));
    const auto sa = run_frames(*a, 10);
    const auto sb = run_frames(*b, 10);
    ASSERT_EQ(sa.size(), sb.size());
    // The chip runs on exactly; the restarted converter gives the same
    // sound within rounding.
    EXPECT_EQ(save(*a).size(), save(*b).size());
    EXPECT_EQ(a->pulse[1].period, b->pulse[1].period);
    EXPECT_EQ(a->noise.shift, b->noise.shift);
    EXPECT_EQ(a->dmc.address, b->dmc.address);
    int worst = 0;
    for (size_t i = 0; i < sa.size(); i++) worst = std::max(worst, std::abs(sa[i] - sb[i]));
    EXPECT_LE(worst, 2);
    EXPECT_GT(peak_to_peak(sa), 3000);
}

TEST(NesApuState, DamagedStatesOnlySoundWrong) {
    std::mt19937 random(20);
    for (int round = 0; round < 30; round++) {
        std::vector<uint8_t> bytes(kNesApuStateSize);
        for (auto& b : bytes) b = uint8_t(random());
        if (round % 3 == 0) std::fill(bytes.begin(), bytes.end(), 0xFF);
        if (round % 3 == 1) std::fill(bytes.begin(), bytes.end(), 0x00);
        FakeMemory memory;
        auto a = powered_apu();
        a->dmc_read = read_memory;
        a->dmc_context = &memory;
        load(*a, bytes);
        // All-$FF filter words are not numbers: the filters start from rest.
        for (float f : {a->lowpass, a->highpass90_in, a->highpass90_out, a->highpass440_in, a->highpass440_out}) {
            EXPECT_TRUE(std::isfinite(f) && std::fabs(f) <= kNesApuFilterLimit);
        }
        const auto s = run_frames(*a, 3);
        EXPECT_EQ(s.size(), 2201u);
        EXPECT_LE(a->pending_count, uint32_t(kNesApuPendingRoom));
    }
}

}  // namespace
}  // namespace vt::test
