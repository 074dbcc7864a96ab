#include "frontend/settings.h"

#include <string>

#include "frontend/overdump_choice.h"
#include "frontend/quick_slots.h"

namespace vt {

Settings::Settings() {
    for (int i = 0; i < kBindingRecordCount; i++) bindings[i] = default_binding(i);
    pads.fill(default_pad_mapping());
}

SettingValue SettingValue::of_number(int64_t n) {
    SettingValue v;
    v.kind = SettingKind::Number;
    v.number = n;
    return v;
}

SettingValue SettingValue::of_flag(bool b) {
    SettingValue v;
    v.kind = SettingKind::Flag;
    v.number = b ? 1 : 0;
    return v;
}

SettingValue SettingValue::of_text(std::string s) {
    SettingValue v;
    v.kind = SettingKind::Text;
    v.text = std::move(s);
    return v;
}

SettingValue SettingValue::of_bytes(std::vector<uint8_t> b) {
    SettingValue v;
    v.kind = SettingKind::Bytes;
    v.bytes = std::move(b);
    return v;
}

namespace {

constexpr const char* kFileNames[kRecentFileCount] = {"File0", "File1", "File2", "File3", "File4",
                                                      "File5", "File6", "File7", "File8", "File9"};
constexpr const char* kJoypadNames[2] = {"Joypad1", "Joypad2"};
constexpr const char* kGamepadNames[2] = {"Gamepad1", "Gamepad2"};
constexpr int kLargestWindowSide = 16384;

const SettingValue* find(const SettingsMap& m, const char* name, SettingKind kind) {
    auto it = m.find(name);
    if (it == m.end() || it->second.kind != kind) return nullptr;
    return &it->second;
}

// A number in 0..highest, else the default (the store may hold anything).
void read_checked(const SettingsMap& m, const char* name, int highest, int fallback, int& out) {
    if (const SettingValue* v = find(m, name, SettingKind::Number))
        out = (v->number >= 0 && v->number <= highest) ? int(v->number) : fallback;
}

void read_number(const SettingsMap& m, const char* name, int& out) {
    if (const SettingValue* v = find(m, name, SettingKind::Number)) out = int(v->number);
}

void read_flag(const SettingsMap& m, const char* name, bool& out) {
    if (const SettingValue* v = find(m, name, SettingKind::Flag)) out = v->number != 0;
}

void read_text(const SettingsMap& m, const char* name, size_t longest, std::string& out) {
    if (const SettingValue* v = find(m, name, SettingKind::Text)) out = v->text.substr(0, longest);
}

}  // namespace

const std::vector<SettingName>& setting_names() {
    static const std::vector<SettingName> names = [] {
        std::vector<SettingName> n;
        for (const char* f : kFileNames) n.push_back({f, SettingKind::Text});
        n.push_back({"ReloadIcons", SettingKind::Bytes});
        n.push_back({"Joypad1", SettingKind::Bytes});
        n.push_back({"Joypad2", SettingKind::Bytes});
        n.push_back({"TransferDevice", SettingKind::Number});
        n.push_back({"TransferPort", SettingKind::Number});
        n.push_back({"TransferPath", SettingKind::Text});
        n.push_back({"SendBackupRAM", SettingKind::Flag});
        n.push_back({"Brightness", SettingKind::Number});
        n.push_back({"CaptureFormat", SettingKind::Number});
        n.push_back({"LastDirectory", SettingKind::Text});
        n.push_back({"SearchPath", SettingKind::Text});
        n.push_back({"BackupPath", SettingKind::Text});
        n.push_back({"CapturePath", SettingKind::Text});
        n.push_back({"BreakPointPath", SettingKind::Text});
        n.push_back({"BackupFormat", SettingKind::Number});
        n.push_back({"WMInitialValue", SettingKind::Number});
        n.push_back({"FilterIndex", SettingKind::Number});
        n.push_back({"Author", SettingKind::Text});
        n.push_back({"ThumbPreview", SettingKind::Flag});
        n.push_back({"BitmapTransfer", SettingKind::Flag});
        n.push_back({"SRAMTransfer", SettingKind::Flag});
        n.push_back({"AutoCreateHeader", SettingKind::Flag});
        n.push_back({"PauseInactive", SettingKind::Flag});
        n.push_back({"ScaleMode", SettingKind::Number});
        n.push_back({"SmoothPicture", SettingKind::Flag});
        n.push_back({"WindowLeft", SettingKind::Number});
        n.push_back({"WindowTop", SettingKind::Number});
        n.push_back({"WindowWidth", SettingKind::Number});
        n.push_back({"WindowHeight", SettingKind::Number});
        n.push_back({"Rewind", SettingKind::Flag});
        n.push_back({"FastForwardSpeed", SettingKind::Number});
        n.push_back({"Volume", SettingKind::Number});
        n.push_back({"Mute", SettingKind::Flag});
        n.push_back({"AudioDevice", SettingKind::Text});
        n.push_back({"Gamepad1", SettingKind::Bytes});
        n.push_back({"Gamepad2", SettingKind::Bytes});
        n.push_back({"DeclinedOverdumps", SettingKind::Text});
        n.push_back({"QuickSlot", SettingKind::Number});
        return n;
    }();
    return names;
}

Settings settings_from_map(const SettingsMap& m) {
    Settings s;

    // Recent files: the stored names in order; an empty one ends the list.
    std::vector<uint8_t> icons(kRecentFileCount, kIconGamepak);
    if (const SettingValue* v = find(m, "ReloadIcons", SettingKind::Bytes))
        for (size_t i = 0; i < v->bytes.size() && i < icons.size(); i++)
            icons[i] = v->bytes[i] < kRecentIconKinds ? v->bytes[i] : uint8_t(kIconGamepak);
    for (int i = 0; i < kRecentFileCount; i++) {
        const SettingValue* v = find(m, kFileNames[i], SettingKind::Text);
        if (!v || v->text.empty()) break;
        s.recent.entries.push_back(RecentFile{v->text, icons[i]});
    }

    // Key bindings: only a whole 13-byte record replaces the default.
    for (int port = 0; port < 2; port++) {
        const SettingValue* v = find(m, kJoypadNames[port], SettingKind::Bytes);
        if (v && v->bytes.size() == size_t(kBindingRecordSize)) s.bindings[port] = binding_from_bytes(v->bytes.data());
    }

    read_checked(m, "TransferDevice", 2, 0, s.transfer_device);
    read_checked(m, "TransferPort", 4, 0, s.transfer_port);
    read_text(m, "TransferPath", kMaxPathSetting, s.transfer_path);
    if (s.transfer_path.empty()) s.transfer_path = kDefaultTransferPath;
    read_flag(m, "SendBackupRAM", s.send_backup_ram);
    read_checked(m, "Brightness", 100, 50, s.brightness);
    read_checked(m, "CaptureFormat", 3, 0, s.capture_format);
    read_text(m, "LastDirectory", kMaxPathSetting, s.last_directory);
    read_text(m, "SearchPath", kMaxPathSetting, s.search_path);
    read_text(m, "BackupPath", kMaxPathSetting, s.backup_path);
    read_text(m, "CapturePath", kMaxPathSetting, s.capture_path);
    read_text(m, "BreakPointPath", kMaxPathSetting, s.breakpoint_path);
    read_number(m, "BackupFormat", s.backup_format);
    if (const SettingValue* v = find(m, "WMInitialValue", SettingKind::Number)) s.wm_initial_value = uint8_t(v->number);
    read_number(m, "FilterIndex", s.filter_index);
    read_text(m, "Author", kMaxAuthorLength, s.author);
    read_flag(m, "ThumbPreview", s.thumb_preview);
    read_flag(m, "BitmapTransfer", s.bitmap_transfer);
    read_flag(m, "SRAMTransfer", s.sram_transfer);
    read_flag(m, "AutoCreateHeader", s.auto_create_header);

    read_flag(m, "PauseInactive", s.pause_when_inactive);
    read_checked(m, "ScaleMode", 1, 0, s.scale_mode);
    read_flag(m, "SmoothPicture", s.smooth_picture);
    read_number(m, "WindowLeft", s.window_left);
    read_number(m, "WindowTop", s.window_top);
    read_checked(m, "WindowWidth", kLargestWindowSide, 0, s.window_width);
    read_checked(m, "WindowHeight", kLargestWindowSide, 0, s.window_height);
    if (s.window_width == 0 || s.window_height == 0) s.window_width = s.window_height = 0;
    read_flag(m, "Rewind", s.rewind);
    read_checked(m, "FastForwardSpeed", 4, 0, s.fast_forward_speed);
    if (s.fast_forward_speed != 2 && s.fast_forward_speed != 4) s.fast_forward_speed = 0;
    read_checked(m, "Volume", 100, 100, s.volume);
    read_flag(m, "Mute", s.mute);
    read_text(m, "AudioDevice", kMaxPathSetting, s.audio_device);
    for (int port = 0; port < 2; port++) {
        const SettingValue* v = find(m, kGamepadNames[port], SettingKind::Bytes);
        if (v && v->bytes.size() == size_t(kPadMappingSize)) s.pads[size_t(port)] = pad_mapping_from_bytes(v->bytes.data());
    }
    if (const SettingValue* v = find(m, "DeclinedOverdumps", SettingKind::Text))
        s.declined_overdumps = parse_crc_list(v->text);
    read_checked(m, "QuickSlot", kQuickSlotCount, 1, s.quick_slot);
    if (s.quick_slot < 1) s.quick_slot = 1;
    return s;
}

SettingsMap settings_to_map(const Settings& s) {
    SettingsMap m;
    std::vector<uint8_t> icons(kRecentFileCount, kIconGamepak);
    for (int i = 0; i < kRecentFileCount; i++) {
        // Unused names are written empty so that a shorter list replaces a longer one.
        std::string path;
        if (size_t(i) < s.recent.entries.size()) {
            path = s.recent.entries[size_t(i)].path;
            icons[size_t(i)] = s.recent.entries[size_t(i)].icon;
        }
        m[kFileNames[i]] = SettingValue::of_text(path);
    }
    m["ReloadIcons"] = SettingValue::of_bytes(icons);
    for (int port = 0; port < 2; port++) {
        std::vector<uint8_t> record(kBindingRecordSize);
        binding_to_bytes(s.bindings[port], record.data());
        m[kJoypadNames[port]] = SettingValue::of_bytes(record);
    }
    m["TransferDevice"] = SettingValue::of_number(s.transfer_device);
    m["TransferPort"] = SettingValue::of_number(s.transfer_port);
    m["TransferPath"] = SettingValue::of_text(s.transfer_path.substr(0, kMaxPathSetting));
    m["SendBackupRAM"] = SettingValue::of_flag(s.send_backup_ram);
    m["Brightness"] = SettingValue::of_number(s.brightness);
    m["CaptureFormat"] = SettingValue::of_number(s.capture_format);
    m["LastDirectory"] = SettingValue::of_text(s.last_directory.substr(0, kMaxPathSetting));
    m["SearchPath"] = SettingValue::of_text(s.search_path.substr(0, kMaxPathSetting));
    m["BackupPath"] = SettingValue::of_text(s.backup_path.substr(0, kMaxPathSetting));
    m["CapturePath"] = SettingValue::of_text(s.capture_path.substr(0, kMaxPathSetting));
    m["BreakPointPath"] = SettingValue::of_text(s.breakpoint_path.substr(0, kMaxPathSetting));
    m["BackupFormat"] = SettingValue::of_number(s.backup_format);
    m["WMInitialValue"] = SettingValue::of_number(s.wm_initial_value);
    m["FilterIndex"] = SettingValue::of_number(s.filter_index);
    m["Author"] = SettingValue::of_text(s.author.substr(0, kMaxAuthorLength));
    m["ThumbPreview"] = SettingValue::of_flag(s.thumb_preview);
    m["BitmapTransfer"] = SettingValue::of_flag(s.bitmap_transfer);
    m["SRAMTransfer"] = SettingValue::of_flag(s.sram_transfer);
    m["AutoCreateHeader"] = SettingValue::of_flag(s.auto_create_header);

    m["PauseInactive"] = SettingValue::of_flag(s.pause_when_inactive);
    m["ScaleMode"] = SettingValue::of_number(s.scale_mode);
    m["SmoothPicture"] = SettingValue::of_flag(s.smooth_picture);
    m["WindowLeft"] = SettingValue::of_number(s.window_left);
    m["WindowTop"] = SettingValue::of_number(s.window_top);
    m["WindowWidth"] = SettingValue::of_number(s.window_width);
    m["WindowHeight"] = SettingValue::of_number(s.window_height);
    m["Rewind"] = SettingValue::of_flag(s.rewind);
    m["FastForwardSpeed"] = SettingValue::of_number(s.fast_forward_speed);
    m["Volume"] = SettingValue::of_number(s.volume);
    m["Mute"] = SettingValue::of_flag(s.mute);
    m["AudioDevice"] = SettingValue::of_text(s.audio_device.substr(0, kMaxPathSetting));
    for (int port = 0; port < 2; port++) {
        std::vector<uint8_t> mapping(kPadMappingSize);
        pad_mapping_to_bytes(s.pads[size_t(port)], mapping.data());
        m[kGamepadNames[port]] = SettingValue::of_bytes(mapping);
    }
    m["DeclinedOverdumps"] = SettingValue::of_text(format_crc_list(s.declined_overdumps));
    m["QuickSlot"] = SettingValue::of_number(s.quick_slot);
    return m;
}

}  // namespace vt
