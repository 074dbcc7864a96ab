// libFuzzer target for reading the desktop program's settings: a settings
// file is the user's to edit, so every stored value may hold anything.
// The input is cut into values: one byte picks the value's name, one its
// kind, one the length of its bytes or text, then the bytes themselves
// (numbers read them as a little-endian integer). Whatever is read must
// write back and read again to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "frontend/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto& names = vt::setting_names();
    vt::SettingsMap stored;
    size_t at = 0;
    while (at + 3 <= size) {
        const vt::SettingName& name = names[data[at] % names.size()];
        const auto kind = vt::SettingKind(data[at + 1] % 4);
        size_t length = data[at + 2];
        at += 3;
        if (length > size - at) length = size - at;
        const uint8_t* value = data + at;
        at += length;
        switch (kind) {
            case vt::SettingKind::Number: {
                int64_t n = 0;
                for (size_t i = 0; i < length && i < 8; i++) n |= int64_t(value[i]) << (8 * i);
                stored[name.name] = vt::SettingValue::of_number(n);
                break;
            }
            case vt::SettingKind::Flag: stored[name.name] = vt::SettingValue::of_flag(length & 1); break;
            case vt::SettingKind::Text:
                stored[name.name] = vt::SettingValue::of_text(std::string(value, value + length));
                break;
            case vt::SettingKind::Bytes:
                stored[name.name] = vt::SettingValue::of_bytes(std::vector<uint8_t>(value, value + length));
                break;
        }
    }
    const vt::Settings first = vt::settings_from_map(stored);
    const vt::Settings again = vt::settings_from_map(vt::settings_to_map(first));
    if (vt::settings_to_map(again).size() != vt::settings_to_map(first).size()) std::abort();
    if (again.declined_overdumps != first.declined_overdumps || again.volume != first.volume ||
        again.quick_slot != first.quick_slot || again.pads[0].buttons != first.pads[0].buttons)
        std::abort();
    return 0;
}
