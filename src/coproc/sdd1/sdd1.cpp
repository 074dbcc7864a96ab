#include "coproc/sdd1/sdd1.h"

#include <algorithm>
#include <cstdint>

#include "cart/cartridge_map.h"
#include "cart/rom_layout.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint32_t kMiB = 0x100000;
constexpr int kChannelEnable = 1;
constexpr int kFirstBlockRegister = 4;  // $4804-$4807: banks $40/$C0, $50/$D0, $60/$E0, $70/$F0

// The 16 banks of a group (and their mirrors 128 banks up) see the 16
// slots of the 1 MiB block the group's register names.
void point_block(Machine& m, int group) {
    const uint32_t block = m.sdd1.regs[size_t(kFirstBlockRegister + group)] & m.sdd1.block_mask;
    const uint8_t* base = m.cart.rom.data() + size_t(block) * kMiB;
    for (int i = 0; i < 16; i++) {
        const int bank = 0x40 + group * 16 + i;
        const uint8_t* p = base + size_t(i) * kRomSlotSize;
        for (int b : {bank, bank + 0x80}) {
            m.mem.rom_lower[size_t(b)] = p;
            m.mem.rom_upper[size_t(b)] = p;
        }
    }
}

void reset_registers(Machine& m) {
    Sdd1& s = m.sdd1;
    s.regs[0] = 0;
    s.regs[kChannelEnable] = 0;
    for (int group = 0; group < 4; group++) sdd1_register_write(m, 0x00, uint16_t(0x4804 + group), uint8_t(group));
    s.active = false;
    s.read_position = 0;
}

constexpr MemoryWindow kRegisterWindow{&sdd1_register_read, &sdd1_register_write, &sdd1_register_peek};
constexpr MemoryWindow kDataPortWindow{&sdd1_data_port_read, &discard_write, &sdd1_data_port_peek};

void save_chunk(StateWriter& out, const Machine& m) { sdd1_state_io(out, m); }
void load_chunk(StateReader& in, Machine& m) { sdd1_state_io(in, m); }

}  // namespace

const ChipStateChunk kSdd1StateChunks[1] = {{"XSDD", kSdd1StateSize, &save_chunk, &load_chunk}};

uint8_t sdd1_register_read(Machine& m, uint8_t, uint16_t addr) {
    const uint8_t v = m.sdd1.regs[addr & 7];
    m.mem.open_bus = v;
    return v;
}

int sdd1_register_peek(const Machine& m, uint8_t, uint16_t addr) { return m.sdd1.regs[addr & 7]; }

void sdd1_register_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    const int r = addr & 7;
    m.sdd1.regs[size_t(r)] = value;
    if (r >= kFirstBlockRegister) point_block(m, r - kFirstBlockRegister);
}

uint8_t sdd1_data_port_read(Machine& m, uint8_t bank, uint16_t addr) {
    Sdd1& s = m.sdd1;
    if (!s.active) return rom_read(m, bank, addr);
    m.timing.line_clock += m.mem.rom_speed[bank];
    const uint8_t v = s.buffer[s.read_position++];
    m.mem.open_bus = v;
    return v;
}

int sdd1_data_port_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    const Sdd1& s = m.sdd1;
    return s.active ? s.buffer[s.read_position] : rom_peek(m, bank, addr);
}

void sdd1_dma_channel_start(Machine& m, int channel, uint8_t bank, uint16_t addr, uint32_t count) {
    Sdd1& s = m.sdd1;
    if (!(s.regs[kChannelEnable] & (1 << channel))) return;
    // A state saved in the middle of a decompressing channel resumes with
    // its buffer as it was.
    if (s.active) return;
    // The stream's place in the ROM buffer, through the bank's pointer; an
    // address outside the buffer reads zeros.
    const std::vector<uint8_t>& rom = m.cart.rom;
    const int64_t base = int64_t(reinterpret_cast<uintptr_t>(m.mem.rom_lower[bank]) -
                                 reinterpret_cast<uintptr_t>(rom.data()));
    const int64_t start = base + int64_t(addr);
    const size_t from = start < 0 ? rom.size() : size_t(start);
    sdd1_decompress(rom, from, count, s.buffer);
    s.read_position = 0;
    s.active = true;
}

void sdd1_dma_channel_end(Machine& m, int, bool last) {
    Sdd1& s = m.sdd1;
    s.active = false;
    if (last) s.regs[kChannelEnable] = 0;
}

void sdd1_map(Machine& m) {
    // Banks $00-$3F and $80-$BF see the 32 KiB windows of the first 2 MiB.
    const uint8_t* rom = m.cart.rom.data();
    for (int bank = 0; bank < 256; bank++) {
        if (bank & 0x40) continue;
        const uint8_t* p = upper_half_pointer(rom + size_t(bank & 0x3F) * kBlockSize);
        m.mem.rom_lower[size_t(bank)] = p;
        m.mem.rom_upper[size_t(bank)] = p;
    }
    for (int group = 0; group < 4; group++) point_block(m, group);
    // Every ROM window goes through the data port.
    HandlerTables& t = m.mem.loader;
    for (size_t i = 0; i < t.read_bank.size(); i++) {
        if (t.read_bank[i] != &rom_read) continue;
        t.read_bank[i] = kDataPortWindow.read;
        t.peek_bank[i] = kDataPortWindow.peek;
    }
    install_loader_pages(m, 0x48, 0x48, kRegisterWindow);
}

void sdd1_power_on(Machine& m) {
    Sdd1& s = m.sdd1;
    s.regs.fill(0);
    s.buffer.fill(0);
    const uint32_t image = std::min<uint32_t>(m.cart.image_size, kRomSlotCount * kRomSlotSize);
    uint32_t blocks = 1;
    while (blocks * kMiB < image) blocks *= 2;
    s.block_mask = uint8_t(blocks - 1);
    reset_registers(m);
}

void sdd1_reset(Machine& m) { reset_registers(m); }

DebugRegisters sdd1_debug_registers(const Machine& m) {
    const Sdd1& s = m.sdd1;
    DebugRegisters r;
    r.add("DMAEN", 8, s.regs[kChannelEnable]);
    r.add("BANK40", 8, s.regs[4]);
    r.add("BANK50", 8, s.regs[5]);
    r.add("BANK60", 8, s.regs[6]);
    r.add("BANK70", 8, s.regs[7]);
    r.add("ACTIVE", 1, s.active);
    r.add("READPOS", 16, s.read_position);
    return r;
}

template <class Io>
void sdd1_state_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.sdd1;
    io.bytes(s.regs);
    io.bytes(s.buffer);
    io.u16(s.read_position);
    uint8_t active = s.active;
    io.u8(active);
    if constexpr (Io::loading) {
        s.active = active & 1;
        for (int group = 0; group < 4; group++) point_block(m, group);
    }
}

template void sdd1_state_io(StateWriter&, const Machine&);
template void sdd1_state_io(StateReader&, Machine&);

}  // namespace vt
