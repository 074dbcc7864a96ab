// Damaged and foreign state files: each is refused whole with a reason,
// and the machine it was meant for runs on exactly as before.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "core/driver.h"
#include "state/state_file.h"
#include "state/state_test_support.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

StateOptions with_sram() {
    StateOptions options;
    options.sram_transfer = true;
    return options;
}

// A state of the battery RAM cartridge with every chunk: thumbnail,
// battery RAM and this program's own.
std::vector<uint8_t> full_state() {
    auto m = machine_with_rom("cart_sram");
    run_frames(*m, 4);
    return state_file_bytes(*m, "full", "", with_sram());
}

// The file rebuilt from its chunks after `change` has had its way with them.
using Chunks = std::vector<std::pair<std::string, std::vector<uint8_t>>>;
std::vector<uint8_t> rebuilt(const std::vector<uint8_t>& file, const std::function<void(Chunks&)>& change) {
    Chunks chunks;
    for (const TestChunk& c : walk_chunks(file)) {
        chunks.emplace_back(c.tag, std::vector<uint8_t>(file.begin() + long(c.offset),
                                                        file.begin() + long(c.offset + c.length)));
    }
    change(chunks);
    std::vector<uint8_t> out;
    for (const auto& [tag, data] : chunks) {
        const std::vector<uint8_t> bytes = chunk_bytes(tag, data);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

Chunks::iterator find_tag(Chunks& chunks, const std::string& tag) {
    return std::find_if(chunks.begin(), chunks.end(), [&](const auto& c) { return c.first == tag; });
}

class StateBadInput : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = full_state();
        target_ = machine_with_rom("cart_sram");
        run_frames(*target_, 2);
    }

    // Refused with a reason holding `expected`, nothing changed, and the
    // machine still runs.
    void expect_refused(const std::vector<uint8_t>& bytes, const std::string& expected, const std::string& what) {
        SCOPED_TRACE(what);
        const MachineRecord before(*target_);
        std::string error;
        EXPECT_FALSE(load_state_bytes(*target_, bytes.data(), bytes.size(), with_sram(), &error));
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_TRUE(MachineRecord(*target_) == before);
    }

    void expect_loaded(const std::vector<uint8_t>& bytes, const std::string& what) {
        SCOPED_TRACE(what);
        auto fresh = machine_with_rom("cart_sram");
        std::string error;
        EXPECT_TRUE(load_state_bytes(*fresh, bytes.data(), bytes.size(), with_sram(), &error)) << error;
        run_frame(*fresh);
    }

    std::vector<uint8_t> file_;
    std::unique_ptr<Machine> target_;
};

TEST_F(StateBadInput, TruncatedAtAndInsideEveryChunk) {
    for (const TestChunk& c : walk_chunks(file_)) {
        const size_t header = c.offset - 8;
        for (size_t cut : {header, header + 4, c.offset, c.offset + c.length / 2}) {
            if (cut >= file_.size()) continue;
            const std::vector<uint8_t> cut_file(file_.begin(), file_.begin() + long(cut));
            expect_refused(cut_file, cut < 8 ? "BPS2" : "damaged", c.tag + " cut at " + std::to_string(cut));
        }
    }
    expect_refused({}, "BPS2", "empty");
}

