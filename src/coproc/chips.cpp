#include "coproc/chips.h"

#include <array>

#include "coproc/dsp/dsp_family.h"
#include "coproc/cx4/cx4.h"
#include "coproc/gsu/gsu.h"
#include "coproc/gsu/gsu_debug.h"
#include "coproc/gsu/gsu_state.h"
#include "coproc/necdsp/necdsp.h"
#include "coproc/obc1/obc1.h"
#include "coproc/bsx/bsx.h"
#include "coproc/sa1/sa1.h"
#include "coproc/sgb/sgb.h"
#include "coproc/st011/st011.h"
#include "coproc/st018/st018.h"
#include "coproc/xband/xband.h"
#include "coproc/seta/seta.h"
#include "coproc/sdd1/sdd1.h"
#include "coproc/spc7110/spc7110.h"
#include "coproc/srtc/srtc.h"
#include "core/machine.h"

namespace vt {

namespace {

// --- battery RAM sizes fixed by the chips' boards

uint32_t sa1_ram_size(const Cartridge&) { return 256 * 1024; }
uint32_t super_fx_ram_size(const Cartridge&) { return 128 * 1024; }
uint32_t st010_ram_size(const Cartridge&) { return 4096; }

// 1024 shifted left by the size byte, within the 256 KiB buffer.
uint32_t spc7110_ram_size(const Cartridge& c) {
    return c.sram_size_byte <= 8 ? (1024u << c.sram_size_byte) : kSramBufferSize;
}

// Indexed by CoprocessorKind.
constexpr std::array<Chip, 16> kChips = {{
    {.kind = kCoprocNone, .name = ""},
    {.kind = kCoprocBsx,
     .name = "BSX",
     .map = &bsx_map,
     .map_cpu_view = &bsx_map_b_bus,
     .power_on = &bsx_power_on,
     .reset = &bsx_reset,
     .state_chunks = kBsxStateChunks},
    {.kind = kCoprocCx4,
     .name = "CX4",
     .map = &cx4_map,
     .power_on = &cx4_power_on,
     .reset = &cx4_reset,
     .state_chunks = kCx4StateChunks},
    {.kind = kCoprocDsp,
     .name = "DSP",
     .map = &dsp_chip_map,
     .power_on = &dsp_chip_power_on,
     .reset = &dsp_chip_reset,
     .state_chunks = kDspStateChunks,
     .debug_target = &kNecDspTarget},  // idle unless the DSP-4's program runs
    {.kind = kCoprocObc1,
     .name = "OBC1",
     .map = &obc1_map,
     .power_on = &obc1_power_on,
     .reset = &obc1_reset,
     .state_chunks = kObc1StateChunks,
     .battery = {.always_battery = true, .ram_in_every_state = true}},
    {.kind = kCoprocSa1,
     .name = "SA1",
     .map = &sa1_map,
     .map_cpu_view = &sa1_map_cpu_view,
     .power_on = &sa1_power_on,
     .reset = &sa1_reset,
     .catch_up = &sa1_catch_up,
     .line_end = &sa1_line_end,
     .state_chunks = kSa1StateChunks,
     .battery = {.ram_size = &sa1_ram_size, .ram_in_every_state = true},
     .debug_target = &kSa1Target},
    {.kind = kCoprocSdd1,
     .name = "SDD1",
     .map = &sdd1_map,
     .power_on = &sdd1_power_on,
     .reset = &sdd1_reset,
     .dma_channel_start = &sdd1_dma_channel_start,
     .dma_channel_end = &sdd1_dma_channel_end,
     .state_chunks = kSdd1StateChunks},
    {.kind = kCoprocSuperFx,
     .name = "SUPER-FX",
     .map = &gsu_map,
     .power_on = &gsu_power_on,
     .reset = &gsu_reset,
     .line_end = &gsu_line_end,
     .state_chunks = kGsuStateChunks,
     .battery = {.ram_size = &super_fx_ram_size, .ram_in_every_state = true},
     .debug_target = &kGsuTarget},
    {.kind = kCoprocSpc7110,
     .name = "SPC7110",
     .map = &spc7110_map,
     .power_on = &spc7110_power_on,
     .reset = &spc7110_reset,
     .line_end = &spc7110_line_end,
     .state_chunks = kSpc7110StateChunks,
     .battery = {.always_battery = true, .ram_size = &spc7110_ram_size}},
    {.kind = kCoprocSrtc,
     .name = "SRTC",
     .map = &srtc_map,
     .power_on = &srtc_power_on,
     .reset = &srtc_reset,
     .line_end = &srtc_line_end,
     .state_chunks = kSrtcStateChunks},
    {.kind = kCoprocSt010,
     .name = "ST010",
     .map = &seta_map,
     .battery = {.always_battery = true, .ram_size = &st010_ram_size, .ram_in_every_state = true}},
    {.kind = kCoprocSt011,
     .name = "ST011",
     .map = &st011_map,
     .power_on = &st011_power_on,
     .reset = &st011_reset,
     .state_chunks = kSt011StateChunks,
     .debug_target = &kNecDspTarget},  // idle unless the chip's program runs
    {.kind = kCoprocSt018,
     .name = "ST018",
     .map = &st018_map,
     .power_on = &st018_power_on,
     .reset = &st018_reset,
     .state_chunks = kSt018StateChunks},
    {.kind = kCoprocSuperGameBoy,
     .name = "SGB",
     .map = &sgb_map,
     .power_on = &sgb_power_on,
     .reset = &sgb_reset,
     .state_chunks = kSgbStateChunks},
    {.kind = kCoprocXband, .name = "XBAND", .map = &xband_map},
    {.kind = kCoprocBsxBase,
     .name = "BSX",
     .map = &bsx_base_map,
     .map_cpu_view = &bsx_map_b_bus,
     .power_on = &bsx_power_on,
     .reset = &bsx_reset,
     .state_chunks = kBsxStateChunks},
}};

constexpr bool rows_in_kind_order() {
    for (size_t i = 0; i < kChips.size(); i++) {
        if (kChips[i].kind != i) return false;
    }
    return true;
}
static_assert(rows_in_kind_order(), "each chip's row sits at the index of its kind");

}  // namespace

const Chip& chip_for(uint8_t kind) { return kind < kChips.size() ? kChips[kind] : kChips[kCoprocNone]; }

std::span<const Chip> all_chips() { return kChips; }

void chip_power_on(Machine& m) {
    if (const Chip& chip = chip_for(m.cart.coprocessor); chip.power_on) chip.power_on(m);
}

void chip_reset(Machine& m) {
    if (const Chip& chip = chip_for(m.cart.coprocessor); chip.reset) chip.reset(m);
}

}  // namespace vt
