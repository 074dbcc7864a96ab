#include "frontend/settings.h"

#include <string>

namespace vt {

Settings::Settings() {
    for (int i = 0; i < kBindingRecordCount; i++) bindings[i] = default_binding(i);
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
    return m;
}

}  // namespace vt
