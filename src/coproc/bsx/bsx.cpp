#include "coproc/bsx/bsx.h"

#include "cart/cartridge_map.h"
#include "cart/sram_access.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr MemoryWindow kRegisterWindow{&bsx_register_read, &bsx_register_write, &bsx_register_peek};
constexpr MemoryWindow kBbusWindow{&bsx_bbus_read, &bsx_bbus_write, &bsx_bbus_peek};
constexpr MemoryWindow kPackWindow{&bsx_pack_read, &bsx_pack_write, &bsx_pack_peek};

// The B-bus registers that keep what is written: the two streams' channel
// numbers ($2188-$2189, $218E-$218F) and the receiver's control registers
// ($2194, $2197, $2199). The queue counts, data and status read 0: nothing
// arrives.
bool bbus_latched(int reg) {
    switch (reg) {
        case 0x08: case 0x09: case 0x0E: case 0x0F:
        case 0x14: case 0x17: case 0x19:
            return true;
        default:
            return false;
    }
}

// Register banks $00-$0F, battery RAM banks $10-$17 (both with and
// without bit 7).
bool register_bank(uint8_t bank) { return (bank & 0x70) == 0; }
bool ram_bank(uint8_t bank) { return (bank & 0x78) == 0x10; }
uint32_t ram_offset(uint8_t bank, uint16_t addr) { return uint32_t((bank & 7) << 12) | (addr & 0x0FFF); }

}  // namespace

const ChipStateChunk kBsxStateChunks[1] = {{"XBSX", kBsxStateSize, &bsx_state_io<StateWriter>, &bsx_state_io<StateReader>}};

void bsx_map(Machine& m) {
    install_loader_banks(m, 0x70, 0x77, 0, kPackWindow);
    install_loader_banks(m, 0x70, 0x77, 1, kPackWindow);
    install_loader_pages(m, 0x50, 0x5F, kRegisterWindow);
}

void bsx_base_map(Machine& m) {
    install_loader_banks(m, 0x70, 0x7F, 0, kPackWindow);
    install_loader_banks(m, 0x70, 0x7F, 1, kPackWindow);
    install_loader_pages(m, 0x50, 0x5F, kRegisterWindow);
    install_loader_banks(m, 0xC0, 0xC0, 0, kBsxBankC0Window);
    install_loader_banks(m, 0xC0, 0xC0, 1, kBsxBankC0Window);
}

// The receiver's registers replace the defaults at $2184-$219F.
void bsx_map_b_bus(Machine& m) {
    for (int a = 0x84; a <= 0x9F; a++) memory_install_io(m, uint8_t(a), kBbusWindow);
}

void bsx_power_on(Machine& m) { m.bsx = Bsx{}; }

// The console's reset line reaches the receiver and the pack; the base
// cartridge's registers keep their values.
void bsx_reset(Machine& m) {
    m.bsx.bbus.fill(0);
    m.bsx.flash_mode = BsxFlashMode::ReadArray;
    m.bsx.flash_status = kBsxFlashReady;
}

// --- base cartridge registers and RAM, pages $50-$5F

int bsx_register_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    if (register_bank(bank)) return m.bsx.regs[bank & 0x0F] & 0x80;
    if (ram_bank(bank)) return m.cart.bsx_ram[ram_offset(bank, addr)];
    return kNotReadable;
}

uint8_t bsx_register_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int v = bsx_register_peek(m, bank, addr);
    if (v < 0) return open_bus_read(m, bank, addr);
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

void bsx_register_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    if (register_bank(bank)) {
        m.bsx.regs[bank & 0x0F] = value & 0x80;
    } else if (ram_bank(bank)) {
        m.cart.bsx_ram[ram_offset(bank, addr)] = value;
    }
}

// --- receiver, $2184-$219F

int bsx_bbus_peek(const Machine& m, uint8_t, uint16_t addr) {
    const int reg = addr & 0x1F;
    if (reg < 0x08) return kNotReadable;  // $2184-$2187 are not the receiver's
    return bbus_latched(reg) ? m.bsx.bbus[size_t(reg)] : 0;
}

uint8_t bsx_bbus_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int v = bsx_bbus_peek(m, bank, addr);
    if (v < 0) return m.mem.open_bus;
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

void bsx_bbus_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    const int reg = addr & 0x1F;
    if (bbus_latched(reg)) m.bsx.bbus[size_t(reg)] = value;
}

