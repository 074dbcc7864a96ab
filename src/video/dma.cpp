// DMA and HDMA. A general DMA is a resumable transfer that the driver steps
// one unit at a time in place of CPU steps; HDMA runs one pass at the
// H-blank of each line. The transfer routine of a channel is picked once
// from a table indexed by its control byte, so the per-byte path makes no
// mode tests.
#include "video/dma.h"

#include <algorithm>
#include <utility>

#include "cart/bus.h"
#include "cart/memory_map.h"
#include "coproc/chips.h"
#include "core/state_io.h"
#include "core/machine.h"

namespace vt {

namespace {

// B-bus offsets written (or read) by one unit of each transfer mode.
constexpr int kUnitLength[8] = {1, 2, 2, 4, 4, 2, 2, 4};
constexpr uint8_t kUnitPattern[8][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 1, 1},
                                        {0, 1, 2, 3}, {0, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 1, 1}};

// Every byte moved, every HDMA table byte read, every channel served and
// the start of a transfer: 8 master clocks.
constexpr int32_t kByteUnits = 4;
// Each line's HDMA pass (and the one at frame start) begins with 18
// master clocks of its own.
constexpr int32_t kHdmaPassUnits = 9;

uint8_t* channel_record(Machine& m, int n) { return &m.dma.regs[size_t(n) * 16]; }

// A-bus accesses go through the CPU's memory map, but the transfer charges
// its own time instead of the memory's.
uint8_t a_bus_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int32_t clock = m.timing.line_clock;
    const uint8_t v = bus_read(m, bank, addr);
    m.timing.line_clock = clock;
    return v;
}

void a_bus_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t v) {
    const int32_t clock = m.timing.line_clock;
    bus_write(m, bank, addr, v);
    m.timing.line_clock = clock;
}

// B-bus addresses wrap within $2100-$21FF.
uint8_t b_bus_read(Machine& m, uint8_t b) { return m.mem.io_read[b](m, 0x00, uint16_t(0x2100 | b)); }
void b_bus_write(Machine& m, uint8_t b, uint8_t v) { m.mem.io_write[b](m, 0x00, uint16_t(0x2100 | b), v); }

// ---------------------------------------------------------------------------
// General DMA

// One unit of a channel; stops early when the count runs out.
template <int Mode, int Step, bool BToA>
void dma_unit(Machine& m) {
    Dma& d = m.dma;
    for (int i = 0; i < kUnitLength[Mode]; i++) {
        const uint8_t b = uint8_t(d.b_address + kUnitPattern[Mode][i]);
        if constexpr (BToA) {
            const uint8_t v = b_bus_read(m, b);
            m.timing.line_clock += kByteUnits;
            m.mem.dma_active = 1;  // work RAM marks it, locking the $2180 port
            a_bus_write(m, d.a_bank, d.a_address, v);
        } else {
            m.mem.dma_active = 1;
            const uint8_t v = a_bus_read(m, d.a_bank, d.a_address);
            m.timing.line_clock += kByteUnits;
            b_bus_write(m, b, v);
        }
        d.a_address = uint16_t(d.a_address + Step);
        if (--d.count == 0) return;
    }
}

// Control byte: bits 0-2 mode, bit 3 fixed A address (wins over bit 4),
// bit 4 decrement, bit 7 B to A; bits 5-6 play no part.
template <size_t Control>
constexpr DmaUnit dma_unit_for() {
    constexpr int step = (Control & 0x08) ? 0 : (Control & 0x10) ? -1 : 1;
    return &dma_unit<int(Control & 7), step, (Control & 0x80) != 0>;
}

template <size_t... C>
constexpr std::array<DmaUnit, 256> make_dma_units(std::index_sequence<C...>) {
    return {dma_unit_for<C>()...};
}

constexpr std::array<DmaUnit, 256> kDmaUnits = make_dma_units(std::make_index_sequence<256>{});

// Moves on to the next enabled channel after the current one; false when
// none is left.
bool start_next_channel(Machine& m) {
    Dma& d = m.dma;
    for (int n = d.channel + 1; n < 8; n++) {
        if (!(m.sysregs.mdmaen & (1 << n))) continue;
        const uint8_t* c = channel_record(m, n);
        m.timing.line_clock += kByteUnits;  // the channel's set-up
        d.channel = n;
        d.unit = kDmaUnits[c[kDmaControl]];
        d.a_address = get_le16(c + kDmaAAddress);
        d.a_bank = c[kDmaABank];
        d.count = get_le16(c + kDmaCount);  // 0 moves 65,536 bytes
        d.b_address = c[kDmaBAddress];
        if (const auto start = chip_for(m.cart.coprocessor).dma_channel_start) {
            start(m, n, d.a_bank, d.a_address, d.count ? d.count : 0x10000u);
        }
        return true;
    }
    d.channel = 8;
    return false;
}

