// Front-end pieces of playing: game-controller layouts, where the picture
// goes in a window of any size, quick-save slots, over-dump choices, the
// on-screen confirmations and the settings that keep them.
#include <gtest/gtest.h>

#include "frontend/desktop_args.h"
#include "frontend/gamepad_mapping.h"
#include "frontend/notices.h"
#include "frontend/overdump_choice.h"
#include "frontend/picture_scaling.h"
#include "frontend/play_keys.h"
#include "frontend/quick_slots.h"
#include "frontend/settings.h"
#include "frontend/window_placement.h"

namespace vt {
namespace {

uint16_t bit(PadButton b) { return uint16_t(1u << int(b)); }
uint32_t held(ControllerButton b) { return 1u << int(b); }

TEST(GamepadMapping, DefaultsPutTheConsolesButtonsWhereTheyLieOnTheController) {
    const PadMapping m = default_pad_mapping();
    ControllerState s;
    s.buttons = held(ControllerButton::South);
    EXPECT_EQ(pad_buttons_held(m, s), bit(PadButton::B));  // bottom
    s.buttons = held(ControllerButton::East);
    EXPECT_EQ(pad_buttons_held(m, s), bit(PadButton::A));  // right
    s.buttons = held(ControllerButton::West);
    EXPECT_EQ(pad_buttons_held(m, s), bit(PadButton::Y));  // left
    s.buttons = held(ControllerButton::North);
    EXPECT_EQ(pad_buttons_held(m, s), bit(PadButton::X));  // top
    s.buttons = held(ControllerButton::LeftShoulder) | held(ControllerButton::RightShoulder) |
                held(ControllerButton::Back) | held(ControllerButton::Start) | held(ControllerButton::DpadUp);
    EXPECT_EQ(pad_buttons_held(m, s),
              bit(PadButton::L) | bit(PadButton::R) | bit(PadButton::Select) | bit(PadButton::Start) | bit(PadButton::Up));
    s.buttons = held(ControllerButton::Guide);  // not mapped
    EXPECT_EQ(pad_buttons_held(m, s), 0);
}

TEST(GamepadMapping, TheLeftStickIsTheDpadBeyondHalfWay) {
    const PadMapping m = default_pad_mapping();
    const struct {
        int x, y;
        uint16_t expected;
    } cases[] = {
        {0, 0, 0},
        {kStickThreshold - 1, 0, 0},
        {kStickThreshold, 0, bit(PadButton::Right)},
        {-32768, 0, bit(PadButton::Left)},
        {0, -20000, bit(PadButton::Up)},
        {0, 32767, bit(PadButton::Down)},
        {30000, 30000, uint16_t(bit(PadButton::Right) | bit(PadButton::Down))},
    };
    for (const auto& c : cases) {
        ControllerState s;
        s.left_x = c.x;
        s.left_y = c.y;
        EXPECT_EQ(pad_buttons_held(m, s), c.expected) << c.x << "," << c.y;
    }
}

TEST(GamepadMapping, RecordsRoundTripAndForeignBytesBecomeUnbound) {
    PadMapping m = default_pad_mapping();
    m.buttons[int(PadButton::A)] = kControllerUnbound;
    uint8_t bytes[kPadMappingSize];
    pad_mapping_to_bytes(m, bytes);
    EXPECT_EQ(pad_mapping_from_bytes(bytes).buttons, m.buttons);
    bytes[0] = 200;
    EXPECT_EQ(pad_mapping_from_bytes(bytes).buttons[0], kControllerUnbound);
    // An unbound console button is never held.
    ControllerState s;
    s.buttons = 0xFFFFFFFFu;
    EXPECT_FALSE(pad_buttons_held(m, s) & bit(PadButton::A));
    EXPECT_EQ(controller_button_name(uint8_t(ControllerButton::DpadLeft)), "D-pad Left");
    EXPECT_EQ(controller_button_name(uint8_t(ControllerButton::South)), "A (bottom)");
    EXPECT_EQ(controller_button_name(kControllerUnbound), "Not Defined");
}

TEST(GamepadMapping, ControllersPlayTheJoypadPortsInOrder) {
    const PortDevice both[2] = {PortDevice::Joypad, PortDevice::Joypad};
    EXPECT_EQ(port_for_controller_slot(0, both), 0);
    EXPECT_EQ(port_for_controller_slot(1, both), 1);
    EXPECT_EQ(port_for_controller_slot(2, both), -1);
    const PortDevice mouse_first[2] = {PortDevice::Mouse, PortDevice::Joypad};
    EXPECT_EQ(port_for_controller_slot(0, mouse_first), 1);
    EXPECT_EQ(port_for_controller_slot(1, mouse_first), -1);
    const PortDevice none[2] = {PortDevice::None, PortDevice::SuperScope};
    EXPECT_EQ(port_for_controller_slot(0, none), -1);
}

TEST(PictureScaling, WholeMultiplesByDefaultCentredOnBlack) {
    const struct {
        int w, h;
        PictureRect expected;
    } cases[] = {
        {512, 476, {0, 0, 512, 476}},        // the normal window: twice the console's pixels
        {800, 600, {144, 62, 512, 476}},     // not yet three times
        {1280, 1024, {128, 36, 1024, 952}},  // the height allows four
        {1920, 1080, {448, 64, 1024, 952}},
        {300, 250, {22, 6, 256, 238}},        // once
        {128, 400, {0, 140, 128, 119}},       // smaller than once: as large as fits
    };
    for (const auto& c : cases) EXPECT_EQ(picture_rect(c.w, c.h, ScaleMode::Integer), c.expected) << c.w << "x" << c.h;
}

TEST(PictureScaling, FitFillsOneSideAndKeepsTheShape) {
    EXPECT_EQ(picture_rect(1024, 952, ScaleMode::Fit), (PictureRect{0, 0, 1024, 952}));
    EXPECT_EQ(picture_rect(1920, 1080, ScaleMode::Fit), (PictureRect{379, 0, 1161, 1080}));
    EXPECT_EQ(picture_rect(600, 1000, ScaleMode::Fit), (PictureRect{0, 221, 600, 557}));
    EXPECT_EQ(picture_rect(0, 0, ScaleMode::Fit).width, 1);  // a collapsed window does not divide by zero
}

TEST(PictureScaling, WindowPointsMapToThePicturesOwnPixels) {
    const PictureRect normal{0, 0, 512, 476};
    EXPECT_EQ(window_to_picture(normal, 100, 200).x, 100);
    EXPECT_EQ(window_to_picture(normal, 100, 200).y, 200);
    const PictureRect doubled{192, 64, 1024, 952};
    EXPECT_EQ(window_to_picture(doubled, 192 + 1023, 64 + 951).x, 511);
    EXPECT_EQ(window_to_picture(doubled, 192 + 1023, 64 + 951).y, 475);
    EXPECT_EQ(window_to_picture(doubled, 192 + 200, 64).x, 100);
    // Left of the picture stays negative, so the Super Scope sees it off screen.
    EXPECT_LT(window_to_picture(doubled, 191, 100).x, 0);
    EXPECT_LT(window_to_picture(doubled, 0, 100).x, 0);
}

TEST(QuickSlots, FunctionKeysNameSlotsOneToTenOfTheStateManager) {
    EXPECT_EQ(quick_slot_for_key(112), 1);   // F1
    EXPECT_EQ(quick_slot_for_key(121), 10);  // F10
    EXPECT_EQ(quick_slot_for_key(122), 0);   // F11: full screen
    EXPECT_EQ(quick_slot_for_key(111), 0);
    EXPECT_EQ(quick_slot_path("/games/Game.sfc", "", 3), "/games/Game.S03");
    EXPECT_EQ(quick_slot_path("/games/Game.sfc", "/states", 10), "/states/Game.S10");
    EXPECT_EQ(quick_save_description(4), "Quick Save 4");
}

TEST(Notices, NameTheFileWithoutItsFolder) {
    EXPECT_EQ(png_saved_notice("/a/b/Game.png"), "Saved picture Game.png");
    EXPECT_EQ(backup_ram_saved_notice("/a/Game.srm"), "Saved BackupRAM Game.srm");
    EXPECT_EQ(rts_saved_notice("/a/Game.rts"), "Saved real-time save Game.rts");
    EXPECT_EQ(state_saved_notice("/a/Game.S12"), "Saved state Game.S12");
    EXPECT_EQ(state_loaded_notice("/a/Game.S12"), "Loaded state Game.S12");
    EXPECT_EQ(quick_saved_notice(3, "/a/Game.S03"), "Saved slot 3: Game.S03");
    EXPECT_EQ(quick_loaded_notice(3, "/a/Game.S03"), "Loaded slot 3: Game.S03");
    EXPECT_EQ(quick_slot_empty_notice(7), "Slot 7 is empty");
}

TEST(OverdumpChoice, TheCorrectionIsOfferedBesideTheOriginalNeverOverIt) {
    EXPECT_EQ(trimmed_image_path("/roms/My Game.sfc"), "/roms/My Game (trimmed).sfc");
    EXPECT_EQ(trimmed_image_path("/roms/game"), "/roms/game (trimmed)");
    EXPECT_EQ(trimmed_image_path("/roms/v1.0.smc"), "/roms/v1.0 (trimmed).smc");
    EXPECT_NE(trimmed_image_path("/roms/a.sfc"), "/roms/a.sfc");
}

TEST(OverdumpChoice, DeclinedImagesAreRememberedByCrcAndTheListStaysBounded) {
    std::vector<uint32_t> declined;
    remember_declined_overdump(declined, 0xDEADBEEF);
    remember_declined_overdump(declined, 0x00000001);
    remember_declined_overdump(declined, 0xDEADBEEF);  // once only, now the newest
    EXPECT_EQ(declined, (std::vector<uint32_t>{0x00000001, 0xDEADBEEF}));
    EXPECT_TRUE(overdump_declined(declined, 0xDEADBEEF));
    EXPECT_FALSE(overdump_declined(declined, 0x12345678));
    EXPECT_EQ(format_crc_list(declined), "00000001 DEADBEEF");
    EXPECT_EQ(parse_crc_list("00000001 deadbeef junk 123 0000000G"), declined);

    for (uint32_t i = 0; i < 100; i++) remember_declined_overdump(declined, 1000 + i);
    EXPECT_EQ(declined.size(), kMaxDeclinedOverdumps);
    EXPECT_EQ(declined.back(), 1099u);
    EXPECT_FALSE(overdump_declined(declined, 0xDEADBEEF));  // the oldest went first
}

TEST(PlaySettings, DefaultsRoundTripAndChecks) {
    Settings d = settings_from_map({});
    EXPECT_TRUE(d.pause_when_inactive);
    EXPECT_EQ(d.scale_mode, 0);
    EXPECT_FALSE(d.smooth_picture);
    EXPECT_EQ(d.window_width, 0);
    EXPECT_TRUE(d.rewind);
    EXPECT_EQ(d.fast_forward_speed, 0);
    EXPECT_EQ(d.volume, 100);
    EXPECT_FALSE(d.mute);
    EXPECT_EQ(d.pads[1].buttons, default_pad_mapping().buttons);
    EXPECT_EQ(d.quick_slot, 1);

    Settings s;
    s.pause_when_inactive = false;
    s.scale_mode = 1;
    s.smooth_picture = true;
    s.window_left = -20;
    s.window_top = 40;
    s.window_width = 1030;
    s.window_height = 980;
    s.rewind = false;
    s.fast_forward_speed = 4;
    s.volume = 35;
    s.mute = true;
    s.audio_device = "USB Audio";
    s.pads[0].buttons[0] = uint8_t(ControllerButton::North);
    s.declined_overdumps = {0xCAFEF00D};
    s.quick_slot = 10;
    const Settings r = settings_from_map(settings_to_map(s));
    EXPECT_FALSE(r.pause_when_inactive);
    EXPECT_EQ(r.scale_mode, 1);
    EXPECT_TRUE(r.smooth_picture);
    EXPECT_EQ(r.window_left, -20);
    EXPECT_EQ(r.window_top, 40);
    EXPECT_EQ(r.window_width, 1030);
    EXPECT_EQ(r.window_height, 980);
    EXPECT_FALSE(r.rewind);
    EXPECT_EQ(r.fast_forward_speed, 4);
    EXPECT_EQ(r.volume, 35);
    EXPECT_TRUE(r.mute);
    EXPECT_EQ(r.audio_device, "USB Audio");
    EXPECT_EQ(r.pads[0].buttons, s.pads[0].buttons);
    EXPECT_EQ(r.declined_overdumps, s.declined_overdumps);
    EXPECT_EQ(r.quick_slot, 10);

    SettingsMap bad;
    bad["ScaleMode"] = SettingValue::of_number(5);
    bad["FastForwardSpeed"] = SettingValue::of_number(3);
    bad["Volume"] = SettingValue::of_number(101);
    bad["QuickSlot"] = SettingValue::of_number(0);
    bad["WindowWidth"] = SettingValue::of_number(800);  // without a height: none
    bad["Gamepad1"] = SettingValue::of_bytes({1, 2, 3});  // not a whole record
    const Settings b = settings_from_map(bad);
    EXPECT_EQ(b.scale_mode, 0);
    EXPECT_EQ(b.fast_forward_speed, 0);
    EXPECT_EQ(b.volume, 100);
    EXPECT_EQ(b.quick_slot, 1);
    EXPECT_EQ(b.window_width, 0);
    EXPECT_EQ(b.pads[0].buttons, default_pad_mapping().buttons);
}

TEST(PlayKeys, TheProgramsKeysAndWhatTheyDo) {
    const KeyModifiers none, shift{true, false, false}, ctrl{false, true, false}, alt{false, false, true};
    const struct {
        uint8_t vk;
        KeyModifiers mods;
        bool scope;
        PlayKey key;
        int slot;
    } cases[] = {
        {19, none, false, PlayKey::Pause, 0},
        {19, none, true, PlayKey::None, 0},  // the Super Scope's own Pause button
        {220, none, false, PlayKey::FrameAdvance, 0},
        {112, none, false, PlayKey::QuickLoad, 1},
        {121, shift, false, PlayKey::QuickSave, 10},
        {112, ctrl, false, PlayKey::None, 0},
        {8, none, false, PlayKey::Rewind, 0},
        {9, none, false, PlayKey::FastForward, 0},
        {9, shift, false, PlayKey::FastForwardToggle, 0},
        {122, none, false, PlayKey::FullScreen, 0},
        {13, alt, false, PlayKey::FullScreen, 0},
        {13, none, false, PlayKey::None, 0},  // Enter is Start
        {27, none, false, PlayKey::None, 0},  // Escape still reaches the controllers
        {65, none, false, PlayKey::None, 0},
    };
    for (const auto& c : cases) {
        const PlayKeyPress p = play_key_for(c.vk, c.mods, c.scope);
        EXPECT_EQ(p.key, c.key) << int(c.vk);
        EXPECT_EQ(p.slot, c.slot) << int(c.vk);
    }
}

TEST(DesktopArgs, HelpVersionAFileAndMistakes) {
    EXPECT_EQ(parse_desktop_args({}).action, DesktopAction::Run);
    EXPECT_EQ(parse_desktop_args({}).file, "");
    EXPECT_EQ(parse_desktop_args({"game.sfc"}).file, "game.sfc");
    EXPECT_EQ(parse_desktop_args({"--help"}).action, DesktopAction::Help);
    EXPECT_EQ(parse_desktop_args({"game.sfc", "-h"}).action, DesktopAction::Help);
    EXPECT_EQ(parse_desktop_args({"--version"}).action, DesktopAction::Version);
    const DesktopArgs bad = parse_desktop_args({"--frobnicate"});
    EXPECT_EQ(bad.action, DesktopAction::BadUsage);
    EXPECT_EQ(bad.message, "unknown option --frobnicate");
    EXPECT_EQ(parse_desktop_args({"a.sfc", "b.sfc"}).action, DesktopAction::BadUsage);
    // After "--" a name may start with a dash.
    EXPECT_EQ(parse_desktop_args({"--", "--help"}).file, "--help");
    EXPECT_NE(desktop_usage().find("usage: veltrane [FILE]"), std::string::npos);
    EXPECT_EQ(desktop_version_text("0.1"), "Veltrane 0.1\n");
}

TEST(WindowPlacement, BesideTheMainWindowAndWhollyOnScreen) {
    const ScreenBox screen{0, 0, 1280, 1024};
    // Room on the right.
    EXPECT_EQ(place_beside({100, 100, 520, 520}, 400, 500, screen), (ScreenBox{628, 100, 400, 500}));
    // The main window at the right edge: on its left.
    EXPECT_EQ(place_beside({760, 100, 520, 520}, 400, 500, screen), (ScreenBox{352, 100, 400, 500}));
    // No room either side: as far right as fits.
    EXPECT_EQ(place_beside({300, 100, 700, 520}, 400, 500, screen), (ScreenBox{880, 100, 400, 500}));
    // Near the bottom: moved up to stay on screen.
    EXPECT_EQ(place_beside({100, 800, 520, 520}, 400, 500, screen).y, 524);
    // Taller than the screen: the top stays visible.
    EXPECT_EQ(place_beside({100, 100, 520, 520}, 400, 2000, screen).y, 0);

    EXPECT_TRUE(box_on_screen({40, 50, 600, 560}, screen));
    EXPECT_FALSE(box_on_screen({100000, 50, 600, 560}, screen));
    EXPECT_FALSE(box_on_screen({40, 50, 0, 0}, screen));
    // A stored place sticking out is moved in; one larger than the screen shrinks.
    EXPECT_EQ(fit_on_screen({384, 264, 1100, 1000}, screen), (ScreenBox{180, 24, 1100, 1000}));
    EXPECT_EQ(fit_on_screen({40, 50, 600, 560}, screen), (ScreenBox{40, 50, 600, 560}));
    EXPECT_EQ(fit_on_screen({-50, 10, 2000, 1500}, screen), (ScreenBox{0, 0, 1280, 1024}));
}

}  // namespace
}  // namespace vt
