#include "coproc/chips.h"

#include <array>

#include "coproc/dsp/dsp_family.h"
#include "coproc/gsu/gsu.h"
#include "coproc/gsu/gsu_debug.h"
#include "coproc/gsu/gsu_state.h"
#include "coproc/obc1/obc1.h"
#include "coproc/placeholder_chips.h"
#include "coproc/sa1/sa1.h"
#include "coproc/seta/seta.h"
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
constexpr std::array<Chip, 13> kChips = {{
    {.kind = kCoprocNone, .name = ""},
    {.kind = kCoprocBsx,
     .name = "BSX",
     .map = &map_bsx_placeholder,
     .map_cpu_view = &map_bsx_b_bus_placeholder},
    {.kind = kCoprocCx4, .name = "CX4", .map = &map_cx4_placeholder},
    {.kind = kCoprocDsp,
     .name = "DSP",
     .map = &dsp_chip_map,
     .power_on = &dsp_chip_power_on,
     .reset = &dsp_chip_reset,
     .state_chunks = kDspStateChunks},
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
    {.kind = kCoprocSdd1, .name = "SDD1", .map = &map_sdd1_placeholder},
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
     .map = &map_spc7110_placeholder,
     .battery = {.always_battery = true, .ram_size = &spc7110_ram_size}},
    {.kind = kCoprocSrtc, .name = "SRTC"},
    {.kind = kCoprocSt010,
     .name = "ST010",
     .map = &seta_map,
     .battery = {.always_battery = true, .ram_size = &st010_ram_size, .ram_in_every_state = true}},
    {.kind = kCoprocSt011, .name = "ST011"},
    {.kind = kCoprocSt018, .name = "ST018", .map = &map_st018_placeholder},
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