// The channel record follows the transfer unit by unit. The CPU is stalled
// and cannot see it, but a state saved between two slices then holds where
// the transfer stands, and the restart after loading resumes it.
void write_back_progress(Machine& m) {
    Dma& d = m.dma;
    uint8_t* c = channel_record(m, d.channel);
    put_le16(c + kDmaAAddress, d.a_address);
    put_le16(c + kDmaCount, d.count);
}

void finish_channel(Machine& m) {
    Dma& d = m.dma;
    uint8_t* c = channel_record(m, d.channel);
    m.mem.dma_active = 0;
    put_le16(c + kDmaAAddress, d.a_address);
    c[kDmaABank] = d.a_bank;
    put_le16(c + kDmaCount, 0);
    // A finished channel leaves the enable mask, so a restart does not
    // repeat it (its count of 0 would move 65,536 bytes).
    m.sysregs.mdmaen &= uint8_t(~(1u << d.channel));
    if (const auto end = chip_for(m.cart.coprocessor).dma_channel_end) {
        end(m, d.channel, (m.sysregs.mdmaen >> d.channel) == 0);
    }
}

// While a DMA runs, A-bus addresses in $21xx and $43xx reach no register:
// reads return the open bus and writes are lost.
void take_register_pages(Machine& m) {
    memory_install_page(m, 0x21, kOpenBusWindow);
    memory_install_page(m, 0x43, kOpenBusWindow);
}

void restore_register_pages(Machine& m) {
    memory_install_io_page(m);
    memory_install_page(m, 0x43, {&dma_register_read, &dma_register_write, &dma_register_peek});
}

void finish_transfer(Machine& m) {
    Dma& d = m.dma;
    m.sysregs.mdmaen = 0;
    restore_register_pages(m);
    d.running = false;
    d.channel = -1;
    d.unit = nullptr;
}

// ---------------------------------------------------------------------------
// HDMA

using HdmaUnit = void (*)(Machine&, uint8_t* channel);

// One unit of a channel: from its table (direct) or from the data address
// its table entry gave (indirect), to the B bus, or from the B bus into
// memory when the direction bit is set.
template <int Mode, bool Indirect, bool BToA>
void hdma_unit(Machine& m, uint8_t* c) {
    const int address_at = Indirect ? kDmaCount : kDmaTableAddress;
    const uint8_t bank = c[Indirect ? kDmaIndirectBank : kDmaABank];
    uint16_t address = get_le16(c + address_at);
    for (int i = 0; i < kUnitLength[Mode]; i++) {
        const uint8_t b = uint8_t(c[kDmaBAddress] + kUnitPattern[Mode][i]);
        if constexpr (BToA) {
            const uint8_t v = b_bus_read(m, b);
            m.timing.line_clock += kByteUnits;
            a_bus_write(m, bank, address++, v);
        } else {
            const uint8_t v = a_bus_read(m, bank, address++);
            m.timing.line_clock += kByteUnits;
            b_bus_write(m, b, v);
        }
    }
    put_le16(c + address_at, address);
}

// Control byte: bits 0-2 mode (5-7 repeat the units of 1-3), bit 6
// indirect, bit 7 B to A; bits 3-5 play no part.
template <size_t Control>
constexpr HdmaUnit hdma_unit_for() {
    return &hdma_unit<int(Control & 7), (Control & 0x40) != 0, (Control & 0x80) != 0>;
}

template <size_t... C>
constexpr std::array<HdmaUnit, 256> make_hdma_units(std::index_sequence<C...>) {
    return {hdma_unit_for<C>()...};
}

constexpr std::array<HdmaUnit, 256> kHdmaUnits = make_hdma_units(std::make_index_sequence<256>{});

// Reads the channel's next table entry: the line count and, for an
// indirect table, the data address. A count of 0 ends the channel for the
// rest of the frame; any other count transfers at the next H-blank.
void hdma_load_entry(Machine& m, int n) {
    Dma& d = m.dma;
    uint8_t* c = channel_record(m, n);
    const uint8_t bit = uint8_t(1 << n);
    uint16_t table = get_le16(c + kDmaTableAddress);
    m.timing.line_clock += kByteUnits;
    c[kDmaLineCounter] = a_bus_read(m, c[kDmaABank], table++);
    if (c[kDmaLineCounter] == 0) {
        d.hdma_ended |= bit;
        d.hdma_do_transfer &= uint8_t(~bit);
        m.timing.hdma_active &= uint8_t(~bit);
    } else {
        d.hdma_do_transfer |= bit;
        if (c[kDmaControl] & 0x40) {
            m.timing.line_clock += 2 * kByteUnits;
            c[kDmaCount] = a_bus_read(m, c[kDmaABank], table++);
            c[kDmaCount + 1] = a_bus_read(m, c[kDmaABank], table++);
        }
    }
    put_le16(c + kDmaTableAddress, table);
}

}  // namespace

