// Super FX (GSU) cartridge processor: a 16-bit RISC chip that draws into the
// cartridge RAM while the 65816 runs. Two sides:
//   - the core (gsu_instructions.cpp, gsu_plot.cpp): register file, the
//     interpreter with its one-byte pipeline, pixel plotting;
//   - the bus side (gsu_registers.cpp): the registers at $3000-$32FF as the
//     main CPU sees them, the RAM windows, reset and the slice run at each
//     line end.
// The chip is interpreted instruction by instruction in slices of 300 or
// 600 instructions per scanline (its 10.74 or 21.48 MHz clock); the main CPU
// is never stalled.
#pragma once

#include <array>
#include <cstdint>

namespace vt {

struct Machine;

// SFR bits.
inline constexpr uint16_t kSfrZ = 0x0002;
inline constexpr uint16_t kSfrCy = 0x0004;
inline constexpr uint16_t kSfrS = 0x0008;
inline constexpr uint16_t kSfrOv = 0x0010;
inline constexpr uint16_t kSfrGo = 0x0020;
inline constexpr uint16_t kSfrR = 0x0040;
inline constexpr uint16_t kSfrAlt1 = 0x0100;
inline constexpr uint16_t kSfrAlt2 = 0x0200;
inline constexpr uint16_t kSfrB = 0x1000;
inline constexpr uint16_t kSfrIrq = 0x8000;

// SCMR bits.
inline constexpr uint8_t kScmrRan = 0x08;  // RAM given to the GSU (kept, not enforced)
inline constexpr uint8_t kScmrRon = 0x10;  // ROM given to the GSU: gates execution

// POR bits.
inline constexpr uint8_t kPorOpaque = 0x01;      // plot colour 0 too
inline constexpr uint8_t kPorDither = 0x02;      // 4-bit mode only
inline constexpr uint8_t kPorHighNibble = 0x04;  // COLOR/GETC take the high nibble
inline constexpr uint8_t kPorFreezeHigh = 0x08;  // COLOR/GETC keep COLR's high nibble
inline constexpr uint8_t kPorObj = 0x10;         // OBJ character layout

inline constexpr uint32_t kGsuRamSize = 128 * 1024;  // two banks of 64 KiB
inline constexpr uint32_t kGsuRamMask = kGsuRamSize - 1;
inline constexpr int kGsuCacheSize = 512;
inline constexpr uint8_t kGsuVersion = 4;
inline constexpr int kGsuSliceShort = 300;  // CLSR bit 0 clear (10.74 MHz)
inline constexpr int kGsuSliceLong = 600;   // CLSR bit 0 set (21.48 MHz)

// Z, CY, S, OV, GO and R live unpacked while a slice runs.
struct GsuFlags {
    bool z = false, cy = false, s = false, ov = false, go = false, r = false;
};

struct Gsu {
    // --- registers (the save state holds these)
    std::array<uint16_t, 16> r{};
    uint16_t sfr = 0;
    uint8_t pbr = 0;
    uint8_t rombr = 0;
    uint8_t rambr = 0;
    uint8_t bramr = 0;
    uint16_t cbr = 0;
    uint8_t scbr = 0;
    uint8_t scmr = 0;
    uint8_t cfgr = 0;
    uint8_t clsr = 0;
    uint8_t colr = 0;
    uint8_t por = 0;
    uint8_t pipe = 0x01;        // the instruction byte fetched ahead
    uint8_t rom_buffer = 0;     // the byte at ROMBR:R14
    uint8_t latch = 0;          // low byte of a main-CPU register write
    uint8_t sreg = 0, dreg = 0; // FROM/TO selections
    uint16_t ram_address = 0;   // last RAM address of a load or store (SBK)
    std::array<uint8_t, kGsuCacheSize> cache{};

    // --- derived at register-write time, never saved
    GsuFlags f;                             // valid while a slice runs
    bool running = false;                   // GO set and SCMR RON set
    bool stop_slice = false;                // STOP ends the slice
    int slice_length = kGsuSliceShort;
    const uint8_t* program_base = nullptr;  // 64 KiB of bank PBR
    const uint8_t* rom_base = nullptr;      // 64 KiB of bank ROMBR (bits 0-6)
    uint8_t* ram_base = nullptr;            // 64 KiB of GSU RAM bank RAMBR
    uint8_t* ram = nullptr;                 // the whole 128 KiB
    uint32_t screen_base = 0;               // offset of the screen in GSU RAM
    uint8_t colour_mode = 0;                // SCMR bits 0-1
    uint8_t height_index = 0;               // SCMR bit 2 + 2 x bit 5
    const uint16_t* plot_column = nullptr;  // byte offset of character column cx
    const uint16_t* plot_row = nullptr;     // byte offset of character row cy
};

// --- row functions of the chip table
void gsu_map(Machine& m);
void gsu_power_on(Machine& m);
void gsu_reset(Machine& m);
// Line end: one slice of GSU work while it is running.
void gsu_line_end(Machine& m);

// --- the core
// Runs up to `count` instructions (fewer when STOP executes), with the flags
// unpacked from SFR at the start and packed back at the end. Returns the
// number of instructions executed.
int gsu_run(Machine& m, int count);
// The slice run at each line end while the GSU is running.
void gsu_line_slice(Machine& m);

// --- derived state, recomputed when its register changes
// Host memory of a bank as the GSU sees it: ROM banks $00-$5F, its RAM in
// $70-$71; every pointer may be indexed by any 16-bit address.
const uint8_t* gsu_bank_base(const Machine& m, uint8_t bank);
void gsu_set_program_bank(Machine& m, uint8_t bank);
void gsu_set_rom_bank(Machine& m, uint8_t bank);
void gsu_set_ram_bank(Machine& m, uint8_t bank);
void gsu_set_screen(Machine& m);  // from SCBR, SCMR and POR
void gsu_set_clock(Machine& m);   // from CLSR
void gsu_refresh_running(Machine& m);
void gsu_refresh_derived(Machine& m);  // all of the above
// R14 was written: the ROM buffer takes the byte at ROMBR:R14.
void gsu_fill_rom_buffer(Gsu& g);

// --- plotting (gsu_plot.cpp)
void gsu_plot(Gsu& g);
uint8_t gsu_read_pixel(const Gsu& g, uint8_t x, uint8_t y);
// GSU RAM offset of the row of pixel (x, y) in bit-plane pair 0.
uint32_t gsu_pixel_row_offset(const Gsu& g, uint8_t x, uint8_t y);
void gsu_select_plot_tables(Gsu& g);

// --- main-CPU side
uint8_t gsu_register_read(Machine& m, uint8_t bank, uint16_t addr);
void gsu_register_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int gsu_register_peek(const Machine& m, uint8_t bank, uint16_t addr);

// SFR with the flags as they stand (packed from the unpacked flags while a
// slice runs).
uint16_t gsu_packed_sfr(const Gsu& g);

}  // namespace vt