TEST_F(StateBadInput, LengthsPastTheEnd) {
    for (const TestChunk& c : walk_chunks(file_)) {
        for (uint32_t length : {uint32_t(file_.size() - c.offset + 1), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            std::vector<uint8_t> bad = file_;
            for (int i = 0; i < 4; i++) bad[c.offset - 4 + size_t(i)] = uint8_t(length >> (8 * i));
            expect_refused(bad, "damaged", c.tag + " length " + std::to_string(length));
        }
    }
}

TEST_F(StateBadInput, AChunkThisProgramReadsMayAppearOnlyOnce) {
    for (const char* tag : {"SBMP", "SCPU", "SDMA", "WRAM", "SPPU", "VRAM", "SAPU", "SDSP", "SRAM", "XCPU", "XAPU",
                            "XDSP", "XCRT"}) {
        const std::vector<uint8_t> twice = rebuilt(file_, [tag](Chunks& chunks) {
            auto it = find_tag(chunks, tag);
            ASSERT_NE(it, chunks.end()) << tag;
            chunks.insert(it + 1, *it);
        });
        expect_refused(twice, "appears more than once", tag);
    }
    // Chunks of other programs are theirs to repeat.
    const std::vector<uint8_t> foreign = rebuilt(file_, [](Chunks& chunks) {
        auto it = find_tag(chunks, "SDMA");
        chunks.insert(it, {"ZZZZ", {1, 2, 3}});
        chunks.insert(it, {"ZZZZ", {4, 5}});
    });
    expect_loaded(foreign, "an unknown chunk twice");
}

TEST_F(StateBadInput, KnownChunksOfTheWrongSize) {
    for (const char* tag : {"SCPU", "SDMA", "WRAM", "SPPU", "VRAM", "SAPU", "SDSP", "XCPU", "XAPU", "XDSP", "XCRT"}) {
        for (int change : {-1, +1}) {
            const std::vector<uint8_t> bad = rebuilt(file_, [tag, change](Chunks& chunks) {
                std::vector<uint8_t>& data = find_tag(chunks, tag)->second;
                if (change < 0) data.pop_back();
                else data.push_back(0);
            });
            expect_refused(bad, std::string("\"") + tag + "\" holds", tag + std::string(change < 0 ? " short" : " long"));
        }
    }
    const std::vector<uint8_t> huge_sram = rebuilt(file_, [](Chunks& chunks) {
        find_tag(chunks, "SRAM")->second.resize(256 * 1024 + 1, 0);
    });
    expect_refused(huge_sram, "\"SRAM\" holds", "battery RAM larger than any cartridge's");
}

// States of the version before the sound generator ran at the chip's rate
// hold a longer "XDSP": they load, the voices starting from the registers.
TEST_F(StateBadInput, AnXdspOfTheEarlierLayoutIsSkipped) {
    const std::vector<uint8_t> earlier = rebuilt(file_, [](Chunks& chunks) {
        find_tag(chunks, "XDSP")->second.assign(3049, 0xEE);
    });
    expect_loaded(earlier, "the earlier \"XDSP\"");
}

TEST_F(StateBadInput, EveryMachineChunkOfTheSharedSetIsRequired) {
    for (const char* tag : {"SCPU", "SDMA", "WRAM", "SPPU", "VRAM", "SAPU", "SDSP"}) {
        const std::vector<uint8_t> without = rebuilt(file_, [tag](Chunks& chunks) { chunks.erase(find_tag(chunks, tag)); });
        expect_refused(without, std::string("\"") + tag + "\" is missing", tag);
    }
    // The header and the end marker alone.
    const std::vector<uint8_t> bare = rebuilt(file_, [](Chunks& chunks) {
        chunks.erase(chunks.begin() + 1, chunks.end() - 1);
    });
    expect_refused(bare, "no machine state", "header and end marker only");
    // What earlier versions did not write, and what options leave out.
    for (const char* tag : {"SBMP", "SRAM", "XCPU", "XAPU", "XDSP", "XCRT"}) {
        expect_loaded(rebuilt(file_, [tag](Chunks& chunks) { chunks.erase(find_tag(chunks, tag)); }),
                      std::string("without ") + tag);
    }
}

TEST_F(StateBadInput, FilesThatAreNotStatesOrTooLarge) {
    const std::string dir = state_test_folder("bad_files");
    std::string error;
    const MachineRecord before(*target_);
    auto refused = [&](const std::string& path, const std::string& reason) {
        EXPECT_FALSE(load_state(*target_, path, with_sram(), &error)) << path;
        EXPECT_EQ(error, reason) << path;
        // The caller names the file; the reason does not.
        EXPECT_EQ(error.find(dir), std::string::npos) << error;
    };
    refused(dir + "/missing.S00", "The file does not exist.");
    refused(dir, "It is not a file.");
    {
        std::ofstream sparse(dir + "/huge.S00", std::ios::binary);
        sparse.write("BPS2", 4);
    }
    fs::resize_file(dir + "/huge.S00", 40u * 1024 * 1024);
    refused(dir + "/huge.S00", "It is larger than 32 MiB, too large to be a state file.");
    write_bytes_to(dir + "/image.S00", read_file(test_rom_path("smoke")));
    refused(dir + "/image.S00", "The file is not a state file (it does not start with \"BPS2\").");

    // A pipe is never opened: it would block the State Manager's listing.
    ASSERT_EQ(::mkfifo((dir + "/pipe.S01").c_str(), 0600), 0);
    refused(dir + "/pipe.S01", "It is not a file.");
    StateMetadata meta;
    EXPECT_FALSE(read_state_metadata(dir + "/pipe.S01", meta));
    std::vector<uint8_t> pixels;
    EXPECT_FALSE(read_state_thumbnail(dir + "/pipe.S01", pixels));
    EXPECT_EQ(detect_state_file(dir + "/pipe.S01"), StateFormat::Unknown);
    EXPECT_FALSE(load_rts(*target_, dir + "/pipe.S01", &error));
    EXPECT_EQ(error, "It is not a file.");
    EXPECT_TRUE(MachineRecord(*target_) == before);
}

// --- the cartridge a state was made with

TEST(StateCartridgeRecord, AStateForAnotherCartridgeIsRefusedUnlessTheCallerAgrees) {
    auto source = machine_with_rom("smoke");
    run_frames(*source, 3);
    const std::vector<uint8_t> file = state_file_bytes(*source, "", "", StateOptions{});
    const std::vector<TestChunk> chunks = walk_chunks(file);
    const TestChunk* record = find_chunk(chunks, "XCRT");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(le32(file, record->offset), source->cart.crc32);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[record->offset + 4]), 19), "VELTRANE SMOKE TEST");

    auto other = machine_with_rom("cart_sram");
    run_frames(*other, 2);
    const MachineRecord before(*other);
    std::string error;
    StateLoadInfo info;
    EXPECT_FALSE(load_state_bytes(*other, file.data(), file.size(), StateOptions{}, &error, &info));
    EXPECT_TRUE(info.other_cartridge);
    EXPECT_EQ(info.state_crc32, source->cart.crc32);
    EXPECT_EQ(info.state_title, "VELTRANE SMOKE TEST");
    EXPECT_NE(error.find("another Gamepak"), std::string::npos) << error;
    EXPECT_NE(error.find("VELTRANE SMOKE TEST"), std::string::npos) << error;
    EXPECT_NE(error.find("VELTRANE SRAM TEST"), std::string::npos) << error;
    EXPECT_TRUE(MachineRecord(*other) == before);

    StateOptions anyway;
    anyway.load_other_cartridge = true;
    EXPECT_TRUE(load_state_bytes(*other, file.data(), file.size(), anyway, &error, &info)) << error;
    EXPECT_TRUE(info.other_cartridge);
    EXPECT_EQ(other->cpu.pc, source->cpu.pc);

    // The same cartridge: no question.
    auto same = machine_with_rom("smoke");
    EXPECT_TRUE(load_state_bytes(*same, file.data(), file.size(), StateOptions{}, &error, &info)) << error;
    EXPECT_FALSE(info.other_cartridge);
}

