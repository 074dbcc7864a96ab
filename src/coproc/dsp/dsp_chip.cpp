#include "coproc/dsp/dsp_family.h"

#include "cart/cartridge_map.h"
#include "cart/coprocessor_windows.h"
#include "coproc/chips.h"
#include "coproc/dsp/dsp_port_window.h"
#include "coproc/necdsp/necdsp_cartridge.h"
#include "core/machine.h"

namespace vt {

namespace {

// The window serving the cartridge's DSP variant; the DSP-4 runs its own
// program when the user has it.
MemoryWindow window_for_variant(const Machine& m, uint8_t variant) {
    if (variant == 4 && m.necdsp.has_firmware) return kNecDspDsp4Window;
    switch (variant) {
        case 1: return DspPortHandlers<&dsp1_resume>::window;
        case 2: return DspPortHandlers<&dsp2_resume>::window;
        case 3: return DspPortHandlers<&dsp3_resume>::window;
        case 4: return DspPortHandlers<&dsp4_resume>::window;
        default: return kDspWindow[variant <= 4 ? variant : 0];
    }
}

template <class Io>
void dsp_state_io(Io& io, IoMachine<Io>& m) {
    auto& port = m.dsp_family.port;
    dsp_port_state_io<Io>(io, port);
    dsp1_state_io(io, m);
    dsp2_state_io(io, m);
    dsp3_state_io(io, m);
}

}  // namespace

uint8_t dsp_select_mask(const Machine& m) { return dsp_placement(m) == DspPlacement::HiRom ? 0x10 : 0x40; }

void dsp_chip_map(Machine& m) {
    const MemoryWindow w = window_for_variant(m, m.cart.dsp_variant);
    switch (dsp_placement(m)) {
        case DspPlacement::HiRom:
            for (int nibble : {0x0, 0x1, 0x8, 0x9}) memory_install_loader_sub(m, nibble, w);
            break;
        case DspPlacement::LoRomBanks30:
            install_loader_banks(m, 0x30, 0x3F, 1, w);
            install_loader_banks(m, 0xB0, 0xBF, 1, w);
            break;
        case DspPlacement::LoRomBanks20:
            install_loader_banks(m, 0x20, 0x3F, 1, w);
            install_loader_banks(m, 0xA0, 0xBF, 1, w);
            break;
        case DspPlacement::LoRomBanks60:
            install_loader_banks(m, 0x60, 0x6F, 0, w);
            install_loader_banks(m, 0xE0, 0xEF, 0, w);
            break;
    }
}

void dsp_chip_power_on(Machine& m) {
    m.dsp_family = DspFamily{};
    m.dsp_family.port.select_mask = dsp_select_mask(m);
    necdsp_cartridge_power_on(m, NecDspModel::Upd7725);
}

// The console's reset starts every chip's command loop again; the select
// mask belongs to the board.
void dsp_chip_reset(Machine& m) {
    const uint8_t mask = m.dsp_family.port.select_mask;
    m.dsp_family = DspFamily{};
    m.dsp_family.port.select_mask = mask;
    necdsp_cartridge_reset(m);
}

const std::array<ChipStateChunk, 3> kDspStateChunks = {{
    {"XDCH", kDspPortStateSize + kDsp1StateSize + kDsp2StateSize + kDsp3StateSize, &dsp_state_io<StateWriter>, &dsp_state_io<StateReader>},
    {"XDP4", kDsp4StateSize, &dsp4_state_io<StateWriter>, &dsp4_state_io<StateReader>},
    kNecDspStateChunk,
}};

}  // namespace vt
