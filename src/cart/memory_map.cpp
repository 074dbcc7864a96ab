#include "cart/memory_map.h"

#include "audio/apu.h"
#include "core/machine.h"
#include "core/state_io.h"

namespace vt {

// ---------------------------------------------------------------------------
// Default handlers

uint8_t open_bus_read(Machine& m, uint8_t, uint16_t) {
    m.timing.line_clock += 1;
    return m.mem.open_bus;
}

void discard_write(Machine& m, uint8_t, uint16_t, uint8_t) { m.timing.line_clock += 1; }

int unreadable_peek(const Machine&, uint8_t, uint16_t) { return kNotReadable; }

uint8_t rom_read(Machine& m, uint8_t bank, uint16_t addr) {
    m.timing.line_clock += m.mem.rom_speed[bank];
    uint8_t v = m.mem.rom_lower[bank][addr];
    m.mem.open_bus = v;
    return v;
}

uint8_t rom_read_upper(Machine& m, uint8_t bank, uint16_t addr) {
    m.timing.line_clock += m.mem.rom_speed[bank];
    uint8_t v = m.mem.rom_upper[bank][addr];
    m.mem.open_bus = v;
    return v;
}

int rom_peek(const Machine& m, uint8_t bank, uint16_t addr) { return m.mem.rom_lower[bank][addr]; }
int rom_peek_upper(const Machine& m, uint8_t bank, uint16_t addr) { return m.mem.rom_upper[bank][addr]; }

// ---------------------------------------------------------------------------
// Work RAM. Every access negates the DMA lock byte (see MemoryMap).

static uint8_t wram_low_read(Machine& m, uint8_t, uint16_t addr) {
    MemoryMap& mem = m.mem;
    m.timing.line_clock += 1;
    mem.dma_active = uint8_t(-mem.dma_active);
    uint8_t v = mem.wram[addr & 0x1FFF];
    mem.open_bus = v;
    return v;
}

static void wram_low_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    MemoryMap& mem = m.mem;
    m.timing.line_clock += 1;
    mem.dma_active = uint8_t(-mem.dma_active);
    mem.wram[addr & 0x1FFF] = value;
}

static uint8_t wram_bank_read(Machine& m, uint8_t bank, uint16_t addr) {
    MemoryMap& mem = m.mem;
    m.timing.line_clock += 1;
    mem.dma_active = uint8_t(-mem.dma_active);
    uint8_t v = mem.wram[((bank & 1u) << 16) | addr];
    mem.open_bus = v;
    return v;
}

static void wram_bank_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    MemoryMap& mem = m.mem;
    m.timing.line_clock += 1;
    mem.dma_active = uint8_t(-mem.dma_active);
    mem.wram[((bank & 1u) << 16) | addr] = value;
}

static int wram_low_peek(const Machine& m, uint8_t, uint16_t addr) { return m.mem.wram[addr & 0x1FFF]; }

static int wram_bank_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    return m.mem.wram[((bank & 1u) << 16) | addr];
}

// ---------------------------------------------------------------------------
// Work RAM port $2180-$2183. While bit 7 of the lock is set (a DMA byte read
// from work RAM) the port refuses the access.

static uint8_t wram_port_read(Machine& m, uint8_t, uint16_t) {
    MemoryMap& mem = m.mem;
    if (mem.dma_active & 0x80) return mem.open_bus;
    uint8_t v = mem.wram[mem.wram_port & (kWramSize - 1)];
    mem.wram_port = (mem.wram_port + 1) & 0xFFFFFF;
    mem.open_bus = v;
    return v;
}

// The byte the port would give, without stepping its address.
static int wram_port_peek(const Machine& m, uint8_t, uint16_t) {
    return m.mem.wram[m.mem.wram_port & (kWramSize - 1)];
}

static void wram_port_write(Machine& m, uint8_t, uint16_t, uint8_t value) {
    MemoryMap& mem = m.mem;
    if (mem.dma_active & 0x80) return;
    mem.wram[mem.wram_port & (kWramSize - 1)] = value;
    mem.wram_port = (mem.wram_port + 1) & 0xFFFFFF;
}

static void wram_port_address_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    MemoryMap& mem = m.mem;
    if (mem.dma_active & 0x80) return;
    int shift = 8 * ((addr & 0xFF) - 0x81);
    mem.wram_port = (mem.wram_port & ~(0xFFu << shift)) | (uint32_t(value) << shift);
}

