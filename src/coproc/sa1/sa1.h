// SA-1 cartridge processor: a second 65816 at 10.74 MHz with 2 KiB of its
// own RAM (I-RAM), a window onto the cartridge RAM (BW-RAM) with a packed
// pixel view, ROM bank switching (Super MMC), an arithmetic unit, a
// variable-length bit reader, a DMA unit with character conversion and
// interrupts both ways between the two processors.
//
// The processor is the templated 65816 core on a bus of its own
// (sa1_cpu.cpp); its registers and memories are answered by the handlers of
// sa1_registers.cpp and sa1_memory.cpp, which both processors reach through
// their handler tables. The main CPU's tables get the SA-1's windows only on
// SA-1 cartridges, so other cartridges pay nothing for it.
#pragma once

#include <array>
#include <cstdint>

#include "cart/memory_map.h"
#include "core/cpu_state.h"
#include "core/state_io.h"

namespace vt {

struct Machine;
struct DebugTarget;
struct ChipStateChunk;

inline constexpr uint32_t kSa1IramSize = 2048;

// Conversion depth, from CDMA bits 0-1: bits per pixel.
enum class Sa1Depth : uint8_t { Bpp8 = 0, Bpp4 = 1, Bpp2 = 2 };

// The registers as the programs wrote them ($2200-$225B).
struct Sa1Written {
    uint8_t ccnt = 0x20;  // SA-1 held in reset
    uint8_t sie = 0;
    uint8_t sic = 0;
    uint16_t crv = 0;  // SA-1 reset, NMI and IRQ vectors
    uint16_t cnv = 0;
    uint16_t civ = 0;
    uint8_t scnt = 0;
    uint8_t cie = 0;
    uint8_t cic = 0;
    uint16_t snv = 0;  // main CPU NMI and IRQ vectors when switched over
    uint16_t siv = 0;
    uint8_t tmc = 0;
    uint8_t ctr = 0;
    uint16_t hcnt = 0;
    uint16_t vcnt = 0;
    std::array<uint8_t, 4> mmc{0, 1, 2, 3};  // CXB, DXB, EXB, FXB
    uint8_t bmaps = 0;
    uint8_t bmap = 0;
    uint8_t sbwe = 0;
    uint8_t cbwe = 0;
    uint8_t bwpa = 0xFF;
    uint8_t siwp = 0;
    uint8_t ciwp = 0;
    uint8_t dcnt = 0;
    uint8_t cdma = 0;
    uint32_t sda = 0;  // 24 bits
    uint32_t dda = 0;  // 24 bits
    uint16_t dtc = 0;
    uint8_t bbf = 0;
    std::array<uint8_t, 16> brf{};
    uint8_t mcnt = 0;
    uint16_t ma = 0;
    uint16_t mb = 0;
    uint8_t vbd = 0;
    uint32_t vda = 0;  // 24 bits
};

struct Sa1 {
    CpuCore<Machine> cpu;
    // Runs while CCNT neither holds it in reset (bit 5) nor makes it wait
    // (bit 6).
    bool running = false;
    // SA-1 cycles this line, compared with the main CPU's line clock (one
    // SA-1 cycle is one clock unit).
    int32_t clock = 0;

    Sa1Written w;
    std::array<uint8_t, kSa1IramSize> iram{};

    // Interrupt flags of SFR (bits 7, 5) and CFR (bits 7, 6, 5, 4).
    uint8_t sfr_flags = 0;
    uint8_t cfr_flags = 0;
    // Arithmetic result, 40 bits, and the overflow flag of $230B.
    uint64_t mr = 0;
    uint8_t overflow = 0;
    // H and V latched by reads of $2302 and $2304.
    uint16_t h_latch = 0;
    uint16_t v_latch = 0;
    // Variable-length bit reader: bit offset 0-15 within the word at VDA.
    uint8_t bit_offset = 0;

    // Character conversion: type 1 in progress, character within the line,
    // bytes of the current character read out; type 2's row offset.
    bool conversion_active = false;
    uint8_t char_index = 0;
    uint8_t read_counter = 0;
    uint8_t row_offset = 0;

