#include "coproc/cx4/cx4.h"

#include "cart/bus.h"
#include "cart/cartridge_map.h"
#include "coproc/chips.h"
#include "coproc/cx4/cx4_commands.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint16_t kRegisterBase = 0x7F40;
enum : int {
    kDmaSource = 0x00,       // $7F40-$7F42
    kDmaLength = 0x03,       // $7F43-$7F44
    kDmaDestination = 0x05,  // $7F45-$7F46
    kDmaStart = 0x07,        // $7F47
    kCommand = 0x0F,         // $7F4F
    kStatus = 0x1E,          // $7F5E
};

// Pages $60-$6B and $70-$7B see the RAM ($x000-$xBFF of the page pair);
// $7F40-$7FFF the registers; the rest of the window reads open bus.
int ram_index(uint16_t addr) {
    const int i = addr & 0x0FFF;
    return i < int(kCx4RamSize) ? i : -1;
}

bool is_register(uint16_t addr) { return addr >= kRegisterBase; }

uint32_t reg(const Cx4& c, int i, int bytes) {
    uint32_t v = 0;
    for (int b = bytes - 1; b >= 0; b--) v = v << 8 | c.regs[size_t(i + b)];
    return v;
}

// The chip copies from the cartridge's view of the address space into its
// RAM; what it cannot read comes in as 0.
void run_dma(Machine& m) {
    Cx4& c = m.cx4;
    const uint32_t source = reg(c, kDmaSource, 3);
    const uint32_t length = reg(c, kDmaLength, 2);
    const uint32_t destination = reg(c, kDmaDestination, 2);
    for (uint32_t i = 0; i < length && destination + i < kCx4RamSize; i++) {
        const uint32_t a = (source + i) & 0xFFFFFF;
        const int v = bus_peek(m, uint8_t(a >> 16), uint16_t(a));
        c.ram[destination + i] = v == kNotReadable ? 0 : uint8_t(v);
    }
}

constexpr MemoryWindow kWindow{&cx4_read, &cx4_write, &cx4_peek};

void save_chunk(StateWriter& out, const Machine& m) { cx4_state_io(out, m); }
void load_chunk(StateReader& in, Machine& m) { cx4_state_io(in, m); }

}  // namespace

const ChipStateChunk kCx4StateChunks[1] = {{"XCX4", kCx4StateSize, &save_chunk, &load_chunk}};

int cx4_peek(const Machine& m, uint8_t, uint16_t addr) {
    const Cx4& c = m.cx4;
    if (is_register(addr)) return addr - kRegisterBase == kStatus ? 0 : c.regs[size_t(addr - kRegisterBase)];
    const int i = ram_index(addr);
    return i < 0 ? kNotReadable : c.ram[size_t(i)];
}

uint8_t cx4_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int v = cx4_peek(m, bank, addr);
    if (v == kNotReadable) return open_bus_read(m, bank, addr);
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

void cx4_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    Cx4& c = m.cx4;
    if (is_register(addr)) {
        const int r = addr - kRegisterBase;
        c.regs[size_t(r)] = value;
        if (r == kDmaStart) run_dma(m);
        if (r == kCommand) cx4_run_command(m, value);
        return;
    }
    const int i = ram_index(addr);
    if (i < 0) return discard_write(m, bank, addr, value);
    c.ram[size_t(i)] = value;
}

void cx4_map(Machine& m) {
    install_loader_pages(m, 0x60, 0x6B, kWindow);
    install_loader_pages(m, 0x70, 0x7B, kWindow);
    install_loader_pages(m, 0x7F, 0x7F, kWindow);
}

void cx4_power_on(Machine& m) { m.cx4 = Cx4{}; }

void cx4_reset(Machine& m) { m.cx4.regs.fill(0); }

DebugRegisters cx4_debug_registers(const Machine& m) {
    const Cx4& c = m.cx4;
    DebugRegisters r;
    r.add("DMASRC", 24, reg(c, kDmaSource, 3));
    r.add("DMALEN", 16, reg(c, kDmaLength, 2));
    r.add("DMADST", 16, reg(c, kDmaDestination, 2));
    r.add("CMD", 8, c.regs[kCommand]);
    return r;
}

template <class Io>
void cx4_state_io(Io& io, IoMachine<Io>& m) {
    io.bytes(m.cx4.ram);
    io.bytes(m.cx4.regs);
}

template void cx4_state_io(StateWriter&, const Machine&);
template void cx4_state_io(StateReader&, Machine&);

}  // namespace vt