// ---------------------------------------------------------------------------
// $21xx. The B bus is I/O: its empty addresses return the open-bus byte
// without the slow-memory surcharge.

uint8_t io_open_bus_read(Machine& m, uint8_t, uint16_t) { return m.mem.open_bus; }
void io_ignore_write(Machine&, uint8_t, uint16_t, uint8_t) {}

uint8_t io_page_read(Machine& m, uint8_t bank, uint16_t addr) {
    return m.mem.io_read[addr & 0xFF](m, bank, addr);
}

void io_page_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    m.mem.io_write[addr & 0xFF](m, bank, addr, value);
}

int io_page_peek(const Machine& m, uint8_t bank, uint16_t addr) { return m.mem.io_peek[addr & 0xFF](m, bank, addr); }

void memory_install_io(Machine& m, uint8_t low, const MemoryWindow& w) {
    m.mem.io_read[low] = w.read;
    m.mem.io_write[low] = w.write;
    m.mem.io_peek[low] = w.peek;
}

void memory_reset_io_tables(Machine& m) {
    for (int a = 0; a < 256; a++) memory_install_io(m, uint8_t(a), {&io_open_bus_read, &io_ignore_write, &unreadable_peek});
    for (int a = 0x40; a <= 0x7F; a++) {
        memory_install_io(m, uint8_t(a), {&apu_port_read, &apu_port_write, &apu_port_peek});
    }
    memory_install_io(m, 0x80, {&wram_port_read, &wram_port_write, &wram_port_peek});
    for (int a = 0x81; a <= 0x83; a++) {
        memory_install_io(m, uint8_t(a), {&io_open_bus_read, &wram_port_address_write, &unreadable_peek});
    }
}

void memory_install_io_page(Machine& m) { memory_install_page(m, 0x21, {&io_page_read, &io_page_write, &io_page_peek}); }

// ---------------------------------------------------------------------------
// Pages $60-$7F of the loader view: a second dispatch on the bank's high
// nibble.

static uint8_t loader_sub_read(Machine& m, uint8_t bank, uint16_t addr) {
    return m.mem.loader_read_sub[(bank & 0xF0) >> 2](m, bank, addr);
}

static void loader_sub_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    m.mem.loader_write_sub[(bank & 0xF0) >> 2](m, bank, addr, value);
}

static int loader_sub_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    return m.mem.loader_peek_sub[(bank & 0xF0) >> 2](m, bank, addr);
}

// ---------------------------------------------------------------------------
// Table construction

void memory_reset_loader_tables(Machine& m) {
    MemoryMap& mem = m.mem;
    HandlerTables& t = mem.loader;
    t.read_page.fill(&open_bus_read);
    t.write_page.fill(&discard_write);
    t.peek_page.fill(&unreadable_peek);
    t.read_bank.fill(&open_bus_read);
    t.write_bank.fill(&discard_write);
    t.peek_bank.fill(&unreadable_peek);
    mem.loader_read_sub.fill(&open_bus_read);
    mem.loader_write_sub.fill(&discard_write);
    mem.loader_peek_sub.fill(&unreadable_peek);
    const uint8_t* rom = m.cart.rom.data();
    for (int bank = 0; bank < 256; bank++) {
        mem.rom_lower[bank] = rom + (bank & 0x7F) * kRomSlotSize;
        mem.rom_upper[bank] = mem.rom_lower[bank];
    }
    for (int bank = 0; bank < 256; bank++) mem.rom_speed[bank] = 1;
}

static void install_bank_in(HandlerTables& t, int bank, int half, const MemoryWindow& w) {
    int i = (half ? 256 : 0) + (bank & 0xFF);
    t.read_bank[i] = w.read;
    t.write_bank[i] = w.write;
    t.peek_bank[i] = w.peek;
}

void memory_install_loader_bank(Machine& m, int bank, int half, const MemoryWindow& w) {
    install_bank_in(m.mem.loader, bank, half, w);
}

void memory_install_loader_page(Machine& m, int page, const MemoryWindow& w) {
    m.mem.loader.read_page[page & 0x7F] = w.read;
    m.mem.loader.write_page[page & 0xFF] = w.write;
    m.mem.loader.peek_page[page & 0x7F] = w.peek;
}

