#include "debug/watchpoints.h"

#include <algorithm>
#include <cstdio>

#include "cart/memory_map.h"
#include "core/driver.h"
#include "core/machine.h"

namespace vt {

namespace {

uint32_t attributes_at(const Debugger& d, uint8_t bank, uint16_t addr) {
    const uint32_t key = watch_key((uint32_t(bank) << 16) | addr);
    const auto it = std::lower_bound(d.watched.begin(), d.watched.end(), key,
                                     [](const WatchedAddress& w, uint32_t k) { return w.key < k; });
    return it != d.watched.end() && it->key == key ? it->attributes : 0;
}

void log_access(Machine& m, bool write, uint8_t bank, uint16_t addr, uint8_t value) {
    if (!m.debug.watch_log) return;
    const std::string line =
        watch_log_line(write, (uint32_t(bank) << 16) | addr, value, m.debug.step_address) + "\r\n";
    m.debug.watch_log(m.debug.watch_log_user, line.data(), line.size());
}

void stop_for(Machine& m, DebugHitKind kind, uint8_t bank, uint16_t addr, uint8_t value) {
    m.debug.hit = {.kind = kind,
                   .address = (uint32_t(bank) << 16) | addr,
                   .instruction = m.debug.step_address,
                   .value = value};
    driver_request_stop(m);
}

// The watching handlers: the real handler first, so the access happens
// exactly as without the watch; then the look-up.
uint8_t watching_read(Machine& m, uint8_t bank, uint16_t addr) {
    const uint8_t value = read_entry(m.mem.behind_watch, bank, addr)(m, bank, addr);
    if (const uint32_t a = attributes_at(m.debug, bank, addr)) {
        if (a & kWatchTrace) log_access(m, false, bank, addr, value);
        if (a & kWatchRead) stop_for(m, DebugHitKind::WatchRead, bank, addr, value);
    }
    return value;
}

void watching_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    write_entry(m.mem.behind_watch, bank, addr)(m, bank, addr, value);
    if (const uint32_t a = attributes_at(m.debug, bank, addr)) {
        if (a & kWatchTrace) log_access(m, true, bank, addr, value);
        if (a & kWatchWrite) stop_for(m, DebugHitKind::WatchWrite, bank, addr, value);
    }
}

// Table entries: pages 0-127, bank halves 128 + (0-511).
constexpr int kBankEntries = 128;

void wrap_entry(MemoryMap& mem, int entry) {
    HandlerTables& live = mem.cpu;
    HandlerTables& behind = mem.behind_watch;
    if (entry < kBankEntries) {
        if (live.read_page[size_t(entry)] != &watching_read) {
            behind.read_page[size_t(entry)] = live.read_page[size_t(entry)];
            live.read_page[size_t(entry)] = &watching_read;
        }
        if (live.write_page[size_t(entry)] != &watching_write) {
            behind.write_page[size_t(entry)] = live.write_page[size_t(entry)];
            live.write_page[size_t(entry)] = &watching_write;
        }
        return;
    }
    const size_t i = size_t(entry - kBankEntries);
    if (live.read_bank[i] != &watching_read) {
        behind.read_bank[i] = live.read_bank[i];
        live.read_bank[i] = &watching_read;
    }
    if (live.write_bank[i] != &watching_write) {
        behind.write_bank[i] = live.write_bank[i];
        live.write_bank[i] = &watching_write;
    }
}

void unwrap_all(MemoryMap& mem) {
    HandlerTables& live = mem.cpu;
    const HandlerTables& behind = mem.behind_watch;
    for (size_t i = 0; i < live.read_page.size(); i++) {
        if (live.read_page[i] == &watching_read) live.read_page[i] = behind.read_page[i];
        if (live.write_page[i] == &watching_write) live.write_page[i] = behind.write_page[i];
    }
    for (size_t i = 0; i < live.read_bank.size(); i++) {
        if (live.read_bank[i] == &watching_read) live.read_bank[i] = behind.read_bank[i];
        if (live.write_bank[i] == &watching_write) live.write_bank[i] = behind.write_bank[i];
    }
}

// The table entry an access to (bank, addr) goes through, as read_entry
// chooses it.
int entry_of(uint8_t bank, uint16_t addr) {
    if (addr & 0x8000) return kBankEntries + 256 + bank;
    if (bank & 0x40) return kBankEntries + bank;
    return addr >> 8;
}

// Every entry through which an access reaches the watched key.
void wrap_key(MemoryMap& mem, uint32_t key) {
    const uint8_t bank = uint8_t(key >> 16);
    const uint16_t addr = uint16_t(key);
    wrap_entry(mem, entry_of(bank, addr));
    if (bank == 0x7E && addr < 0x2000) wrap_entry(mem, addr >> 8);  // low work RAM in the system banks
}

}  // namespace

