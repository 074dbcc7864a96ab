#include "qt/hold_guard.h"

#include "core/machine.h"

namespace vt::gui {

HoldGuard::HoldGuard(Machine& m) : m_(m) { m_.timing.hold_count++; }

HoldGuard::~HoldGuard() {
    if (m_.timing.hold_count > 0) m_.timing.hold_count--;
}

}  // namespace vt::gui