void memory_install_loader_sub(Machine& m, int bank_nibble, const MemoryWindow& w) {
    for (int page = 0x60; page <= 0x7F; page++) {
        memory_install_loader_page(m, page, {&loader_sub_read, &loader_sub_write, &loader_sub_peek});
    }
    m.mem.loader_read_sub[(bank_nibble & 0xF) * 4] = w.read;
    m.mem.loader_write_sub[(bank_nibble & 0xF) * 4] = w.write;
    m.mem.loader_peek_sub[(bank_nibble & 0xF) * 4] = w.peek;
}

// One read or write entry of the CPU tables: an entry holding the
// debugger's watching handler keeps it, and the handler goes behind it.
template <class Handler, size_t N>
static void put_cpu_entry(std::array<Handler, N>& live, std::array<Handler, N>& behind, size_t i, Handler handler,
                          Handler watch) {
    if (watch != nullptr && live[i] == watch) behind[i] = handler;
    else live[i] = handler;
}

static void install_cpu_bank(MemoryMap& mem, size_t i, ReadHandler read, WriteHandler write, PeekHandler peek) {
    put_cpu_entry(mem.cpu.read_bank, mem.behind_watch.read_bank, i, read, mem.watch_read);
    put_cpu_entry(mem.cpu.write_bank, mem.behind_watch.write_bank, i, write, mem.watch_write);
    mem.cpu.peek_bank[i] = peek;
}

static void install_cpu_page(MemoryMap& mem, size_t page, ReadHandler read, WriteHandler write, PeekHandler peek) {
    put_cpu_entry(mem.cpu.read_page, mem.behind_watch.read_page, page, read, mem.watch_read);
    put_cpu_entry(mem.cpu.write_page, mem.behind_watch.write_page, page, write, mem.watch_write);
    mem.cpu.peek_page[page] = peek;
}

void memory_copy_loader_to_cpu(Machine& m) {
    MemoryMap& mem = m.mem;
    for (size_t i = 0; i < 512; i++) {
        install_cpu_bank(mem, i, mem.loader.read_bank[i], mem.loader.write_bank[i], mem.loader.peek_bank[i]);
    }
    for (size_t i = 0; i < 128; i++) {
        install_cpu_page(mem, i, mem.loader.read_page[i], mem.loader.write_page[i], mem.loader.peek_page[i]);
    }
}

void memory_install_page(Machine& m, int page, const MemoryWindow& w) {
    install_cpu_page(m.mem, size_t(page & 0x7F), w.read, w.write, w.peek);
}

void memory_install_bank(Machine& m, int bank, int half, const MemoryWindow& w) {
    install_cpu_bank(m.mem, size_t((half ? 256 : 0) + (bank & 0xFF)), w.read, w.write, w.peek);
}

void memory_init_wram(Machine& m, uint8_t fill) {
    MemoryMap& mem = m.mem;
    mem.wram.fill(fill);
    mem.wram_port = 0;
    mem.dma_active = 0;
    for (int page = 0x00; page <= 0x1F; page++) memory_install_page(m, page, {&wram_low_read, &wram_low_write, &wram_low_peek});
    for (int bank = 0x7E; bank <= 0x7F; bank++) {
        memory_install_bank(m, bank, 0, {&wram_bank_read, &wram_bank_write, &wram_bank_peek});
        memory_install_bank(m, bank, 1, {&wram_bank_read, &wram_bank_write, &wram_bank_peek});
    }
}

void memory_set_fast_rom(Machine& m, bool fast) {
    for (int bank = 0x80; bank <= 0xFF; bank++) m.mem.rom_speed[bank] = fast ? 0 : 1;
}

template <class Io>
void wram_state_io(Io& io, IoMachine<Io>& m) {
    io.u24(m.mem.wram_port);
    io.bytes(m.mem.wram);
}

template void wram_state_io(StateWriter&, const Machine&);
template void wram_state_io(StateReader&, Machine&);

void memory_save_wram(const Machine& m, uint8_t* out) {
    StateWriter w{out};
    wram_state_io(w, m);
}

void memory_load_wram(Machine& m, const uint8_t* in) {
    StateReader r{in};
    wram_state_io(r, m);
}

}  // namespace vt
