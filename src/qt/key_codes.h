// Qt key events to the Windows virtual-key codes that the binding records
// store and the key tables are indexed by.
#pragma once

#include <cstdint>

class QKeyEvent;

namespace vt::gui {

// The code of a Qt key; keypad keys (Qt::KeypadModifier) give the numeric
// keypad codes whatever the Num Lock state. 0 when the key has no code.
uint8_t virtual_key_for(int qt_key, bool keypad);
uint8_t virtual_key_for(const QKeyEvent& event);

}  // namespace vt::gui