    // --- derived from the registers (sa1_refresh_derived)
    uint32_t snes_bwram_base = 0;  // BMAPS x 8 KiB
    uint32_t sa1_bwram_base = 0;   // BMAP x 8 KiB, in pixels when bitmap
    bool sa1_window_bitmap = false;
    uint32_t protect_boundary = 0;  // 24-bit address below which writes are protected
    // ROM per bank through the Super MMC, 64 KiB readable behind each
    // pointer: LoROM banks ($00-$3F, $80-$BF) read rom[bank][addr & $7FFF],
    // HiROM banks ($C0-$FF) rom[bank][addr]; other banks hold null.
    std::array<const uint8_t*, 256> rom{};
    // The SA-1's own handler tables.
    HandlerTables view;
};

// --- row functions of the chip table
void sa1_map(Machine& m);           // main CPU's windows in the loader view
void sa1_map_cpu_view(Machine& m);  // main CPU's ROM and vectors; the SA-1's own tables
void sa1_power_on(Machine& m);
void sa1_reset(Machine& m);
// After every main-CPU step: SA-1 steps while it runs and its clock is
// behind the main CPU's line clock.
void sa1_catch_up(Machine& m);
// Line end: the SA-1's clock moves to the next line.
void sa1_line_end(Machine& m);

// One SA-1 step: an instruction, an interrupt entry or an idle step.
void sa1_step(Machine& m);

// --- the processor (sa1_cpu.cpp)
void sa1_cpu_power_on(Machine& m);
void sa1_cpu_start(Machine& m);  // CCNT bit 5 released
void sa1_raise_nmi(Machine& m);
void sa1_raise_irq(Machine& m);
void sa1_clear_irq(Machine& m);
uint8_t sa1_cpu_status(const Machine& m);
// What the SA-1 would read at an address now, or kNotReadable; changes
// nothing.
int sa1_bus_peek(const Machine& m, uint8_t bank, uint16_t addr);

// --- registers (sa1_registers.cpp)
void sa1_register_write(Machine& m, uint16_t addr, uint8_t value);
uint8_t sa1_register_read(Machine& m, uint16_t addr);
int sa1_register_peek(const Machine& m, uint16_t addr);
// Re-derives windows, protection, ROM pointers and the run flag.
void sa1_refresh_derived(Machine& m);
// The cartridge interrupt at the main CPU follows SFR's flags.
void sa1_update_snes_irq(Machine& m);

// --- memories (sa1_memory.cpp)
void sa1_rebuild_rom_banks(Machine& m);
// ROM byte at a 24-bit address through the Super MMC (DMA source, bit
// reader); addresses that show no ROM read 0.
uint8_t sa1_rom_byte(const Machine& m, uint32_t address);
uint8_t sa1_bitmap_read(const Machine& m, uint32_t pixel);
void sa1_bitmap_write(Machine& m, uint32_t pixel, uint8_t value);
// BW-RAM write at a 24-bit address of banks $40-$4F under the protection
// enabled by `enable` (SBWE or CBWE).
void sa1_protected_bwram_write(Machine& m, uint32_t address, uint8_t enable, uint8_t value);

// --- DMA and character conversion (sa1_dma.cpp)
void sa1_normal_dma(Machine& m);
void sa1_start_conversion_type1(Machine& m);
void sa1_convert_character(Machine& m);  // the next type-1 character into I-RAM
uint8_t sa1_conversion_read(Machine& m);  // main CPU read of banks $40-$4F while type 1 runs
void sa1_convert_bitmap_row(Machine& m, int half);  // type 2
int sa1_bytes_per_character(const Machine& m);

// --- arithmetic and bit reader (sa1_math.cpp)
void sa1_arithmetic(Machine& m);
uint16_t sa1_bit_reader_word(const Machine& m);
void sa1_bit_reader_advance(Machine& m);

// --- save state (sa1_state.cpp)
inline constexpr uint32_t kSa1ChunkSize = 2148;
inline constexpr uint32_t kSa1ExtraChunkSize = 19;
template <class Io>
void sa1_state_io(Io& io, IoMachine<Io>& m);
template <class Io>
void sa1_extra_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kSa1StateChunks[2];

// --- debugger (sa1_debug.cpp)
extern const DebugTarget kSa1Target;

}  // namespace vt
