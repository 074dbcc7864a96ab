// The NEC signal processors of the DSP-family cartridges, running the
// chip's own program: the uPD77C25 (the DSP-1 to DSP-4 are this chip with
// different programs) and the uPD96050 (ST010, ST011).
//
// Both execute one 24-bit instruction a step from their program ROM, with a
// data ROM read through RP, a data RAM addressed by DP, two accumulators
// with their own flag sets and a 16 x 16 multiplier that works on K and L
// all the time. The console talks to the chip through two ports: the data
// register DR and the status register SR (its high byte). The chip's
// program waits on SR's RQM bit, so the host's transfers are the moments
// the chip gives control back: after each completed transfer the core runs
// until the program asks for the next one (`necdsp_run_until_request`).
//
// The program and data ROM come from the user's firmware file; without one
// the core stays idle and the cartridge keeps its command-level emulation.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/state_io.h"

namespace vt {

struct Machine;
struct DebugTarget;

enum class NecDspModel : uint8_t { Upd7725, Upd96050 };

// Sizes of the larger model; every index is masked to the model's own.
inline constexpr uint32_t kNecDspProgramWords = 16384;
inline constexpr uint32_t kNecDspDataRomWords = 2048;
inline constexpr uint32_t kNecDspRamWords = 2048;
inline constexpr uint32_t kNecDspMaxStack = 16;

// Firmware files: program words of 3 bytes, then data-ROM words of 2 bytes,
// both little-endian.
inline constexpr uint32_t kUpd7725FirmwareSize = 2048 * 3 + 1024 * 2;    // 8,192
inline constexpr uint32_t kUpd96050FirmwareSize = 16384 * 3 + 2048 * 2;  // 53,248

// SR bits.
inline constexpr uint16_t kNecSrRqm = 0x8000;   // the chip waits for the host
inline constexpr uint16_t kNecSrUsf1 = 0x4000;  // user flags
inline constexpr uint16_t kNecSrUsf0 = 0x2000;
inline constexpr uint16_t kNecSrDrs = 0x1000;   // 16-bit transfer: the high byte is next
inline constexpr uint16_t kNecSrDma = 0x0800;
inline constexpr uint16_t kNecSrDrc = 0x0400;   // 8-bit transfers
inline constexpr uint16_t kNecSrSoc = 0x0200;
inline constexpr uint16_t kNecSrSic = 0x0100;
inline constexpr uint16_t kNecSrEi = 0x0080;
inline constexpr uint16_t kNecSrP1 = 0x0002;
inline constexpr uint16_t kNecSrP0 = 0x0001;
// The bits the program sets through SR; RQM and DRS belong to the handshake.
inline constexpr uint16_t kNecSrProgramBits = kNecSrUsf1 | kNecSrUsf0 | kNecSrDma | kNecSrDrc | kNecSrSoc |
                                              kNecSrSic | kNecSrEi | kNecSrP1 | kNecSrP0;

struct NecDspFlags {
    bool s0 = false, s1 = false, z = false, c = false, ov0 = false, ov1 = false;
};

struct NecDsp {
    NecDspModel model = NecDspModel::Upd7725;
    bool has_firmware = false;  // a program was loaded; not part of a state

    // Firmware (not part of a state).
    std::array<uint32_t, kNecDspProgramWords> program{};
    std::array<uint16_t, kNecDspDataRomWords> data_rom{};

    std::array<uint16_t, kNecDspRamWords> ram{};
    uint16_t pc = 0, rp = 0, dp = 0;
    std::array<uint16_t, kNecDspMaxStack> stack{};
    uint8_t sp = 0;  // next free entry; the stack wraps within its depth
    uint16_t acca = 0, accb = 0;
    NecDspFlags fa, fb;
    uint16_t tr = 0, trb = 0;
    uint16_t k = 0, l = 0, m = 0, n = 0;
    uint16_t dr = 0, sr = 0;
    uint16_t si = 0, so = 0;

    bool limit_logged = false;  // the run limit's log line was written
};

// --- model sizes
uint32_t necdsp_program_mask(NecDspModel model);
uint32_t necdsp_data_rom_mask(NecDspModel model);
uint32_t necdsp_ram_mask(NecDspModel model);
uint32_t necdsp_stack_depth(NecDspModel model);
uint32_t necdsp_firmware_size(NecDspModel model);

// Takes the program and data ROM from a firmware file; false (and nothing
// changed) unless the size is the model's exact size.
bool necdsp_load_firmware(NecDsp& dsp, NecDspModel model, std::span<const uint8_t> bytes);

// The chip's reset: registers cleared, PC 0; the RAM and firmware stay.
void necdsp_reset(NecDsp& dsp);
// Power-on: reset and a cleared RAM.
void necdsp_power_on(NecDsp& dsp);

// One instruction.
void necdsp_step(NecDsp& dsp);
// Runs until the program sets RQM, at most `limit` instructions; true when
// RQM is set at the end.
bool necdsp_run_until_request(NecDsp& dsp, uint32_t limit);

// --- the host's side. A transfer is one byte with SR.DRC set, else two
// (low byte first, DRS marking the half-done word); the transfer's last
// byte clears RQM. Both return true when a transfer completed.
bool necdsp_host_read_dr(NecDsp& dsp, uint8_t& value);
bool necdsp_host_write_dr(NecDsp& dsp, uint8_t value);
uint8_t necdsp_host_peek_dr(const NecDsp& dsp);
uint8_t necdsp_host_read_sr(const NecDsp& dsp);
// The uPD96050's data RAM as bytes (little-endian words), repeating.
uint8_t necdsp_host_read_ram(const NecDsp& dsp, uint32_t address);
void necdsp_host_write_ram(NecDsp& dsp, uint32_t address, uint8_t value);

// One instruction as text, e.g. "OP   ADD ACCA,RAM  SRC=DR DST=K DPINC".
std::string necdsp_disassemble(const NecDsp& dsp, uint32_t address);
std::string necdsp_instruction_text(NecDspModel model, uint32_t word);

// "XNEC": registers, stack and RAM; the same length for both models.
inline constexpr uint32_t kNecDspStateSize = 2 * 3                    // PC, RP, DP
                                             + kNecDspMaxStack * 2 + 1  // stack, pointer
                                             + 2 * 2 + 2                // ACCA, ACCB, flag sets
                                             + 2 * 2 + 2 * 4            // TR, TRB, K, L, M, N
                                             + 2 * 2 + 2 * 2            // DR, SR, SI, SO
                                             + kNecDspRamWords * 2;
template <class Io>
void necdsp_state_io(Io& io, IoMachine<Io>& m);

extern const DebugTarget kNecDspTarget;

}  // namespace vt
