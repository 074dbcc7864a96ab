#include "frontend/state_slots.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "frontend/state_file_writer.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

class StateSlots : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("veltrane-slots-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "states");
        image = (folder / "Game.sfc").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    std::string image;
};

TEST_F(StateSlots, HundredSlotsNamedAfterTheImage) {
    auto slots = list_state_slots(image, "");
    ASSERT_EQ(slots.size(), 100u);
    EXPECT_EQ(slots[0].name, "S00");
    EXPECT_EQ(slots[7].name, "S07");
    EXPECT_EQ(slots[99].name, "S99");
    EXPECT_EQ(slots[7].path, (folder / "Game.S07").string());
    EXPECT_EQ(list_state_slots(image, (folder / "states").string())[42].path, (folder / "states" / "Game.S42").string());
    for (const StateSlot& s : slots) EXPECT_FALSE(s.used);
}

TEST_F(StateSlots, SlotsWithStateFilesShowTheirMetadata) {
    // 2024-03-05 13:45:30: date (44 << 9) | (3 << 5) | 5, time (13 << 11) | (45 << 5) | 15.
    const uint32_t stamp = ((44u << 9 | 3u << 5 | 5u) << 16) | (13u << 11 | 45u << 5 | 15u);
    test::write_state_file((folder / "Game.S03").string(), "Boss fight", "Ada", "Veltrane", stamp, false);
    test::write_state_file((folder / "Game.S10").string(), "", "", "Other", 0, true);
    {
        std::ofstream junk(folder / "Game.S11", std::ios::binary);
        junk << "NOTASTATEFILE";
    }
    auto slots = list_state_slots(image, "");
    EXPECT_TRUE(slots[3].used);
    EXPECT_EQ(slots[3].metadata.description, "Boss fight");
    EXPECT_TRUE(slots[10].used);
    EXPECT_FALSE(slots[11].used);  // does not start with "BPS2"
    EXPECT_FALSE(slots[4].used);

    StateInfoRows rows = state_info_rows(slots[3]);
    EXPECT_EQ(rows.author, "Ada");
    EXPECT_EQ(rows.date, "2024-03-05 13:45:30");
    EXPECT_EQ(rows.product, "Veltrane");
    EXPECT_EQ(rows.version, "1.02");

    EXPECT_EQ(save_description_for(slots[3]), "Boss fight");
    EXPECT_EQ(save_description_for(slots[10]), "Quick Save");  // a state without a description
}

TEST(StateSlotTexts, EmptySlotsOfferQuickSaveAndShowNothing) {
    StateSlot empty;
    EXPECT_EQ(save_description_for(empty), "Quick Save");
    StateInfoRows rows = state_info_rows(empty);
    EXPECT_EQ(rows.author, "");
    EXPECT_EQ(rows.date, "");
    EXPECT_EQ(rows.version, "");
}

TEST(StateSlotTexts, DatesAndNames) {
    EXPECT_EQ(dos_date_time_text(0x00210000), "1980-01-01 00:00:00");
    // 2099-12-31 23:59:58
    EXPECT_EQ(dos_date_time_text(((119u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u)),
              "2099-12-31 23:59:58");
    EXPECT_EQ(state_slot_name(5), "S05");
}

}  // namespace
}  // namespace vt