uint32_t watch_key(uint32_t address) {
    const uint8_t bank = uint8_t(address >> 16);
    const uint16_t addr = uint16_t(address);
    if (!(bank & 0x40) && addr < 0x8000) {
        if (addr < 0x2000) return 0x7E0000 | addr;  // low work RAM
        if (addr < 0x6000) return addr;             // I/O registers, as in bank $00
    }
    return address & 0xFFFFFF;
}

uint32_t watch_find(const Debugger& d, uint32_t address) {
    for (uint32_t e : d.watches) {
        if ((e & 0xFFFFFF) == (address & 0xFFFFFF)) return e & kWatchAttributes;
    }
    return 0;
}

bool watch_set(Machine& m, uint32_t address, uint32_t attributes) {
    std::vector<uint32_t>& list = m.debug.watches;
    const uint32_t entry = (address & 0xFFFFFF) | (attributes & kWatchAttributes);
    auto it = std::find_if(list.begin(), list.end(), [&](uint32_t e) { return (e & 0xFFFFFF) == (address & 0xFFFFFF); });
    if (it != list.end()) {
        *it = entry;
    } else {
        if (list.size() >= kMaxWatches) return false;
        list.push_back(entry);
    }
    watch_install(m);
    return true;
}

void watch_remove(Machine& m, uint32_t address) {
    std::erase_if(m.debug.watches, [&](uint32_t e) { return (e & 0xFFFFFF) == (address & 0xFFFFFF); });
    watch_install(m);
}

void watch_clear(Machine& m) {
    m.debug.watches.clear();
    watch_install(m);
}

void watch_install(Machine& m) {
    Debugger& d = m.debug;
    MemoryMap& mem = m.mem;
    unwrap_all(mem);
    d.watched.clear();
    for (uint32_t e : d.watches) {
        if (!(e & kWatchAttributes)) continue;
        const uint32_t key = watch_key(e);
        auto it = std::find_if(d.watched.begin(), d.watched.end(), [key](const WatchedAddress& w) { return w.key == key; });
        if (it != d.watched.end()) it->attributes |= e & kWatchAttributes;
        else d.watched.push_back({key, e & kWatchAttributes});
    }
    std::sort(d.watched.begin(), d.watched.end(), [](const WatchedAddress& a, const WatchedAddress& b) { return a.key < b.key; });
    d.watching = !d.watched.empty();
    if (!d.watching) {
        mem.watch_read = nullptr;
        mem.watch_write = nullptr;
        return;
    }
    mem.watch_read = &watching_read;
    mem.watch_write = &watching_write;
    for (const WatchedAddress& w : d.watched) wrap_key(mem, w.key);
}

std::string watch_log_line(bool write, uint32_t address, uint8_t value, uint32_t instruction) {
    char text[64];
    std::snprintf(text, sizeof text, "Watch %s [%02x:%04x] = %02x @ %06x", write ? "write" : "read ",
                  unsigned(address >> 16) & 0xFF, unsigned(address) & 0xFFFF, unsigned(value),
                  unsigned(instruction) & 0xFFFFFF);
    return text;
}

}  // namespace vt
