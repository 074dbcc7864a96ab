// The program's small menu icons and the Super Scope's aiming cursor, drawn
// at start-up (the program carries no image files).
#pragma once

#include <QCursor>
#include <QIcon>
#include <cstdint>

namespace vt::gui {

// A Reload entry's icon by its kind (RecentIcon).
QIcon recent_file_icon(uint8_t kind);
// The icon of an Input menu device entry: joypad, mouse or scope; none for 0.
QIcon device_icon(uint8_t device);
// The "Save BackupRAM" battery icon.
QIcon battery_icon();
QCursor aiming_cursor();

}  // namespace vt::gui
