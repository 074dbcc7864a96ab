// Moving the settings in and out of QSettings under their value names.
#pragma once

#include "frontend/settings.h"

class QSettings;

namespace vt::gui {

// The values that exist in the store, each converted to its kind (a value
// that cannot be converted is left out, so its default stays).
SettingsMap read_settings_store(QSettings& store);
void write_settings_store(QSettings& store, const SettingsMap& values);

}  // namespace vt::gui
