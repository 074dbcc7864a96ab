#include "core/debug_target.h"

#include "audio/spc700_debug.h"
#include "coproc/chips.h"
#include "core/machine.h"
#include "core/main_cpu_debug.h"
#include "nes/nes_cpu_debug.h"

namespace vt {

std::vector<const DebugTarget*> machine_debug_targets(const Machine& m) {
    if (m.cart.nes) return {&kNesCpuTarget};
    std::vector<const DebugTarget*> targets = {&kMainCpuTarget, &kSpc700Target};
    if (const DebugTarget* chip = chip_for(m.cart.coprocessor).debug_target) targets.push_back(chip);
    return targets;
}

}  // namespace vt
