#include <gtest/gtest.h>

#include <vector>

#include "frontend/audio_ring.h"
#include "frontend/frame_pacing.h"

namespace vt {
namespace {

TEST(FramePacer, FramesFallDueOnePeriodApart) {
    FramePacer p;
    pacer_start(p, 10.0, 50.0);
    EXPECT_DOUBLE_EQ(pacer_wait(p, 10.0), 0.0);  // the first frame at once
    pacer_frame_done(p, 10.0);
    EXPECT_NEAR(pacer_wait(p, 10.005), 0.015, 1e-9);
    // A frame run late does not push the ones after it: due times stay on
    // the grid 10.00, 10.02, 10.04, ...
    pacer_frame_done(p, 10.03);
    EXPECT_NEAR(pacer_wait(p, 10.03), 0.01, 1e-9);
}

TEST(FramePacer, FarBehindStartsCountingAfresh) {
    FramePacer p;
    pacer_start(p, 0.0, 60.1);
    pacer_frame_done(p, 0.0);
    // A one-second stall: no burst of sixty frames afterwards.
    pacer_frame_done(p, 1.0);
    EXPECT_DOUBLE_EQ(pacer_wait(p, 1.0), 0.0);
    pacer_frame_done(p, 1.0);
    EXPECT_NEAR(pacer_wait(p, 1.0), 1.0 / 60.1, 1e-9);
}

TEST(FramePacer, RegionRates) {
    EXPECT_DOUBLE_EQ(frame_rate_for(false), 60.1);
    EXPECT_DOUBLE_EQ(frame_rate_for(true), 50.0);
}

TEST(SoundStretch, PalFramesNeedNoStretching) {
    double carry = 0;
    for (int i = 0; i < 100; i++) EXPECT_EQ(sound_frames_per_video_frame(50.0, 2048, 2048, carry), 882);
}

TEST(SoundStretch, NtscFramesAddUpToTheDeviceRate) {
    // 601 frames at 60.1 per second are ten seconds: 441,000 sound frames.
    double carry = 0;
    long total = 0;
    for (int i = 0; i < 601; i++) {
        int n = sound_frames_per_video_frame(60.1, 2048, 2048, carry);
        EXPECT_TRUE(n == 733 || n == 734) << n;
        total += n;
    }
    EXPECT_NEAR(double(total), 441000.0, 1.0);
}

TEST(SoundStretch, QueueLevelNudgesByAtMostHalfAPercent) {
    double carry = 0;
    long starved = 0, flooded = 0;
    for (int i = 0; i < 100; i++) starved += sound_frames_per_video_frame(50.0, 0, 2048, carry);
    carry = 0;
    for (int i = 0; i < 100; i++) flooded += sound_frames_per_video_frame(50.0, 100000, 2048, carry);
    EXPECT_NEAR(double(starved), 88200.0 * 1.005, 1.0);
    EXPECT_NEAR(double(flooded), 88200.0 * 0.995, 1.0);
}

TEST(SoundStretch, LinearStretchKeepsTheEndsAndInterpolates) {
    // Three frames stretched to five: positions 0, 0.5, 1, 1.5, 2.
    const int16_t in[] = {0, 100, 1000, -100, 2000, 300};
    int16_t out[10];
    stretch_stereo(in, 3, out, 5);
    const int16_t expected[] = {0, 100, 500, 0, 1000, -100, 1500, 100, 2000, 300};
    for (int i = 0; i < 10; i++) EXPECT_EQ(out[i], expected[i]) << i;

    int16_t same[6];
    stretch_stereo(in, 3, same, 3);
    for (int i = 0; i < 6; i++) EXPECT_EQ(same[i], in[i]);
}

TEST(AudioRing, FramesComeOutInOrderAcrossTheWrap) {
    AudioRing ring(4);
    std::vector<int16_t> out(8);
    for (int round = 0; round < 5; round++) {
        const int16_t a[] = {int16_t(round), int16_t(-round), int16_t(round + 10), int16_t(-round - 10), 7, 8};
        ASSERT_EQ(ring.push(a, 3), 3u);
        EXPECT_EQ(ring.queued(), 3u);
        ASSERT_EQ(ring.pop(out.data(), 3), 3u);
        for (int i = 0; i < 6; i++) EXPECT_EQ(out[size_t(i)], a[i]);
        EXPECT_EQ(ring.queued(), 0u);
    }
}

TEST(AudioRing, OverflowDropsAndUnderrunPlaysSilence) {
    AudioRing ring(4);
    const int16_t frames[] = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6};
    EXPECT_EQ(ring.push(frames, 6), 4u);  // two frames do not fit
    EXPECT_EQ(ring.queued(), 4u);
    std::vector<int16_t> out(12, 99);
    EXPECT_EQ(ring.pop(out.data(), 6), 4u);
    const int16_t expected[] = {1, 1, 2, 2, 3, 3, 4, 4, 0, 0, 0, 0};
    for (int i = 0; i < 12; i++) EXPECT_EQ(out[size_t(i)], expected[i]) << i;

    ring.push(frames, 2);
    ring.clear();
    EXPECT_EQ(ring.queued(), 0u);
    EXPECT_EQ(ring.pop(out.data(), 1), 0u);
}

}  // namespace
}  // namespace vt
