// What the built-in demo does on its own: it cycles through its scenes,
// each using the features it is there to show, answers Start, plays music
// that is neither silent nor clipped, and its autopilot finishes a round
// whose time becomes the record.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/dsp.h"
#include "cli/cli_runner.h"
#include "core/driver.h"
#include "frontend/demo_cartridge.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

// BGMODE of each scene: the title puts BG3 in front of mode 1.
constexpr uint8_t kTitleMode = 0x09;
constexpr uint8_t kParallaxMode = 0x01;
constexpr uint8_t kMode7 = 0x07;

std::unique_ptr<Machine> demo_machine() {
    auto m = make_machine();
    LoadResult r = load_builtin_demo(*m, LoadOptions{}, make_temp_folder("demo_behaviour"));
    if (!r.loaded()) throw std::runtime_error(r.message);
    m->input.device[0] = PortDevice::Joypad;
    m->input.present[0] = 0xFFFF;
    m->input.record[0] = joypad_record(0);
    return m;
}

bool fully_shown(const Machine& m) { return m.ppu.inidisp == 0x0F; }

// Runs until the scene with `mode` shows at full brightness; the frames
// run so far, or -1 after `limit` frames.
int run_until_shown(Machine& m, uint8_t mode, int limit) {
    for (int frame = 0; frame < limit; frame++) {
        run_frame(m);
        if (m.ppu.bgmode == mode && fully_shown(m)) return frame + 1;
    }
    return -1;
}

int sprites_on_screen(const Machine& m) {
    int n = 0;
    for (int i = 0; i < 128; i++) {
        if (m.ppu.oam[size_t(i) * 4 + 1] < 224) n++;
    }
    return n;
}

TEST(DemoBehaviour, CyclesThroughItsScenesWithoutInput) {
    auto m = demo_machine();
    const int title = run_until_shown(*m, kTitleMode, 120);
    ASSERT_GT(title, 0);
    // Title 480 frames, then a fade out and in of 16 frames each.
    const int parallax = run_until_shown(*m, kParallaxMode, 600);
    ASSERT_GT(parallax, 480);
    const int mode7 = run_until_shown(*m, kMode7, 1000);
    ASSERT_GT(mode7, 900);
    const int title_again = run_until_shown(*m, kTitleMode, 700);
    ASSERT_GT(title_again, 600);
}

TEST(DemoBehaviour, EachSceneUsesTheFeaturesItShows) {
    auto m = demo_machine();
    ASSERT_GT(run_until_shown(*m, kTitleMode, 120), 0);
    run_frames(*m, 30);
    EXPECT_EQ(m->sysregs.hdmaen, 0x06);  // fixed-colour gradient and logo wave
    EXPECT_EQ(m->ppu.cgadsub, 0x22);     // add to BG2 and the backdrop
    EXPECT_EQ(m->ppu.tm, 0x17);
    EXPECT_GE(sprites_on_screen(*m), 12);  // the stars

    ASSERT_GT(run_until_shown(*m, kParallaxMode, 600), 0);
    run_frames(*m, 100);
    EXPECT_EQ(m->sysregs.hdmaen, 0x06);  // sky gradient and spotlight window
    EXPECT_EQ(m->ppu.wobjsel, 0x20);     // window 1 is the colour window
    EXPECT_EQ(m->ppu.cgwsel, 0x20);      // math outside it
    EXPECT_EQ(m->ppu.cgadsub, 0xA7);     // subtracting from BG1-BG3 and the backdrop
    EXPECT_EQ(m->ppu.bgsc[0] & 3, 1);    // 64 x 32 maps
    EXPECT_GT(sprites_on_screen(*m), 10);  // ship, orbs, birds and the status line

    ASSERT_GT(run_until_shown(*m, kMode7, 1000), 0);
    run_frames(*m, 100);
    EXPECT_EQ(m->ppu.m7sel, 0xC0);  // tile 0 outside the plane
    EXPECT_EQ(m->ppu.ts, 0x01);     // the plane on the sub screen
    EXPECT_EQ(m->ppu.cgwsel, 0x02);
    EXPECT_NE(m->ppu.m7[1], 0);     // turned: M7B is not 0
    EXPECT_GE(sprites_on_screen(*m), 8);
}

TEST(DemoBehaviour, StartSkipsToTheNextScene) {
    auto m = demo_machine();
    ASSERT_GT(run_until_shown(*m, kTitleMode, 120), 0);
    m->input.record[0] = joypad_record(kPadStart);
    run_frames(*m, 2);
    m->input.record[0] = joypad_record(0);
    // The fade out and in take 32 frames, the scene's load one more.
    EXPECT_GT(run_until_shown(*m, kParallaxMode, 40), 0);
}

TEST(DemoBehaviour, PlaysMusicThatIsNeitherSilentNorClipped) {
    auto m = demo_machine();
    run_frames(*m, 60);
    std::vector<int16_t> left, right;
    for (int frame = 0; frame < 300; frame++) {
        run_frame(*m);
        const DspSamples s = dsp_finished_samples(*m);
        for (uint32_t i = 0; i < s.frames; i++) {
            left.push_back(s.samples[2 * i]);
            right.push_back(s.samples[2 * i + 1]);
        }
    }
    auto peak = [](const std::vector<int16_t>& v) {
        int p = 0;
        for (int16_t s : v) p = std::max(p, std::abs(int(s)));
        return p;
    };
    auto rms = [](const std::vector<int16_t>& v) {
        double sum = 0;
        for (int16_t s : v) sum += double(s) * s;
        return std::sqrt(sum / double(v.size()));
    };
    EXPECT_LT(peak(left), 30000);  // headroom: nothing reaches the limits
    EXPECT_LT(peak(right), 30000);
    EXPECT_GT(rms(left), 1000);    // clearly audible
    EXPECT_GT(rms(right), 1000);
    EXPECT_NE(left, right);        // voices are panned

    // Rhythm: the loudness of each 125 ms row is not the same everywhere.
    const size_t row = 44100 / 8;
    double quietest = 1e9, loudest = 0;
    for (size_t at = 0; at + row <= left.size(); at += row) {
        std::vector<int16_t> part(left.begin() + long(at), left.begin() + long(at + row));
        quietest = std::min(quietest, rms(part));
        loudest = std::max(loudest, rms(part));
    }
    EXPECT_GT(loudest, quietest * 1.3);
}

TEST(DemoBehaviour, TheAutopilotFinishesARoundAndItsTimeBecomesTheRecord) {
    auto m = demo_machine();
    ASSERT_GT(run_until_shown(*m, kParallaxMode, 600), 0);
    EXPECT_EQ(m->cart.sram[6] | (m->cart.sram[7] << 8), 0xFFFF);
    run_frames(*m, 850);  // the scene lasts 900 frames
    const int best = m->cart.sram[6] | (m->cart.sram[7] << 8);
    EXPECT_GT(best, 120);   // eight orbs across the picture take a while
    EXPECT_LT(best, 900);
    const int plays = m->cart.sram[4] | (m->cart.sram[5] << 8);
    EXPECT_EQ(m->cart.sram[8] | (m->cart.sram[9] << 8), (plays + best + 0x5A5A) & 0xFFFF);
}

}  // namespace
}  // namespace vt::test