TEST(StateCartridgeRecord, StatesOfEarlierVersionsWithoutARecordLoadAnywhere) {
    auto source = machine_with_rom("smoke");
    run_frames(*source, 3);
    const std::vector<uint8_t> old = without_chunk(state_file_bytes(*source, "", "", StateOptions{}), "XCRT");
    auto other = machine_with_rom("cart_sram");
    std::string error;
    StateLoadInfo info;
    EXPECT_TRUE(load_state_bytes(*other, old.data(), old.size(), StateOptions{}, &error, &info)) << error;
    EXPECT_FALSE(info.other_cartridge);
}

TEST(StateCartridgeRecord, TheLoadSaysWhetherItReplacedBatteryRam) {
    auto source = machine_with_rom("cart_sram");
    run_frames(*source, 3);
    const std::vector<uint8_t> file = state_file_bytes(*source, "", "", with_sram());
    StateLoadInfo info;
    auto off = machine_with_rom("cart_sram");
    ASSERT_TRUE(load_state_bytes(*off, file.data(), file.size(), StateOptions{}, nullptr, &info));
    EXPECT_FALSE(info.battery_ram_replaced);
    auto on = machine_with_rom("cart_sram");
    ASSERT_TRUE(load_state_bytes(*on, file.data(), file.size(), with_sram(), nullptr, &info));
    EXPECT_TRUE(info.battery_ram_replaced);

    const std::string dir = state_test_folder("battery_info");
    ASSERT_TRUE(save_state(*source, dir + "/game.S00", "", "", with_sram()));
    ASSERT_TRUE(load_state(*on, dir + "/game.S00", with_sram(), nullptr, &info));
    EXPECT_TRUE(info.battery_ram_replaced);
}

}  // namespace
}  // namespace vt::test
