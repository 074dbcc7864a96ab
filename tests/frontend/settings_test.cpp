#include "frontend/settings.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

TEST(Settings, DefaultsAreTheDocumentedOnes) {
    Settings s = settings_from_map({});
    EXPECT_TRUE(s.recent.entries.empty());
    EXPECT_EQ(s.transfer_device, 0);
    EXPECT_EQ(s.transfer_port, 0);
    EXPECT_EQ(s.transfer_path, "A:\\");
    EXPECT_TRUE(s.send_backup_ram);
    EXPECT_EQ(s.brightness, 50);
    EXPECT_EQ(s.capture_format, 0);
    EXPECT_EQ(s.backup_format, 0);
    EXPECT_EQ(s.wm_initial_value, 0x55);
    EXPECT_EQ(s.filter_index, 1);
    EXPECT_TRUE(s.thumb_preview);
    EXPECT_TRUE(s.bitmap_transfer);
    EXPECT_FALSE(s.sram_transfer);
    EXPECT_TRUE(s.auto_create_header);
    EXPECT_FALSE(s.author.empty());
    // Device #1 is a joypad on the arrow keys, device #2 nothing on the keypad.
    EXPECT_EQ(s.bindings[0].device, 1);
    EXPECT_EQ(s.bindings[0].keys[0], 38);
    EXPECT_EQ(s.bindings[1].device, 0);
    EXPECT_EQ(s.bindings[1].keys[0], 104);
}

TEST(Settings, OutOfRangeNumbersFallBackToTheirDefaults) {
    SettingsMap m;
    m["TransferPort"] = SettingValue::of_number(7);
    m["Brightness"] = SettingValue::of_number(150);
    m["CaptureFormat"] = SettingValue::of_number(4);
    m["TransferDevice"] = SettingValue::of_number(3);
    Settings s = settings_from_map(m);
    EXPECT_EQ(s.transfer_port, 0);
    EXPECT_EQ(s.brightness, 50);
    EXPECT_EQ(s.capture_format, 0);
    EXPECT_EQ(s.transfer_device, 0);

    // The highest values in range are kept, and so are the lowest.
    m["TransferPort"] = SettingValue::of_number(4);
    m["Brightness"] = SettingValue::of_number(100);
    m["CaptureFormat"] = SettingValue::of_number(3);
    m["TransferDevice"] = SettingValue::of_number(2);
    s = settings_from_map(m);
    EXPECT_EQ(s.transfer_port, 4);
    EXPECT_EQ(s.brightness, 100);
    EXPECT_EQ(s.capture_format, 3);
    EXPECT_EQ(s.transfer_device, 2);

    m["Brightness"] = SettingValue::of_number(0);
    EXPECT_EQ(settings_from_map(m).brightness, 0);
    // A negative number from a hand-edited store is out of range too.
    m["Brightness"] = SettingValue::of_number(-5);
    EXPECT_EQ(settings_from_map(m).brightness, 50);
}

TEST(Settings, TextIsCutToItsLongestLength) {
    SettingsMap m;
    m["SearchPath"] = SettingValue::of_text(std::string(300, 'p'));
    m["Author"] = SettingValue::of_text(std::string(40, 'a'));
    m["TransferPath"] = SettingValue::of_text("");
    Settings s = settings_from_map(m);
    EXPECT_EQ(s.search_path.size(), 255u);
    EXPECT_EQ(s.author.size(), 32u);
    EXPECT_EQ(s.transfer_path, "A:\\");  // empty means the default folder
}

TEST(Settings, ValuesOfTheWrongKindAreIgnored) {
    SettingsMap m;
    m["Brightness"] = SettingValue::of_text("70");
    m["ThumbPreview"] = SettingValue::of_number(0);
    Settings s = settings_from_map(m);
    EXPECT_EQ(s.brightness, 50);
    EXPECT_TRUE(s.thumb_preview);
}

TEST(Settings, JoypadRecordsAreThirteenBytes) {
    SettingsMap m;
    m["Joypad1"] = SettingValue::of_bytes({2, 87, 83, 65, 68, 16, 13, 75, 74, 73, 85, 81, 69});
    m["Joypad2"] = SettingValue::of_bytes({1, 2, 3});  // damaged: the default stays
    Settings s = settings_from_map(m);
    EXPECT_EQ(s.bindings[0].device, 2);
    EXPECT_EQ(s.bindings[0].keys[0], 87);
    EXPECT_EQ(s.bindings[0].keys[11], 69);
    EXPECT_EQ(s.bindings[1].device, 0);
    EXPECT_EQ(s.bindings[1].keys[0], 104);
}

TEST(Settings, RecentFilesStopAtTheFirstEmptyName) {
    SettingsMap m;
    m["File0"] = SettingValue::of_text("/games/a.sfc");
    m["File1"] = SettingValue::of_text("/games/b.smc");
    m["File2"] = SettingValue::of_text("");
    m["File3"] = SettingValue::of_text("/games/stale.sfc");
    m["ReloadIcons"] = SettingValue::of_bytes({1, 3, 0, 0, 0, 0, 0, 0, 0, 0});
    Settings s = settings_from_map(m);
    ASSERT_EQ(s.recent.entries.size(), 2u);
    EXPECT_EQ(s.recent.entries[0].path, "/games/a.sfc");
    EXPECT_EQ(s.recent.entries[0].icon, kIconBattery);
    EXPECT_EQ(s.recent.entries[1].icon, kIconNes);
}

