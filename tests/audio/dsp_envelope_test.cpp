// Envelope rates and steps: the shared rate counter, each ADSR and GAIN
// mode's step, and the attack and decay times the console's documentation
// gives for each setting.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/dsp_envelope.h"
#include "audio/dsp_rates.h"
#include "dsp_harness.h"

namespace vt::test {
namespace {

TEST(DspRates, FiringMaskMatchesTheDefinitionAtEveryCounterValue) {
    std::array<int, 32> fired{};
    for (int counter = 0; counter < kRateCounterRange; counter++) {
        const uint32_t mask = dsp_rates_firing(counter);
        for (int rate = 0; rate < 32; rate++) {
            const bool fires = dsp_rate_fires(rate, counter);
            ASSERT_EQ((mask >> rate & 1) != 0, fires) << "rate " << rate << " counter " << counter;
            fired[size_t(rate)] += fires;
        }
    }
    EXPECT_EQ(fired[0], 0);
    for (int rate = 1; rate < 32; rate++) EXPECT_EQ(fired[size_t(rate)], kRateCounterRange / kDspRatePeriods[rate]);
}

TEST(DspRates, FamiliesAreOutOfStep) {
    // Rates 2048 (offset 0) and 1536 (offset 1040) never fire together at
    // counter 0, while rates of one family do.
    EXPECT_TRUE(dsp_rate_fires(1, 0));
    EXPECT_TRUE(dsp_rate_fires(4, 0));
    EXPECT_FALSE(dsp_rate_fires(2, 0));
    EXPECT_TRUE(dsp_rate_fires(2, 1536 - 1040));
    EXPECT_TRUE(dsp_rate_fires(3, 1280 - 536));
}

constexpr uint32_t kAllRates = ~1u;  // every rate fires (rate 0 never does)

struct StepCase {
    const char* what;
    uint8_t adsr1, adsr2, gain;
    EnvelopeMode mode;
    int envelope;
    int hidden;
    int expected;
    EnvelopeMode expected_mode;
};

TEST(DspEnvelope, OneStepOfEachMode) {
    using M = EnvelopeMode;
    const StepCase cases[] = {
        {"attack adds $20", 0x85, 0x00, 0, M::attack, 0x100, 0, 0x120, M::attack},
        {"attack 15 adds $400", 0x8F, 0x00, 0, M::attack, 0x100, 0, 0x500, M::attack},
        {"attack past the top turns to decay", 0x85, 0x00, 0, M::attack, 0x7F0, 0, 0x7FF, M::decay},
        {"decay falls by 1 + 1/256", 0xB0, 0x00, 0, M::decay, 0x7FF, 0, 0x7F7, M::decay},
        {"decay stops at the sustain level", 0xB0, 0xC0, 0, M::decay, 0x700, 0, 0x6F9, M::sustain},
        {"sustain level 7 ends decay at once", 0xB0, 0xE0, 0, M::decay, 0x7FF, 0, 0x7F7, M::sustain},
        {"sustain falls like decay", 0xB0, 0x1F, 0, M::sustain, 0x400, 0, 0x3FC, M::sustain},
        {"release falls by 8", 0x85, 0x00, 0x7F, M::release, 0x10, 0, 0x08, M::release},
        {"release stops at 0", 0x85, 0x00, 0x7F, M::release, 0x04, 0, 0x00, M::release},
        {"direct GAIN", 0x05, 0x00, 0x40, M::attack, 0x123, 0, 0x400, M::attack},
        {"direct GAIN $7F", 0x05, 0x00, 0x7F, M::sustain, 0x000, 0, 0x7F0, M::sustain},
        {"linear decrease", 0x00, 0x00, 0x9F, M::attack, 0x30, 0, 0x10, M::attack},
        // Leaving the range at either end turns attack into decay, in GAIN mode too.
        {"linear decrease stops at 0", 0x00, 0x00, 0x9F, M::attack, 0x10, 0, 0x00, M::decay},
        {"exponential decrease", 0x00, 0x00, 0xBF, M::attack, 0x400, 0, 0x3FC, M::attack},
        {"linear increase", 0x00, 0x00, 0xDF, M::attack, 0x100, 0, 0x120, M::attack},
        {"linear increase stops at the top", 0x00, 0x00, 0xDF, M::attack, 0x7F0, 0, 0x7FF, M::decay},
        {"bent line below $600", 0x00, 0x00, 0xFF, M::attack, 0x500, 0x500, 0x520, M::attack},
        {"bent line from $600", 0x00, 0x00, 0xFF, M::attack, 0x600, 0x600, 0x608, M::attack},
        {"bent line judges the last level worked out", 0x00, 0x00, 0xFF, M::attack, 0x500, 0x640, 0x508,
         M::attack},
    };
    for (const StepCase& c : cases) {
        DspVoice v;
        v.mode = c.mode;
        v.envelope = int16_t(c.envelope);
        v.hidden_envelope = int16_t(c.hidden);
        uint8_t regs[16] = {};
        regs[kVoiceAdsr1] = c.adsr1;
        regs[kVoiceAdsr2] = c.adsr2;
        regs[kVoiceGain] = c.gain;
        dsp_envelope_step(v, regs, kAllRates);
        EXPECT_EQ(v.envelope, c.expected) << c.what;
        EXPECT_EQ(v.mode, c.expected_mode) << c.what;
    }
}

TEST(DspEnvelope, LevelIsStoredOnlyWhenTheRateFires) {
    DspVoice v;
    v.mode = EnvelopeMode::attack;
    v.envelope = 0x7F0;
    uint8_t regs[16] = {};
    regs[kVoiceAdsr1] = 0x85;  // attack rate 11
    dsp_envelope_step(v, regs, 0);
    EXPECT_EQ(v.envelope, 0x7F0);
    EXPECT_EQ(v.hidden_envelope, 0x810);
    EXPECT_EQ(v.mode, EnvelopeMode::decay);  // the mode follows the level worked out
}

// Samples from key on until the attack reaches the top, on the real rate
// counter; and the documented attack time of each setting (ms).
TEST(DspEnvelope, AttackTimesMatchTheDocumentedTable) {
    const double documented_ms[15] = {4100, 2600, 1500, 1000, 640, 380, 260, 160, 96, 64, 40, 24, 16, 10, 6};
    for (int a = 0; a < 15; a++) {
        DspVoice v;
        v.mode = EnvelopeMode::attack;
        uint8_t regs[16] = {};
        regs[kVoiceAdsr1] = uint8_t(0x80 | a);
        int counter = 0, samples = 0;
        while (v.mode == EnvelopeMode::attack && samples < 200000) {
            dsp_envelope_step(v, regs, dsp_rates_firing(counter));
            counter = counter == 0 ? kRateCounterRange - 1 : counter - 1;
            samples++;
        }
        // The first step comes anywhere within the rate's first period.
        const double ms = samples / 32.0;
        const double period_ms = kDspRatePeriods[size_t(2 * a + 1)] / 32.0;
        EXPECT_NEAR(ms, documented_ms[a], documented_ms[a] * 0.04 + period_ms) << "attack " << a;
    }
}

// The documented decay time is the fall from the top to about a twentieth
// (level 100); the sustain rate equals the decay rate here so that the fall
// goes on past the sustain level.
TEST(DspEnvelope, DecayTimesMatchTheDocumentedTable) {
    const double documented_ms[8] = {1200, 740, 440, 290, 180, 110, 74, 37};
    for (int d = 0; d < 8; d++) {
        DspVoice v;
        v.mode = EnvelopeMode::decay;
        v.envelope = kEnvelopeMax;
        uint8_t regs[16] = {};
        regs[kVoiceAdsr1] = uint8_t(0x80 | d << 4);
        regs[kVoiceAdsr2] = uint8_t(2 * d + 16);
        int counter = 0, samples = 0;
        while (v.envelope > 100 && samples < 200000) {
            dsp_envelope_step(v, regs, dsp_rates_firing(counter));
            counter = counter == 0 ? kRateCounterRange - 1 : counter - 1;
            samples++;
        }
        EXPECT_NEAR(samples / 32.0, documented_ms[d], documented_ms[d] * 0.04) << "decay " << d;
    }
}

TEST(DspEnvelope, ClearingAdsrBit7HandsTheVoiceToGain) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x8F, 0xE0, 0x20);  // fast attack; GAIN $20 waits
    h.key_on(0x01);
    h.samples(20);
    ASSERT_GE(h.d.voices[0].envelope, 0x7F0);  // at the top, or one decay step below
    h.write_voice(0, kVoiceAdsr1, 0x0F);
    h.sample();
    EXPECT_EQ(h.d.voices[0].envelope, 0x200);
}

}  // namespace
}  // namespace vt::test
