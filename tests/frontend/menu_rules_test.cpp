#include "frontend/menu_rules.h"

#include <gtest/gtest.h>
#include <string>

#include "cart/cartridge.h"
#include "frontend/file_filter.h"
#include "frontend/gamepak_properties.h"

namespace vt {
namespace {

TEST(MenuRules, GamepakMenuFollowsTheCartridge) {
    Cartridge c;
    GamepakMenu none = gamepak_menu(menu_inputs(false, c, false, 0, false));
    EXPECT_FALSE(none.reload_enabled);
    EXPECT_FALSE(none.save_backup_enabled);
    EXPECT_FALSE(none.save_rts_enabled);

    GamepakMenu plain = gamepak_menu(menu_inputs(true, c, false, 1, true));
    EXPECT_TRUE(plain.reload_enabled);
    EXPECT_TRUE(plain.properties_checked);
    EXPECT_FALSE(plain.save_backup_enabled);
    EXPECT_TRUE(plain.save_rts_enabled);

    c.has_battery = true;
    EXPECT_TRUE(gamepak_menu(menu_inputs(true, c, false, 1, false)).save_backup_enabled);
    // A battery flag left from an earlier cartridge does not count without one.
    EXPECT_FALSE(gamepak_menu(menu_inputs(false, c, false, 1, false)).save_backup_enabled);

    c.gd3 = true;
    EXPECT_FALSE(gamepak_menu(menu_inputs(true, c, false, 1, false)).save_rts_enabled);
    c.gd3 = false;
    c.nes = true;
    EXPECT_FALSE(gamepak_menu(menu_inputs(true, c, false, 1, false)).save_rts_enabled);
}

TEST(MenuRules, ToolsMenuEnablesTheStateManagerAndTransferForSnesGamepaks) {
    Cartridge c;
    EXPECT_FALSE(tools_menu(menu_inputs(false, c, false, 0, false)).state_manager_enabled);
    EXPECT_FALSE(tools_menu(menu_inputs(false, c, false, 0, false)).transfer_enabled);
    ToolsMenu loaded = tools_menu(menu_inputs(true, c, false, 0, false));
    EXPECT_TRUE(loaded.state_manager_enabled);
    EXPECT_TRUE(loaded.transfer_enabled);
    // The inspector opens whatever is loaded.
    EXPECT_TRUE(loaded.state_inspector_enabled);
    EXPECT_TRUE(tools_menu(menu_inputs(false, c, false, 0, false)).state_inspector_enabled);
    c.nes = true;
    EXPECT_FALSE(tools_menu(menu_inputs(true, c, false, 0, false)).state_manager_enabled);
    EXPECT_FALSE(tools_menu(menu_inputs(true, c, false, 0, false)).transfer_enabled);
}

TEST(MenuRules, FrameRateItemsCarrySkipValuesAndRegionCaptions) {
    const char* ntsc[] = {"12 fps", "15 fps", "20 fps", "30 fps", "60 fps"};
    const char* pal[] = {"10 fps", "12 fps", "16 fps", "25 fps", "50 fps"};
    const int skips[] = {4, 3, 2, 1, 0};
    for (int i = 0; i < kFrameRateItems; i++) {
        EXPECT_STREQ(frame_rate_caption(i, false), ntsc[i]);
        EXPECT_STREQ(frame_rate_caption(i, true), pal[i]);
        EXPECT_EQ(frame_rate_item_skip(i), skips[i]);
        EXPECT_EQ(frame_rate_item_for_skip(skips[i]), i);
    }
}

TEST(MenuRules, DeviceChoicesInMenuOrder) {
    EXPECT_STREQ(device_choice_caption(kDevice1Choices[0]), "Joypad");
    EXPECT_STREQ(device_choice_caption(kDevice1Choices[1]), "Mouse");
    EXPECT_STREQ(device_choice_caption(kDevice1Choices[2]), "None");
    EXPECT_STREQ(device_choice_caption(kDevice2Choices[2]), "Scope");
    EXPECT_STREQ(device_choice_caption(kDevice2Choices[3]), "None");
}

TEST(FileFilter, LoadFilterSplitsIntoDescriptionsAndPatterns) {
    auto f = parse_file_filter(
        "Super Nintendo (*.fig;*.sfc;*.smc;*.swc)|*.smc;*.swc;*.sfc;*.fig|Game Doctor (sf*;*.058;*.078)|"
        "*.058;*.078;sf?????a;sf????;sf?????|All Files (*.*)|*.*");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].description, "Super Nintendo (*.fig;*.sfc;*.smc;*.swc)");
    EXPECT_EQ(f[0].patterns, (std::vector<std::string>{"*.smc", "*.swc", "*.sfc", "*.fig"}));
    EXPECT_EQ(f[1].patterns.size(), 5u);
    EXPECT_EQ(f[1].patterns[2], "sf?????a");
    EXPECT_EQ(f[2].patterns, (std::vector<std::string>{"*.*"}));
}

TEST(FileFilter, ExtensionsCompareWithoutCase) {
    EXPECT_TRUE(has_extension("/s/game.rts", ".RTS"));
    EXPECT_TRUE(has_extension("/s/GAME.Rts", ".RTS"));
    EXPECT_FALSE(has_extension("/s/game.rts.sfc", ".RTS"));
    EXPECT_FALSE(has_extension("/s.rts/game", ".RTS"));
}

TEST(GamepakProperties, HeaderTabAndColours) {
    EXPECT_EQ(header_tab_caption(CopierHeader::Ffe), " FFE Header ");
    EXPECT_EQ(header_tab_caption(CopierHeader::GameDoctor), " GD3 Header ");
    EXPECT_EQ(header_tab_caption(CopierHeader::Plain), " Header ");
    EXPECT_EQ(header_tab_caption(CopierHeader::None), "");
    EXPECT_TRUE(checksum_status_good("OK"));
    EXPECT_TRUE(checksum_status_good("N/A"));
    EXPECT_FALSE(checksum_status_good("BAD"));
    Cartridge c;
    EXPECT_FALSE(crc_in_database(c));
    c.database_info = 0x01000000;
    EXPECT_TRUE(crc_in_database(c));
    EXPECT_EQ(header_cell_text(0xAB, false), "AB");
    EXPECT_EQ(header_cell_text(0x05, false), "05");
    EXPECT_EQ(header_cell_text('G', true), "G");
    EXPECT_EQ(header_cell_text(0x05, true), ".");
}

}  // namespace
}  // namespace vt
