// The desktop program's settings: every value it keeps between runs, under
// the names the settings store uses, with their defaults and the checks
// applied when they are read back. The store itself (QSettings in the
// desktop program) only moves named values in and out; this file decides
// what they mean.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "frontend/gamepad_mapping.h"
#include "frontend/input_devices.h"
#include "frontend/recent_files.h"

namespace vt {

// The built-in author of save states until the user types another.
inline constexpr const char* kDefaultAuthor = "Veltrane User";
// Folder of disk transfers when none is stored.
inline constexpr const char* kDefaultTransferPath = "A:\\";
inline constexpr size_t kMaxPathSetting = 255;
inline constexpr size_t kMaxAuthorLength = 32;

struct Settings {
    RecentFiles recent;
    // Device type and key bindings of devices #1 to #5; only the first two
    // are stored.
    std::array<BindingRecord, kBindingRecordCount> bindings;
    int transfer_device = 0;  // 0 Super Wildcard, 1 Game Doctor SF III
    int transfer_port = 0;    // 0-3 LPT1-LPT4, 4 disk
    std::string transfer_path = kDefaultTransferPath;
    bool send_backup_ram = true;
    int brightness = 50;
    int capture_format = 0;
    std::string last_directory;
    std::string search_path;      // Gamepak folder
    std::string backup_path;      // battery RAM folder
    std::string capture_path;     // PNG folder
    std::string breakpoint_path;  // save-state folder ("States:")
    int backup_format = 0;        // 0 ".srm", 1 ".bbd", 2 ".b01"
    uint8_t wm_initial_value = 0x55;
    int filter_index = 1;
    std::string author = kDefaultAuthor;
    bool thumb_preview = true;
    bool bitmap_transfer = true;
    bool sram_transfer = false;
    bool auto_create_header = true;

    // Playing.
    bool pause_when_inactive = true;  // no frames while another program is active
    int scale_mode = 0;               // 0 whole multiples of the picture, 1 fit the window
    bool smooth_picture = false;      // scaled with filtering rather than sharp pixels
    int window_left = 0;              // the window's place and size (client area);
    int window_top = 0;               // a width of 0: none stored, centred at start
    int window_width = 0;
    int window_height = 0;
    bool rewind = true;               // keep a history to run backwards through
    int fast_forward_speed = 0;       // 0 unlimited, else 2 or 4 times normal speed
    int volume = 100;                 // 0-100
    bool mute = false;
    std::string audio_device;         // empty: the system's default output
    std::array<PadMapping, 2> pads;   // game controllers for devices #1 and #2
    std::vector<uint32_t> declined_overdumps;  // CRC-32s of images not to ask about again
    int quick_slot = 1;               // the quick-save slot last used, 1-10

    Settings();
};

// One stored value. The store keeps numbers, flags, text and raw bytes.
enum class SettingKind : uint8_t { Number, Flag, Text, Bytes };

struct SettingValue {
    SettingKind kind = SettingKind::Number;
    int64_t number = 0;  // Number and Flag (0 or 1)
    std::string text;
    std::vector<uint8_t> bytes;

    static SettingValue of_number(int64_t n);
    static SettingValue of_flag(bool b);
    static SettingValue of_text(std::string s);
    static SettingValue of_bytes(std::vector<uint8_t> b);
};

using SettingsMap = std::map<std::string, SettingValue>;

struct SettingName {
    const char* name;
    SettingKind kind;
};
// Every value name with the kind it is stored as ("File0"-"File9" included).
const std::vector<SettingName>& setting_names();

// Reads the values present in `stored` over the defaults, applying the range
// checks (an out-of-range number becomes its default, text is cut to its
// longest length). Values of the wrong kind are ignored.
Settings settings_from_map(const SettingsMap& stored);
// Every value, as the program writes them when it closes.
SettingsMap settings_to_map(const Settings& s);

}  // namespace vt
