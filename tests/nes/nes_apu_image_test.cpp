// The sound unit through the whole NES side: a test image plays notes on
// pulse 1, the triangle and pulse 2, then a DMC sample, with the frame IRQ
// on; pitch and level are measured in the samples the machine hands out.
#include <gtest/gtest.h>

#include <vector>

#include "audio/dsp.h"
#include "core/driver.h"
#include "nes/nes_side.h"
#include "support/test_rom.h"
#include "nes/nes_apu_harness.h"

namespace vt {
namespace {

struct Recording {
    std::vector<int16_t> left;
    std::vector<size_t> frame_start;  // index of each video frame's first sample
    bool sides_equal = true;
};

Recording record(Machine& m, int frames) {
    Recording r;
    for (int f = 0; f < frames; f++) {
        run_frame(m);
        const DspSamples s = dsp_finished_samples(m);
        r.frame_start.push_back(r.left.size());
        EXPECT_TRUE(s.frames == 734 || s.frames == 733 || s.frames == 735) << s.frames;
        for (uint32_t i = 0; i < s.frames; i++) {
            r.left.push_back(s.samples[2 * i]);
            if (s.samples[2 * i] != s.samples[2 * i + 1]) r.sides_equal = false;
        }
    }
    return r;
}

std::vector<int16_t> frames_of(const Recording& r, int first, int last) {
    return std::vector<int16_t>(r.left.begin() + long(r.frame_start[first]), r.left.begin() + long(r.frame_start[last]));
}

TEST(NesApuImage, PlaysItsNotesAtTheirPitchAndLevel) {
    auto m = test::machine_with_nes_rom("apu_notes");
    ASSERT_TRUE(m);
    const Recording r = record(*m, 240);
    EXPECT_TRUE(r.sides_equal);

    // The notes' periods give f = CPU / (16 (t + 1)) for the pulses and
    // CPU / (32 (t + 1)) for the triangle.
    struct Note {
        const char* name;
        int first, last;
        double hz;
        double rms_low, rms_high;
    };
    const double cpu = test::kNesCpuHz;
    const Note notes[] = {
        {"pulse 1", 10, 55, cpu / (16.0 * 254), 2400, 3000},
        {"triangle", 70, 115, cpu / (32.0 * 254), 800, 4000},
        {"pulse 2", 130, 175, cpu / (16.0 * 170), 1300, 2200},
    };
    for (const auto& n : notes) {
        const auto s = frames_of(r, n.first, n.last);
        EXPECT_NEAR(test::measure_frequency(s), n.hz, n.hz * 0.005) << n.name;
        const double rms = test::measure_rms(s);
        EXPECT_GT(rms, n.rms_low) << n.name;
        EXPECT_LT(rms, n.rms_high) << n.name;
    }
    // All off: the output settles to nothing.
    EXPECT_LT(test::measure_rms(frames_of(r, 186, 199)), 4);

    // The frame counter's IRQ came once every 29830 cycles from the start
    // (a frame is 29780 2/3): 240 frames less the start-up's two.
    const int frame_irqs = m->nes.ram[0x310] | m->nes.ram[0x311] << 8;
    EXPECT_GE(frame_irqs, 234);
    EXPECT_LE(frame_irqs, 240);
    // The DMC's sample ended with one IRQ.
    EXPECT_EQ(m->nes.ram[0x300], 0xA5);
    EXPECT_EQ(m->nes.ram[0x312], 1);
}

}  // namespace
}  // namespace vt
