// The whole console: one instance of every component's state. Components are
// plain structs with free functions that take the Machine.
#pragma once

#include <memory>
#include <string_view>

#include "audio/apu.h"
#include "audio/dsp.h"
#include "cart/cartridge.h"
#include "cart/memory_map.h"
#include "coproc/dsp/dsp_family.h"
#include "coproc/bsx/bsx.h"
#include "coproc/cx4/cx4.h"
#include "coproc/gsu/gsu.h"
#include "coproc/necdsp/necdsp.h"
#include "coproc/obc1/obc1.h"
#include "coproc/sa1/sa1.h"
#include "coproc/sdd1/sdd1.h"
#include "coproc/spc7110/spc7110.h"
#include "coproc/sgb/sgb.h"
#include "coproc/srtc/srtc.h"
#include "coproc/st011/st011.h"
#include "coproc/st018/st018.h"
#include "core/cpu_state.h"
#include "core/input_ports.h"
#include "core/system_registers.h"
#include "core/timing.h"
#include "debug/debugger.h"
#include "nes/nes_side.h"
#include "video/dma.h"
#include "video/ppu.h"

namespace vt {

// What the driver asks of the program around it (picture, per-frame input)
// and what the program tells it. Any hook may be left empty.
struct HostHooks {
    void* user = nullptr;
    // Whether the next frame's picture is drawn; the program clears it for
    // the frames its frame skip leaves out. Read when a frame starts.
    bool draw_frame = true;
    void (*present_frame)(void* user, Machine& m) = nullptr;
    // Mouse and Super Scope state, once per frame at V-blank start.
    void (*frame_input)(void* user, Machine& m) = nullptr;
    // A line for the program's log file, without its line end; chips that
    // report to the log (the DSP-3's unknown commands) call it.
    void (*log_line)(void* log, std::string_view line) = nullptr;
    void* log = nullptr;
};

struct Machine {
    Machine() = default;
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    Timing timing;
    CpuCore<Machine> cpu;
    SystemRegisters sysregs;
    MemoryMap mem;
    Dma dma;
    Apu apu;
    Dsp dsp;
    Ppu ppu;
    InputPorts input;
    Sa1 sa1;
    Gsu gsu;
    DspFamily dsp_family;
    NecDsp necdsp;  // the DSP-4's or ST011's own program, when the user has it
    Obc1 obc1;
    Spc7110 spc7110;
    Sdd1 sdd1;
    Srtc srtc;
    Cx4 cx4;
    St011 st011;
    St018 st018;
    Bsx bsx;
    Sgb sgb;
    NesSide nes;  // runs NES images in place of the SNES units
    Cartridge cart;
    Debugger debug;
    HostHooks host;
};

// Machines are large (buffers of several MiB); keep them on the heap.
inline std::unique_ptr<Machine> make_machine() { return std::make_unique<Machine>(); }

}  // namespace vt
