// The cartridge chips: one row per coprocessor kind, with everything the
// rest of the program asks of a chip. The loader, the driver, the reset
// path, the save state and the debugger look a chip up here instead of
// testing the kind themselves.
//
// Adding a chip:
//   1. Give it a folder, coproc/<chip>/, with its state struct and its
//      functions (free functions taking the Machine, as everywhere).
//   2. Add the state struct as a member of Machine (core/machine.h).
//   3. Fill its row in kChips (chips.cpp), at the index of its kind:
//      - map: the windows it takes in the loader view; map_cpu_view for entries
//        that only the main CPU's tables or the B bus get;
//      - power_on (at load) and reset (the console's reset button);
//      - catch_up if it runs in step with the main CPU (called after every
//        main-CPU step), or line_end if it runs in slices (called at every
//        line end); leave both null if it only answers its registers;
//      - its save-state chunks (tag, length, save and load);
//      - its battery RAM rules;
//      - its debug target, if it is a processor the debugger can show;
//      - dma_channel_start/end if it takes part in DMA transfers.
//   4. Tests in tests/coproc/<chip>/.
// Nothing else changes: the driver caches the row's hooks at power-on and
// reset and picks its step loop by them, so a cartridge without a chip pays
// nothing per step.
#pragma once

#include <cstdint>
#include <span>

#include "cart/cartridge.h"
#include "core/state_io.h"

namespace vt {

struct Machine;
struct DebugTarget;

// A chunk of the chip's state in the state file, written after the
// machine's own chunks. Its layout is written once for both directions
// (core/state_io.h), as the machine's chunks are. A state without the chunk
// leaves the chip as power-on made it.
struct ChipStateChunk {
    char tag[5];      // four characters
    uint32_t length;  // bytes of data
    void (*save)(StateWriter& out, const Machine& m);
    // Values out of range are brought into it, so a damaged file cannot
    // wedge the chip.
    void (*load)(StateReader& in, Machine& m);
};

struct ChipBatteryRules {
    // Battery-backed whatever the header's cartridge type says.
    bool always_battery = false;
    // Bytes of RAM the chip's board carries; null: the header's size byte
    // decides.
    uint32_t (*ram_size)(const Cartridge& c) = nullptr;
    // States hold the RAM even when battery RAM is not transferred with
    // states: the chip keeps its working data there.
    bool ram_in_every_state = false;
};

struct Chip {
    CoprocessorKind kind;
    const char* name;  // as the ROM Information block and the inspector show it
    void (*map)(Machine& m) = nullptr;           // its windows in the loader view
    void (*map_cpu_view)(Machine& m) = nullptr;  // after the copy into the CPU's tables
    void (*power_on)(Machine& m) = nullptr;      // at load, before the map is built
    void (*reset)(Machine& m) = nullptr;         // the console's reset, before every other unit
    void (*catch_up)(Machine& m) = nullptr;      // after every main-CPU step
    void (*line_end)(Machine& m) = nullptr;      // at every line end, after the timer IRQ check
    // A general-DMA channel starts (A-bus bank and address, byte count
    // 1-65,536) and finishes (last: no channel follows); for chips that
    // watch the DMA's ROM reads.
    void (*dma_channel_start)(Machine& m, int channel, uint8_t bank, uint16_t addr, uint32_t count) = nullptr;
    void (*dma_channel_end)(Machine& m, int channel, bool last) = nullptr;
    std::span<const ChipStateChunk> state_chunks{};
    ChipBatteryRules battery{};
    const DebugTarget* debug_target = nullptr;
};

// The row of a coprocessor kind; an unknown kind gets the row of no chip.
const Chip& chip_for(uint8_t kind);
std::span<const Chip> all_chips();

// The loaded cartridge's chip at load and at the console's reset.
void chip_power_on(Machine& m);
void chip_reset(Machine& m);

}  // namespace vt
