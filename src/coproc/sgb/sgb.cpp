#include "coproc/sgb/sgb.h"

#include "cart/cartridge_map.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr MemoryWindow kWindow{&sgb_read, &sgb_write, &sgb_peek};
// Pages $70-$7F are read-only: writes there reach nothing.
constexpr MemoryWindow kReadOnlyWindow{&sgb_read, &discard_write, &sgb_peek};

constexpr int kLcdRows = 18;  // 144 lines of 8

}  // namespace

const ChipStateChunk kSgbStateChunks[1] = {{"XSGB", kSgbStateSize, &sgb_state_io<StateWriter>, &sgb_state_io<StateReader>}};

void sgb_map(Machine& m) {
    install_loader_pages(m, 0x60, 0x67, kWindow);
    install_loader_pages(m, 0x70, 0x7F, kReadOnlyWindow);
}

void sgb_power_on(Machine& m) { m.sgb = Sgb{}; }

// The reset line holds the Game Boy in reset again.
void sgb_reset(Machine& m) { m.sgb = Sgb{}; }

uint8_t sgb_lcd_row(const Machine& m) {
    if (!(m.sgb.control & kSgbRunning)) return 0;
    // The Game Boy's frame runs alongside the console's: its 144 drawn
    // lines spread over the console's frame.
    const uint32_t lines = m.timing.lines_per_frame ? m.timing.lines_per_frame : 262;
    return uint8_t((m.timing.line % lines) * kLcdRows / lines);
}

int sgb_peek(const Machine& m, uint8_t, uint16_t addr) {
    const Sgb& s = m.sgb;
    if (addr >= 0x7800) return 0;  // the Game Boy draws nothing
    if (addr >= 0x7000) return s.packet[addr & 0x0F];
    if (addr >= 0x6800) return kNotReadable;
    switch (addr & 0x0F) {
        case 0x0: {
            const uint8_t row = sgb_lcd_row(m);
            return uint8_t((row << 3) | (row & 3));
        }
        case 0x2: return 0;  // no packet waiting
        case 0xF: return kSgbVersion;
        default: return kNotReadable;
    }
}

uint8_t sgb_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int v = sgb_peek(m, bank, addr);
    if (v < 0) return open_bus_read(m, bank, addr);
    m.timing.line_clock += 1;
    if (addr >= 0x7800) m.sgb.read_index = uint16_t((m.sgb.read_index + 1) % kSgbRowBytes);
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

void sgb_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    if (addr >= 0x6800) return;
    Sgb& s = m.sgb;
    switch (addr & 0x0F) {
        case 0x1:
            s.read_buffer = value & 3;
            s.read_index = 0;
            break;
        case 0x3: s.control = value; break;
        case 0x4: case 0x5: case 0x6: case 0x7: s.joypads[addr & 3] = value; break;
        default: break;
    }
}

template <class Io>
void sgb_state_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.sgb;
    io.u8(s.control);
    io.u8_masked(s.read_buffer, 3);
    io.u16(s.read_index);
    io.bytes(s.joypads);
    io.bytes(s.packet);
    if constexpr (Io::loading) {
        if (s.read_index >= kSgbRowBytes) s.read_index = 0;
    }
}

template void sgb_state_io<StateWriter>(StateWriter&, const Machine&);
template void sgb_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
