// Holds the machine while a window that must freeze it is open: the hold
// count goes up when the guard is made and down when it goes away.
#pragma once

#include <cstdint>

namespace vt {
struct Machine;
}

namespace vt::gui {

class HoldGuard {
public:
    explicit HoldGuard(Machine& m);
    ~HoldGuard();
    HoldGuard(const HoldGuard&) = delete;
    HoldGuard& operator=(const HoldGuard&) = delete;

private:
    Machine& m_;
};

}  // namespace vt::gui