TEST(Settings, EveryValueSurvivesARoundTrip) {
    Settings s;
    add_recent_file(s.recent, "/x/one.sfc", kIconCoprocessor);
    add_recent_file(s.recent, "/x/two.sfc", kIconGamepak);
    s.bindings[1].device = 3;
    s.bindings[1].keys[5] = 77;
    s.transfer_device = 1;
    s.transfer_port = 4;
    s.transfer_path = "/mnt/floppy";
    s.send_backup_ram = false;
    s.brightness = 73;
    s.capture_format = 2;
    s.last_directory = "/x";
    s.search_path = "/roms";
    s.backup_path = "/saves";
    s.capture_path = "/shots";
    s.breakpoint_path = "/states";
    s.backup_format = 1;
    s.wm_initial_value = 0;
    s.filter_index = 4;
    s.author = "Tester";
    s.thumb_preview = false;
    s.bitmap_transfer = false;
    s.sram_transfer = true;
    s.auto_create_header = false;

    SettingsMap stored = settings_to_map(s);
    // Every documented name is written, and nothing else.
    EXPECT_EQ(stored.size(), setting_names().size());
    for (const SettingName& n : setting_names()) {
        ASSERT_TRUE(stored.count(n.name)) << n.name;
        EXPECT_EQ(int(stored[n.name].kind), int(n.kind)) << n.name;
    }
    EXPECT_EQ(stored["ReloadIcons"].bytes.size(), 10u);
    EXPECT_EQ(stored["Joypad2"].bytes.size(), 13u);
    EXPECT_EQ(stored["Joypad2"].bytes[0], 3);
    EXPECT_EQ(stored["Joypad2"].bytes[6], 77);

    Settings r = settings_from_map(stored);
    ASSERT_EQ(r.recent.entries.size(), 2u);
    EXPECT_EQ(r.recent.entries[0].path, "/x/two.sfc");
    EXPECT_EQ(r.recent.entries[1].icon, kIconCoprocessor);
    EXPECT_EQ(r.bindings[1].device, 3);
    EXPECT_EQ(r.bindings[1].keys[5], 77);
    EXPECT_EQ(r.transfer_device, 1);
    EXPECT_EQ(r.transfer_port, 4);
    EXPECT_EQ(r.transfer_path, "/mnt/floppy");
    EXPECT_FALSE(r.send_backup_ram);
    EXPECT_EQ(r.brightness, 73);
    EXPECT_EQ(r.capture_format, 2);
    EXPECT_EQ(r.last_directory, "/x");
    EXPECT_EQ(r.search_path, "/roms");
    EXPECT_EQ(r.backup_path, "/saves");
    EXPECT_EQ(r.capture_path, "/shots");
    EXPECT_EQ(r.breakpoint_path, "/states");
    EXPECT_EQ(r.backup_format, 1);
    EXPECT_EQ(r.wm_initial_value, 0);
    EXPECT_EQ(r.filter_index, 4);
    EXPECT_EQ(r.author, "Tester");
    EXPECT_FALSE(r.thumb_preview);
    EXPECT_FALSE(r.bitmap_transfer);
    EXPECT_TRUE(r.sram_transfer);
    EXPECT_FALSE(r.auto_create_header);
}

TEST(RecentFiles, MostRecentFirstAtMostTen) {
    RecentFiles list;
    for (int i = 0; i < 12; i++) add_recent_file(list, "/g/" + std::to_string(i) + ".sfc", kIconGamepak);
    ASSERT_EQ(list.entries.size(), 10u);
    EXPECT_EQ(list.entries.front().path, "/g/11.sfc");
    EXPECT_EQ(list.entries.back().path, "/g/2.sfc");

    // Loading one already in the list moves it to the top, with its new icon.
    add_recent_file(list, "/g/5.sfc", kIconBattery);
    ASSERT_EQ(list.entries.size(), 10u);
    EXPECT_EQ(list.entries[0].path, "/g/5.sfc");
    EXPECT_EQ(list.entries[0].icon, kIconBattery);
    EXPECT_EQ(list.entries[1].path, "/g/11.sfc");
    EXPECT_EQ(recent_caption("/g/sub/Game (U).smc"), "Game (U).smc");
}

TEST(RecentFiles, IconFollowsTheCartridge) {
    Cartridge c;
    EXPECT_EQ(recent_icon_for(c), kIconGamepak);
    c.has_battery = true;
    EXPECT_EQ(recent_icon_for(c), kIconBattery);
    c.coprocessor = kCoprocSuperFx;
    EXPECT_EQ(recent_icon_for(c), kIconCoprocessor);
    c.nes = true;
    EXPECT_EQ(recent_icon_for(c), kIconNes);
}

}  // namespace
}  // namespace vt