// --- memory pack

uint32_t bsx_pack_offset(const Machine& m, uint32_t pack_address) {
    const uint32_t p = pack_address & (kBsxPackSize - 1);
    if (m.cart.hirom) return p;
    // LoROM images keep 32 KiB block n in the upper half of slot n.
    return (p >> 15) * 0x10000 + 0x8000 + (p & 0x7FFF);
}

namespace {

bool pack_present(const Machine& m) { return m.cart.coprocessor == kCoprocBsx; }

uint32_t pack_address(uint8_t bank, uint16_t addr) { return uint32_t((bank & 0x0F) << 16) | addr; }

// A pack byte as the flash holds it; LoROM images show each block in both
// halves of its slot, so a change goes to both.
void store_pack_byte(Machine& m, uint32_t address, uint8_t value) {
    const uint32_t offset = bsx_pack_offset(m, address);
    m.cart.rom[offset] = value;
    if (!m.cart.hirom) m.cart.rom[offset - 0x8000] = value;
}

void erase_pack(Machine& m, uint32_t first, uint32_t count) {
    for (uint32_t a = first; a < first + count; a++) store_pack_byte(m, a, 0xFF);
}

}  // namespace

int bsx_pack_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    if (!pack_present(m)) return kNotReadable;
    const Bsx& b = m.bsx;
    switch (b.flash_mode) {
        case BsxFlashMode::ReadArray:
            return m.cart.rom[bsx_pack_offset(m, pack_address(bank, addr))];
        case BsxFlashMode::Identifier:
            return (addr & 1) ? kBsxFlashDevice : kBsxFlashMaker;
        default:
            return b.flash_status;
    }
}

uint8_t bsx_pack_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int v = bsx_pack_peek(m, bank, addr);
    if (v < 0) return open_bus_read(m, bank, addr);
    m.timing.line_clock += 1;
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

void bsx_pack_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    if (!pack_present(m)) return;
    Bsx& b = m.bsx;
    const uint32_t address = pack_address(bank, addr);
    switch (b.flash_mode) {
        case BsxFlashMode::Program: {
            // Programming can only clear bits; the chip then shows its status.
            const uint32_t offset = bsx_pack_offset(m, address);
            store_pack_byte(m, address, m.cart.rom[offset] & value);
            if ((m.cart.rom[offset] & value) != value) b.flash_status |= kBsxFlashProgramError;
            b.flash_mode = BsxFlashMode::Status;
            return;
        }
        case BsxFlashMode::EraseSetup:
        case BsxFlashMode::ChipEraseSetup:
            if (value == 0xD0) {
                if (b.flash_mode == BsxFlashMode::ChipEraseSetup) {
                    erase_pack(m, 0, kBsxPackSize);
                } else {
                    erase_pack(m, (address & (kBsxPackSize - 1)) & ~(kBsxFlashBlock - 1), kBsxFlashBlock);
                }
            } else {
                b.flash_status |= kBsxFlashEraseError | kBsxFlashProgramError;  // a bad confirm byte
            }
            b.flash_mode = BsxFlashMode::Status;
            return;
        default:
            break;
    }
    switch (value) {
        case 0xFF: b.flash_mode = BsxFlashMode::ReadArray; break;
        case 0x70: case 0x71: b.flash_mode = BsxFlashMode::Status; break;
        case 0x50: b.flash_status = kBsxFlashReady; break;
        case 0x90: b.flash_mode = BsxFlashMode::Identifier; break;
        case 0x10: case 0x40: b.flash_mode = BsxFlashMode::Program; break;
        case 0x20: b.flash_mode = BsxFlashMode::EraseSetup; break;
        case 0xA7: b.flash_mode = BsxFlashMode::ChipEraseSetup; break;
        default: break;  // other bytes leave the mode as it is
    }
}

template <class Io>
void bsx_state_io(Io& io, IoMachine<Io>& m) {
    auto& b = m.bsx;
    io.bytes(b.regs);
    io.bytes(b.bbus);
    io.enum8(b.flash_mode, kBsxFlashModes, BsxFlashMode::ReadArray);
    io.u8(b.flash_status);
    if constexpr (Io::loading) {
        for (uint8_t& r : b.regs) r &= 0x80;
        b.flash_status |= kBsxFlashReady;  // every command finishes at once
    }
}

template void bsx_state_io<StateWriter>(StateWriter&, const Machine&);
template void bsx_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
