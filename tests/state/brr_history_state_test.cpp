// A voice's BRR decoder carries its last two decoded samples from block to
// block for the prediction filters 1-3. A state saved in the middle of a
// sample must bring both back in their places: the loaded machine then
// plays exactly the audio the uninterrupted one plays.
#include <gtest/gtest.h>

#include "audio/brr.h"
#include "audio/dsp.h"
#include "core/driver.h"
#include "state/state_file.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

// The audio upload cartridge plays a two-block looping sine on voice 0 from
// audio RAM $1004 (filter 0). Giving its blocks prediction filters makes
// every decoded sample depend on the two before it.
constexpr uint16_t kFirstBlock = 0x1004;
constexpr uint16_t kSecondBlock = kFirstBlock + kBrrBlockBytes;

std::unique_ptr<Machine> voice_with_filters() {
    auto m = machine_with_rom("audio_upload");
    run_frames(*m, 40);  // uploaded, keyed on, past the attack
    m->apu.ram[kFirstBlock] = brr_header(7, 2, false, false);
    m->apu.ram[kSecondBlock] = brr_header(7, 3, true, true);
    return m;
}

std::vector<int16_t> frame_audio(const Machine& m) {
    const DspSamples s = dsp_finished_samples(m);
    return std::vector<int16_t>(s.samples, s.samples + 2 * s.frames);
}

TEST(BrrHistoryAcrossStates, LoadedMidSampleTheVoicePlaysOnIdentically) {
    for (int save_point = 1; save_point <= 4; save_point++) {
        SCOPED_TRACE("saved after " + std::to_string(save_point) + " frames");
        auto straight = voice_with_filters();
        run_frames(*straight, save_point);
        const DspVoice& v = straight->dsp.voices[0];
        // The state is taken inside a sample, with two different history
        // samples, so their order matters for the next block.
        ASSERT_EQ(dsp_sounding_voices(straight->dsp) & 1, 1);
        ASSERT_NE(v.ring[(v.ring_position + 11) % 12], v.ring[(v.ring_position + 10) % 12]);

        const std::vector<uint8_t> state = state_file_bytes(*straight, "", "", StateOptions{});
        auto loaded = machine_with_rom("audio_upload");
        std::string error;
        ASSERT_TRUE(load_state_bytes(*loaded, state.data(), state.size(), StateOptions{}, &error)) << error;

        bool sounding = false;
        for (int frame = 1; frame <= 3; frame++) {
            run_frame(*straight);
            run_frame(*loaded);
            const std::vector<int16_t> expected = frame_audio(*straight);
            ASSERT_EQ(frame_audio(*loaded), expected) << "frame " << frame << " after the load";
            for (int16_t s : expected) sounding = sounding || s != 0;
        }
        EXPECT_TRUE(sounding);
    }
}

}  // namespace
}  // namespace vt::test
