#include "frontend/play_keys.h"

#include "frontend/quick_slots.h"

namespace vt {

namespace {

constexpr uint8_t kBackspace = 8, kTab = 9, kEnter = 13, kPause = 19, kF11 = 122, kBackslash = 220;

}  // namespace

PlayKeyPress play_key_for(uint8_t vk, KeyModifiers mods, bool scope_in_port_2) {
    // Ctrl combinations are the menus' shortcuts.
    if (mods.ctrl) return {};
    if (vk == kEnter && mods.alt) return {PlayKey::FullScreen};
    if (mods.alt) return {};
    if (const int slot = quick_slot_for_key(vk)) return {mods.shift ? PlayKey::QuickSave : PlayKey::QuickLoad, slot};
    switch (vk) {
        case kPause: return scope_in_port_2 ? PlayKeyPress{} : PlayKeyPress{PlayKey::Pause};
        case kBackslash: return {PlayKey::FrameAdvance};
        case kBackspace: return {PlayKey::Rewind};
        case kTab: return {mods.shift ? PlayKey::FastForwardToggle : PlayKey::FastForward};
        case kF11: return {PlayKey::FullScreen};
        default: return {};
    }
}

}  // namespace vt
