// This program's chunks beyond the shared set ("XCPU", "XAPU", "XDSP"):
// what they bring back, what a file without them still restores, and that
// damaged values in them stay harmless.
#include <gtest/gtest.h>

#include "audio/apu.h"
#include "audio/dsp.h"
#include "core/driver.h"
#include "core/main_cpu.h"
#include "state/state_file.h"
#include "state/state_test_support.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

std::vector<uint8_t> state_of(const Machine& m) { return state_file_bytes(m, "", "", StateOptions{}); }

std::unique_ptr<Machine> load_fresh(const std::string& rom, const std::vector<uint8_t>& file) {
    auto m = machine_with_rom(rom);
    std::string error;
    EXPECT_TRUE(load_state_bytes(*m, file.data(), file.size(), StateOptions{}, &error)) << error;
    return m;
}

std::vector<uint8_t> shared_chunks_only(const std::vector<uint8_t>& file) {
    return without_chunk(without_chunk(without_chunk(file, "XCPU"), "XAPU"), "XDSP");
}

TEST(ExtraChunks, CpuWaitingInWaiStaysWaiting) {
    auto m = machine_with_rom("sysregs_joypad");  // its main loop is WAI
    run_frames(*m, 9);
    ASSERT_EQ(m->cpu.waiting, 1);
    auto loaded = load_fresh("sysregs_joypad", state_of(*m));
    EXPECT_EQ(loaded->cpu.waiting, 1);
    uint8_t a[kCpuRunStateSize], b[kCpuRunStateSize];
    cpu_save_run_state(*m, a);
    cpu_save_run_state(*loaded, b);
    EXPECT_EQ(std::vector<uint8_t>(a, a + kCpuRunStateSize), std::vector<uint8_t>(b, b + kCpuRunStateSize));

    // The shared chunks alone end the wait: the CPU runs on past WAI.
    auto shared = load_fresh("sysregs_joypad", shared_chunks_only(state_of(*m)));
    EXPECT_EQ(shared->cpu.waiting, 0);
}

TEST(ExtraChunks, VoicesEchoAndTimerPhasesComeBack) {
    auto m = machine_with_rom("audio_eight_voices");
    run_frames(*m, 45);
    ASSERT_EQ(dsp_sounding_voices(m->dsp), 0xFF);
    auto loaded = load_fresh("audio_eight_voices", state_of(*m));
    EXPECT_EQ(dsp_sounding_voices(loaded->dsp), 0xFF);
    for (int v = 0; v < kDspVoices; v++) {
        EXPECT_EQ(loaded->dsp.voices[v].envelope, m->dsp.voices[v].envelope) << v;
        EXPECT_EQ(loaded->dsp.voices[v].interp_position, m->dsp.voices[v].interp_position) << v;
        EXPECT_EQ(loaded->dsp.voices[v].block_address, m->dsp.voices[v].block_address) << v;
    }
    EXPECT_EQ(loaded->dsp.voices[3].ring, m->dsp.voices[3].ring);
    EXPECT_EQ(loaded->dsp.echo_history, m->dsp.echo_history);
    EXPECT_EQ(loaded->dsp.echo_offset, m->dsp.echo_offset);
    EXPECT_EQ(loaded->dsp.echo_length, m->dsp.echo_length);
    EXPECT_EQ(apu_timers_now(loaded->apu).stage2, apu_timers_now(m->apu).stage2);
    EXPECT_EQ(apu_timers_now(loaded->apu).counter, apu_timers_now(m->apu).counter);
    EXPECT_EQ(loaded->apu.cycles & 127, m->apu.cycles & 127);
    EXPECT_EQ(loaded->apu.clock_fraction, m->apu.clock_fraction);
    EXPECT_EQ(loaded->apu.clock, m->apu.clock);
}

TEST(ExtraChunks, WithoutThemTheRegisterFileStillHoldsVolumesAndRates) {
    auto m = machine_with_rom("audio_eight_voices");
    run_frames(*m, 45);
    auto loaded = load_fresh("audio_eight_voices", shared_chunks_only(state_of(*m)));
    const Dsp& d = loaded->dsp;
    EXPECT_EQ(dsp_sounding_voices(d), 0);  // the voices are not in the shared chunks
    // The voices and the echo read the register file directly.
    EXPECT_EQ(d.regs, m->dsp.regs);
    // The audio CPU image clears the timers' phases.
    EXPECT_EQ(loaded->apu.timer_stage2[0], 0);
    run_frames(*loaded, 2);  // and the machine runs on
}

TEST(ExtraChunks, DamagedValuesAreBroughtIntoRange) {
    auto m = machine_with_rom("audio_eight_voices");
    run_frames(*m, 45);
    for (uint8_t fill : {uint8_t(0xFF), uint8_t(0x7F), uint8_t(0x80)}) {
        std::vector<uint8_t> file = state_of(*m);
        const auto chunks = walk_chunks(file);
        for (const char* tag : {"XCPU", "XAPU", "XDSP"}) {
            const TestChunk& c = *find_chunk(chunks, tag);
            std::fill(file.begin() + long(c.offset), file.begin() + long(c.offset + c.length), fill);
        }
        auto loaded = load_fresh("audio_eight_voices", file);
        const Dsp& d = loaded->dsp;
        for (const DspVoice& v : d.voices) {
            EXPECT_LE(v.ring_position, 8);
            EXPECT_EQ(v.ring_position % 4, 0);
            EXPECT_EQ(v.block_offset % 2, 1);
            EXPECT_LE(v.block_offset, 7);
            EXPECT_LE(v.interp_position, kInterpPositionMax);
            EXPECT_LE(v.key_on_delay, kKeyOnDelay);
            EXPECT_LE(v.envelope, kEnvelopeMax);
            EXPECT_GE(v.envelope, 0);
            EXPECT_LE(int(v.mode), int(EnvelopeMode::sustain));
        }
        EXPECT_LT(d.rate_counter, kRateCounterRange);
        EXPECT_LE(d.echo_length, 15 * 0x800);
        EXPECT_EQ(d.echo_offset % 4, 0);
        EXPECT_LT(d.echo_history_position, 8);
        EXPECT_LT(loaded->timing.line_clock, 680);
        EXPECT_LE(loaded->apu.clock, 2 * 680);
        EXPECT_GE(loaded->apu.clock, -680);
        for (uint8_t c : loaded->apu.timer_counter) EXPECT_LE(c, 15);
        run_frames(*loaded, 2);  // plays whatever it plays, inside its buffers
    }
}

}  // namespace
}  // namespace vt::test
