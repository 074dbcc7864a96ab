#include "coproc/coprocessor.h"

#include "core/machine.h"

namespace vt {

// Each chip adds its reset here as it arrives.
void coprocessor_reset(Machine& m) {
    m.sa1 = Sa1{};
    m.gsu = Gsu{};
}

}  // namespace vt
