#include "video/dma.h"

#include "core/machine.h"

namespace vt {

// The transfer engine arrives with the video subsystem. Until then a started
// DMA completes at once without moving data, so programs that use it run on.
void dma_power_on(Machine& m) { m.dma.regs.fill(0xFF); }
void dma_reset(Machine& m) { dma_power_on(m); }

void dma_step(Machine& m) { m.sysregs.mdmaen = 0; }

void hdma_frame_start(Machine& m) { m.timing.hdma_active = m.sysregs.hdmaen; }
void hdma_line(Machine&) {}

}  // namespace vt