void dma_step(Machine& m) {
    Dma& d = m.dma;
    if (!d.running) {
        take_register_pages(m);
        d.running = true;
        d.channel = -1;
        // The transfer waits for the next 8-clock boundary, then sets up.
        Timing& t = m.timing;
        t.line_clock = ((t.line_clock + kByteUnits - 1) & ~(kByteUnits - 1)) + kByteUnits;
        if (!start_next_channel(m)) {
            finish_transfer(m);
            return;
        }
    }
    d.unit(m);
    if (d.count != 0) {
        write_back_progress(m);
        return;
    }
    finish_channel(m);
    if (!start_next_channel(m)) finish_transfer(m);
}

void hdma_frame_start(Machine& m) {
    Dma& d = m.dma;
    Timing& t = m.timing;
    d.hdma_do_transfer = 0;
    d.hdma_ended = 0;
    const uint8_t enabled = m.sysregs.hdmaen;
    t.hdma_active = enabled;
    if (!enabled) return;
    t.line_clock += kHdmaPassUnits;
    for (int n = 0; n < 8; n++) {
        if (!(enabled & (1 << n))) continue;
        uint8_t* c = channel_record(m, n);
        t.line_clock += kByteUnits;
        c[kDmaTableAddress] = c[kDmaAAddress];
        c[kDmaTableAddress + 1] = c[kDmaAAddress + 1];
        c[kDmaLineCounter] = 0;
        hdma_load_entry(m, n);
    }
}

// Each active channel transfers a unit if its entry asks for one, counts
// the line, and reads its next entry when the count runs out: so an entry
// n in 1-127 transfers once and then waits n - 1 lines, 0x81-0xFF
// transfers on each of (n & 0x7F) lines, 0x80 transfers once and waits 127
// lines, and 0 ends the channel.
void hdma_line(Machine& m) {
    Dma& d = m.dma;
    Timing& t = m.timing;
    t.line_clock += kHdmaPassUnits;
    for (int n = 0; n < 8; n++) {
        const uint8_t bit = uint8_t(1 << n);
        if (!(t.hdma_active & bit)) continue;
        uint8_t* c = channel_record(m, n);
        t.line_clock += kByteUnits;
        if (d.hdma_do_transfer & bit) kHdmaUnits[c[kDmaControl]](m, c);
        c[kDmaLineCounter]--;
        if (c[kDmaLineCounter] & 0x80) {
            d.hdma_do_transfer |= bit;  // a repeating entry
        } else {
            d.hdma_do_transfer &= uint8_t(~bit);
        }
        if ((c[kDmaLineCounter] & 0x7F) == 0) hdma_load_entry(m, n);
    }
}

// ---------------------------------------------------------------------------
// $4300-$437F

int dma_register_peek(const Machine& m, uint8_t, uint16_t addr) {
    const int n = (addr >> 4) & 0x0F;
    const int r = addr & 0x0F;
    if (n >= 8 || (r >= 0x0C && r <= 0x0E)) return kNotReadable;
    return m.dma.regs[size_t(n) * 16 + (r == 0x0F ? kDmaSpare : r)];
}

uint8_t dma_register_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int v = dma_register_peek(m, bank, addr);
    if (v == kNotReadable) return open_bus_read(m, bank, addr);
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

void dma_register_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    const int n = (addr >> 4) & 0x0F;
    const int r = addr & 0x0F;
    if (n >= 8) {
        discard_write(m, bank, addr, value);
        return;
    }
    if (r >= 0x0C && r <= 0x0E) return;
    m.dma.regs[size_t(n) * 16 + (r == 0x0F ? kDmaSpare : r)] = value;
}

// ---------------------------------------------------------------------------
// Lifecycle and save state

void dma_refresh(Machine& m) {
    Dma& d = m.dma;
    d.running = false;
    d.channel = -1;
    d.unit = nullptr;
    d.hdma_do_transfer = 0;
    d.hdma_ended = 0;
    restore_register_pages(m);
}

void dma_power_on(Machine& m) {
    m.dma.regs.fill(0xFF);
    dma_refresh(m);
}

void dma_reset(Machine& m) { dma_power_on(m); }

template <class Io>
void dma_state_io(Io& io, IoMachine<Io>& m) {
    io.bytes(m.dma.regs);
    if constexpr (Io::loading) dma_refresh(m);
}

template void dma_state_io(StateWriter&, const Machine&);
template void dma_state_io(StateReader&, Machine&);

void dma_save_state(const Machine& m, uint8_t* out) {
    StateWriter w{out};
    dma_state_io(w, m);
}

void dma_load_state(Machine& m, const uint8_t* in) {
    StateReader r{in};
    dma_state_io(r, m);
}

}  // namespace vt
