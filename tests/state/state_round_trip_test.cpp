// Saving, loading and saving again gives the same bytes in every chunk, for
// every test cartridge and the demo: each layout reads back exactly what it
// wrote, and the load leaves nothing of the machine it replaced.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/driver.h"
#include "frontend/demo_cartridge.h"
#include "state/machine_chunks.h"
#include "state/state_file.h"
#include "state/state_test_support.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

StateOptions everything() {
    StateOptions options;
    options.sram_transfer = true;
    options.bitmap_transfer = false;  // the picture is not machine state
    return options;
}

// Every chunk but the metadata, whose save time may tick between two saves.
std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks_of(const std::vector<uint8_t>& file) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    for (const TestChunk& c : walk_chunks(file)) {
        if (c.tag == "BPS2") continue;
        out.emplace_back(c.tag, std::vector<uint8_t>(file.begin() + long(c.offset),
                                                     file.begin() + long(c.offset + c.length)));
    }
    return out;
}

// Loads `state` into `target`, which ran on its own for a while, saves it
// again and compares chunk by chunk.
void expect_same_state_after_load(Machine& target, const std::vector<uint8_t>& state) {
    std::string error;
    ASSERT_TRUE(load_state_bytes(target, state.data(), state.size(), everything(), &error)) << error;
    const auto before = chunks_of(state);
    const auto after = chunks_of(state_file_bytes(target, "", "", everything()));
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); i++) {
        EXPECT_EQ(after[i].first, before[i].first);
        EXPECT_TRUE(after[i].second == before[i].second) << "chunk " << before[i].first << " differs";
    }
}

std::vector<std::string> test_cartridges() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(VELTRANE_TEST_ROM_DIR)) {
        if (entry.path().extension() == ".sfc") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(StateRoundTrip, EveryTestCartridgeSavesTheSameBytesAfterALoad) {
    const std::vector<std::string> names = test_cartridges();
    ASSERT_GE(names.size(), 15u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        auto source = machine_with_rom(name);
        source->input.present[0] = 0xFFFF;  // a joypad with a button held
        source->input.record[0] = joypad_record(kPadB);
        run_frames(*source, 31);
        auto target = machine_with_rom(name);
        run_frames(*target, 7);
        expect_same_state_after_load(*target, state_file_bytes(*source, "", "", everything()));
    }
}

TEST(StateRoundTrip, TheDemoSavesTheSameBytesAfterALoad) {
    const std::string dir = state_test_folder("round_trip_demo");
    auto source = make_machine();
    ASSERT_TRUE(load_builtin_demo(*source, LoadOptions{}, dir).loaded());
    auto target = make_machine();
    ASSERT_TRUE(load_builtin_demo(*target, LoadOptions{}, dir).loaded());
    run_frames(*target, 3);
    // Through the title and into the first scene's music.
    for (int frames : {20, 150}) {
        SCOPED_TRACE(frames);
        run_frames(*source, frames);
        expect_same_state_after_load(*target, state_file_bytes(*source, "", "", everything()));
    }
}

// A layout that wrote fewer bytes than its chunk's length would leave zeros
// the round trip cannot see; one that read a different count would shift
// every field after it.
TEST(StateRoundTrip, EveryLayoutFillsItsChunkExactly) {
    auto m = machine_with_rom("audio_eight_voices");
    run_frames(*m, 40);
    for (const MachineChunkLayout& layout : machine_chunk_layouts()) {
        SCOPED_TRACE(std::string(layout.tag.begin(), layout.tag.end()));
        std::vector<uint8_t> buffer(layout.length + 16, 0xEE);
        StateWriter w{buffer.data()};
        layout.save(w, *m);
        EXPECT_EQ(size_t(w.p - buffer.data()), layout.length);
        EXPECT_EQ(buffer[layout.length], 0xEE);
        StateReader r{buffer.data()};
        layout.load(r, *m);
        EXPECT_EQ(size_t(r.p - buffer.data()), layout.length);
    }
}

}  // namespace
}  // namespace vt::test
