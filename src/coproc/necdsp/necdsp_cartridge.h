// The NEC DSP in its cartridges when the user has the chip's program file:
// the DSP-4's port window and the ST011's port and RAM windows serve the
// core, which runs after every completed host transfer until its program
// asks for the next one. Without the file the cartridges keep their
// command-level emulation and none of this is installed.
#pragma once

#include "cart/memory_map.h"
#include "coproc/chips.h"
#include "coproc/necdsp/necdsp.h"

namespace vt {

struct Machine;

// Instructions a run after one transfer may take before the console gets
// control back; a program that never asks again is logged once.
inline constexpr uint32_t kNecDspRunLimit = 1'000'000;

// Power-on and the console's reset of a cartridge with the core: `model`
// when no program was loaded (so a state's values are ranged for the
// cartridge's chip); with a program, the core starts at 0 and runs to its
// first request.
void necdsp_cartridge_power_on(Machine& m, NecDspModel model);
void necdsp_cartridge_reset(Machine& m);

// The DSP-4's window: SR where the board's select bit is set, else DR.
extern const MemoryWindow kNecDspDsp4Window;
// The ST011's windows: DR at even addresses, SR at odd ones; its RAM.
extern const MemoryWindow kNecDspSt011PortWindow;
extern const MemoryWindow kNecDspSt011RamWindow;

// "XNEC" as a row of a chip's state chunks.
inline constexpr ChipStateChunk kNecDspStateChunk{"XNEC", kNecDspStateSize, &necdsp_state_io<StateWriter>,
                                                  &necdsp_state_io<StateReader>};

}  // namespace vt
