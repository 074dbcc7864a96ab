// The NES side of the machine: the 2A03 (CPU and sound unit), its 2 KiB of
// RAM, the picture unit, the cartridge's mapper with its PRG RAM and CHR
// memory, and the two controller ports. An image that starts with "NES"
// $1A runs here instead of on the SNES units, under the same driver calls
// (machine_run, power-on, reset, save states).
//
// Time: the side runs its own line loop of 262 lines of 341 dots; one CPU
// cycle is 3 dots, so a line holds 113 2/3 cycles and the remainder carries
// into the next line. Every CPU bus access is one cycle.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "nes/nes_apu.h"
#include "nes/nes_cartridge.h"
#include "nes/nes_cpu.h"
#include "nes/nes_ppu.h"

namespace vt {

struct Machine;
struct NesSide;

inline constexpr int kNesLines = 262;
inline constexpr int kNesLineDots = 341;
inline constexpr int kNesDotsPerCycle = 3;
inline constexpr int kNesVblankLine = 241;
inline constexpr int kNesPreRenderLine = 261;
// The scanline counters of MMC3-like mappers see the picture unit's
// pattern fetches for sprites start here.
inline constexpr int kNesCounterDot = 260;
inline constexpr uint32_t kNesRamSize = 2048;
inline constexpr uint32_t kNesPrgRamSize = 8192;
inline constexpr uint32_t kNesChrRamSize = 32768;

// The registers every mapper keeps, in one layout so one save-state chunk
// serves them all. Each mapper's file says what its bytes mean.
struct NesMapperState {
    std::array<uint8_t, 16> regs{};
    uint8_t shift = 0;        // MMC1's serial shift register
    uint8_t shift_count = 0;
    uint8_t irq_latch = 0;
    uint8_t irq_counter = 0;
    bool irq_enabled = false;
    bool irq_reload = false;
    bool irq_line = false;    // the mapper holds the IRQ line
    bool prg_ram_enabled = true;
    bool prg_ram_writable = true;
    NesMirroring mirroring = NesMirroring::Horizontal;
    uint64_t last_write_cycle = 0;  // MMC1 ignores a write on the cycle after another
};

// One row of the mapper table (nes_mapper_table.cpp).
struct NesMapper {
    uint16_t number;
    const char* name;
    // Registers to their power-on values (then `apply` runs).
    void (*power_on)(NesSide& s);
    // A CPU write to $8000-$FFFF.
    void (*write)(NesSide& s, uint16_t address, uint8_t value);
    // Points the PRG, CHR and nametable pages at what the registers select;
    // after every register write, power-on and state load.
    void (*apply)(NesSide& s);
    // Once per rendered line at dot 260 (scanline counters); may be null.
    void (*line_counter)(NesSide& s);
};

// The mapper for a number, or null when this program has none.
const NesMapper* nes_mapper_for(uint16_t number);

// Where the side's line loop resumes (runs may stop between instructions).
enum class NesPoint : uint8_t { FrameStart, LineStart, Counter, LineEnd };

struct NesSide {
    Machine* machine = nullptr;

    NesCpu cpu;
    std::array<uint8_t, kNesRamSize> ram{};
    NesPpu ppu;
    NesApu apu;

    // --- cartridge
    NesCartridgeInfo info;
    const NesMapper* mapper = nullptr;
    NesMapperState mapper_state;
    const uint8_t* prg_rom = nullptr;  // in the cartridge's ROM buffer
    const uint8_t* chr_rom = nullptr;  // after the PRG ROM, or null
    uint8_t* prg_ram = nullptr;        // the first 8 KiB of the cartridge's battery RAM buffer
    std::array<uint8_t, kNesChrRamSize> chr_ram{};
    std::array<uint8_t, 2048> extra_nametables{};  // four-screen boards
    // $8000-$FFFF as four 8 KiB pages.
    std::array<const uint8_t*, 4> prg_page{};

    // --- controllers
    uint8_t strobe = 0;
    std::array<uint8_t, 2> shift{};

    // --- timing
    NesPoint point = NesPoint::FrameStart;
    uint16_t line = 0;
    int32_t clock = 0;         // dots into the line
    int32_t line_dots = kNesLineDots;
    uint64_t cycles = 0;       // CPU cycles since power-on
    uint64_t apu_cycles = 0;   // cycles the sound unit has run
    bool odd_frame = false;
    bool nmi_line = false;     // the picture unit's NMI output at the last look
    uint32_t frame_dots = 0;   // dots of the frame so far, for the sound
    uint64_t sample_phase = 0; // fraction of an output sample carried between frames
    uint8_t open_bus = 0;
    uint16_t instruction_pc = 0;  // for the unmapped-access log
};

// Loading: the loader has filled `info`, the ROM buffer and the battery RAM
// buffer; this points the side at them and chooses the mapper row.
void nes_side_attach(Machine& m);
// Power-on and reset of the whole side (the driver calls these for NES
// images in place of the SNES units' routines).
void nes_side_power_on(Machine& m);
void nes_side_reset(Machine& m);
// After a state load: re-points the mapper's pages and restarts the frame.
void nes_side_after_state_load(Machine& m);

// The CPU's view of memory; each access is a CPU cycle.
uint8_t nes_read(NesSide& s, uint16_t address);
void nes_write(NesSide& s, uint16_t address, uint8_t value);
// What a read would return now, without side effects (debugger, DMC).
uint8_t nes_peek(const NesSide& s, uint16_t address);

// --- mapper helpers: bank numbers wrap at the memory's size.
void nes_set_prg_8k(NesSide& s, int slot, uint32_t bank);
void nes_set_prg_16k(NesSide& s, int slot, uint32_t bank);  // slot 0: $8000, 1: $C000
void nes_set_prg_32k(NesSide& s, uint32_t bank);
void nes_set_chr_1k(NesSide& s, int slot, uint32_t bank);
void nes_set_chr_2k(NesSide& s, int slot, uint32_t bank);  // slot in 1 KiB units (0, 2, 4, 6)
void nes_set_chr_4k(NesSide& s, int slot, uint32_t bank);  // slot 0 or 4
void nes_set_chr_8k(NesSide& s, uint32_t bank);
void nes_set_mirroring(NesSide& s, NesMirroring mirroring);
uint32_t nes_prg_banks_8k(const NesSide& s);


}  // namespace vt

#include "core/timing.h"

namespace vt {
enum class RunUnit : uint8_t;
// The driver's run on an NES image: the side's line loop, from where it
// stands to the end of the unit (or a stop request).
RunStop nes_machine_run(Machine& m, RunUnit unit);
// One CPU step (instruction or interrupt entry).
void nes_cpu_step(NesSide& s);
// Stereo frames of 44,100 Hz sound owed for a frame of `dots` dots.
uint32_t nes_frame_samples(uint64_t& phase, uint32_t dots);
}  // namespace vt
