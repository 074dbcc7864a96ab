#include "frontend/menu_rules.h"

#include "cart/cartridge.h"

namespace vt {

MenuInputs menu_inputs(bool gamepak_loaded, const Cartridge& c, bool pal, int recent_count, bool properties_visible) {
    MenuInputs in;
    in.gamepak_loaded = gamepak_loaded;
    in.nes = gamepak_loaded && c.nes;
    in.gd3 = gamepak_loaded && c.gd3;
    in.has_battery = gamepak_loaded && c.has_battery;
    in.pal = pal;
    in.recent_count = recent_count;
    in.properties_visible = properties_visible;
    return in;
}

GamepakMenu gamepak_menu(const MenuInputs& in) {
    GamepakMenu g;
    g.reload_enabled = in.recent_count > 0;
    g.properties_checked = in.properties_visible;
    g.save_backup_enabled = in.has_battery;
    g.save_rts_enabled = in.gamepak_loaded && !in.nes && !in.gd3;
    return g;
}

ToolsMenu tools_menu(const MenuInputs& in) {
    ToolsMenu t;
    t.state_manager_enabled = in.gamepak_loaded && !in.nes;
    t.transfer_enabled = in.gamepak_loaded && !in.nes;
    return t;
}

int frame_rate_item_skip(int item) { return 4 - item; }

int frame_rate_item_for_skip(int frame_skip) { return 4 - frame_skip; }

const char* frame_rate_caption(int item, bool pal) {
    static const char* const ntsc[kFrameRateItems] = {"12 fps", "15 fps", "20 fps", "30 fps", "60 fps"};
    static const char* const pal_captions[kFrameRateItems] = {"10 fps", "12 fps", "16 fps", "25 fps", "50 fps"};
    if (item < 0 || item >= kFrameRateItems) return "";
    return pal ? pal_captions[item] : ntsc[item];
}

const char* device_choice_caption(uint8_t device) {
    switch (device) {
        case 1: return "Joypad";
        case 2: return "Mouse";
        case 3: return "Scope";
        default: return "None";
    }
}

}  // namespace vt
