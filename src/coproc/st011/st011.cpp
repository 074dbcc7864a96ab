#include "coproc/st011/st011.h"

#include "cart/cartridge_map.h"
#include "coproc/chips.h"
#include "coproc/necdsp/necdsp_cartridge.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr MemoryWindow kPortWindow{&st011_port_read, &st011_port_write, &st011_port_peek};
constexpr MemoryWindow kRamWindow{&st011_ram_read, &st011_ram_write, &st011_ram_peek};

}  // namespace

const ChipStateChunk kSt011StateChunks[2] = {
    {"XS11", kSt011StateSize, &st011_state_io<StateWriter>, &st011_state_io<StateReader>},
    kNecDspStateChunk,
};

// With the user's program file the ports and the RAM are the NEC core's.
void st011_map(Machine& m) {
    const bool program = m.necdsp.has_firmware;
    const MemoryWindow port = program ? kNecDspSt011PortWindow : kPortWindow;
    const MemoryWindow ram = program ? kNecDspSt011RamWindow : kRamWindow;
    install_loader_banks(m, 0x60, 0x67, 0, port);
    install_loader_banks(m, 0xE0, 0xE7, 0, port);
    install_loader_banks(m, 0x68, 0x6F, 0, ram);
    install_loader_banks(m, 0xE8, 0xEF, 0, ram);
}

void st011_power_on(Machine& m) {
    m.st011 = St011{};
    necdsp_cartridge_power_on(m, NecDspModel::Upd96050);
}

// The chip's program starts again; its RAM keeps its contents.
void st011_reset(Machine& m) {
    m.st011.data = 0;
    necdsp_cartridge_reset(m);
}

int st011_port_peek(const Machine& m, uint8_t, uint16_t addr) { return (addr & 1) ? kSt011Status : m.st011.data; }

uint8_t st011_port_read(Machine& m, uint8_t bank, uint16_t addr) {
    const uint8_t v = uint8_t(st011_port_peek(m, bank, addr));
    m.timing.line_clock += 1;
    m.mem.open_bus = v;
    return v;
}

void st011_port_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    if (!(addr & 1)) m.st011.data = value;  // the status register is read-only
}

int st011_ram_peek(const Machine& m, uint8_t, uint16_t addr) { return m.st011.ram[addr & (kSt011RamSize - 1)]; }

uint8_t st011_ram_read(Machine& m, uint8_t, uint16_t addr) {
    const uint8_t v = m.st011.ram[addr & (kSt011RamSize - 1)];
    m.timing.line_clock += 1;
    m.mem.open_bus = v;
    return v;
}

void st011_ram_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    m.st011.ram[addr & (kSt011RamSize - 1)] = value;
}

template <class Io>
void st011_state_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.st011;
    io.u8(s.data);
    io.bytes(s.ram);
}

template void st011_state_io<StateWriter>(StateWriter&, const Machine&);
template void st011_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
