// Which menu items of the main window are enabled, checked or captioned how,
// from the state of the machine and the program.
#pragma once

#include <cstdint>

namespace vt {

struct Cartridge;
struct Timing;

// What the menus look at.
struct MenuInputs {
    bool gamepak_loaded = false;
    bool nes = false;
    bool gd3 = false;
    bool has_battery = false;
    bool pal = false;                 // frame-rate captions
    int recent_count = 0;
    bool properties_visible = false;  // the Gamepak Properties window
};

MenuInputs menu_inputs(bool gamepak_loaded, const Cartridge& c, bool pal, int recent_count, bool properties_visible);

struct GamepakMenu {
    bool reload_enabled = false;
    bool properties_checked = false;
    bool save_backup_enabled = false;
    bool save_rts_enabled = false;
};
GamepakMenu gamepak_menu(const MenuInputs& in);

struct ToolsMenu {
    bool state_inspector_enabled = true;   // shown with or without a Gamepak
    bool transfer_enabled = false;
    bool state_manager_enabled = false;
};
ToolsMenu tools_menu(const MenuInputs& in);

// "Frame Rate" items, top to bottom: frame-skip values 4, 3, 2, 1, 0.
inline constexpr int kFrameRateItems = 5;
int frame_rate_item_skip(int item);
int frame_rate_item_for_skip(int frame_skip);
const char* frame_rate_caption(int item, bool pal);

// Input menu: the choices of device #1 and device #2 in menu order, as
// device types (0 none, 1 joypad, 2 mouse, 3 Super Scope).
inline constexpr uint8_t kDevice1Choices[] = {1, 2, 0};
inline constexpr uint8_t kDevice2Choices[] = {1, 2, 3, 0};
const char* device_choice_caption(uint8_t device);

}  // namespace vt
