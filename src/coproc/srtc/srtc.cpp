#include "coproc/srtc/srtc.h"

#include <algorithm>
#include <ctime>

#include "cart/cartridge_map.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

// Console lines per second: the master clock over 1,364 clocks per line.
constexpr uint32_t kNtscLinesPerSecond = 15746;
constexpr uint32_t kPalLinesPerSecond = 15602;

enum : int {
    kSeconds = 0,
    kMinutes = 2,
    kHours = 4,
    kDay = 6,
    kMonth = 8,
    kYear = 9,
    kCentury = 11,
    kWeekday = 12,
};

int pair(const Srtc& s, int units) { return s.regs[size_t(units)] + 10 * s.regs[size_t(units + 1)]; }

void set_pair(Srtc& s, int units, int value) {
    s.regs[size_t(units)] = uint8_t(value % 10);
    s.regs[size_t(units + 1)] = uint8_t(value / 10);
}

int full_year(const Srtc& s) { return 1000 + s.regs[kCentury] * 100 + pair(s, kYear); }

bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int month, int year) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return (month == 2 && leap(year)) ? 29 : kDays[month - 1];
}

constexpr MemoryWindow kWindow{&srtc_read, &srtc_write, &srtc_peek};

void save_chunk(StateWriter& out, const Machine& m) { srtc_state_io(out, m); }
void load_chunk(StateReader& in, Machine& m) { srtc_state_io(in, m); }

}  // namespace

const ChipStateChunk kSrtcStateChunks[1] = {{"XRTC", kSrtcStateSize, &save_chunk, &load_chunk}};

uint8_t srtc_weekday(const Srtc& s) {
    // Sakamoto's method.
    static constexpr int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = full_year(s);
    const int month = std::clamp<int>(s.regs[kMonth], 1, 12);
    const int day = pair(s, kDay);
    if (month < 3) y--;
    return uint8_t((y + y / 4 - y / 100 + y / 400 + kOffsets[month - 1] + day) % 7);
}

void srtc_set_from_host(Srtc& s) {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    if (!localtime_r(&now, &t)) return;
    set_pair(s, kSeconds, t.tm_sec % 60);
    set_pair(s, kMinutes, t.tm_min);
    set_pair(s, kHours, t.tm_hour);
    set_pair(s, kDay, t.tm_mday);
    s.regs[kMonth] = uint8_t(t.tm_mon + 1);
    const int year = t.tm_year + 1900;
    set_pair(s, kYear, year % 100);
    s.regs[kCentury] = uint8_t((year - 1000) / 100);
    s.regs[kWeekday] = uint8_t(t.tm_wday);
}

void srtc_tick_second(Srtc& s) {
    if (pair(s, kSeconds) < 59) return set_pair(s, kSeconds, pair(s, kSeconds) + 1);
    set_pair(s, kSeconds, 0);
    if (pair(s, kMinutes) < 59) return set_pair(s, kMinutes, pair(s, kMinutes) + 1);
    set_pair(s, kMinutes, 0);
    if (pair(s, kHours) < 23) return set_pair(s, kHours, pair(s, kHours) + 1);
    set_pair(s, kHours, 0);
    s.regs[kWeekday] = uint8_t((s.regs[kWeekday] + 1) % 7);
    const int year = full_year(s);
    if (pair(s, kDay) < days_in_month(s.regs[kMonth], year)) return set_pair(s, kDay, pair(s, kDay) + 1);
    set_pair(s, kDay, 1);
    if (s.regs[kMonth] < 12) {
        s.regs[kMonth]++;
        return;
    }
    s.regs[kMonth] = 1;
    if (pair(s, kYear) < 99) return set_pair(s, kYear, pair(s, kYear) + 1);
    set_pair(s, kYear, 0);
    s.regs[kCentury] = uint8_t((s.regs[kCentury] + 1) & 0x0F);
}

uint8_t srtc_read(Machine& m, uint8_t bank, uint16_t addr) {
    if ((addr & 0xFFF) != 0x800) return open_bus_read(m, bank, addr);
    Srtc& s = m.srtc;
    uint8_t v = 0;
    if (s.mode == SrtcMode::Read) {
        if (s.index < 0 || s.index >= kSrtcRegisters) {
            s.index = s.index < 0 ? int8_t(0) : int8_t(-1);  // the marker, then the registers again
            v = 0x0F;
        } else {
            v = s.regs[size_t(s.index++)];
        }
    }
    m.mem.open_bus = v;
    return v;
}

int srtc_peek(const Machine& m, uint8_t, uint16_t addr) {
    if ((addr & 0xFFF) != 0x800) return kNotReadable;
    const Srtc& s = m.srtc;
    if (s.mode != SrtcMode::Read) return 0;
    if (s.index < 0 || s.index >= kSrtcRegisters) return 0x0F;
    return s.regs[size_t(s.index)];
}

void srtc_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    if ((addr & 0xFFF) != 0x801) return discard_write(m, bank, addr, value);
    Srtc& s = m.srtc;
    const uint8_t v = value & 0x0F;
    if (v == 0x0D) {
        s.mode = SrtcMode::Read;
        s.index = -1;
        return;
    }
    if (v == 0x0E) {
        s.mode = SrtcMode::Command;
        return;
    }
    if (v == 0x0F) return;  // ends a write; the mode stays
    switch (s.mode) {
        case SrtcMode::Command:
            if (v == 0) {
                s.mode = SrtcMode::Write;
                s.index = 0;
            } else if (v == 4) {
                s.mode = SrtcMode::Ready;
                s.index = -1;
                s.regs.fill(0);
            } else {
                s.mode = SrtcMode::Ready;
            }
            break;
        case SrtcMode::Write:
            if (s.index >= 0 && s.index < kSrtcRegisters - 1) {
                s.regs[size_t(s.index++)] = v;
                // The chip works out the weekday once the date is complete.
                if (s.index == kWeekday) s.regs[kWeekday] = srtc_weekday(s);
            }
            break;
        case SrtcMode::Ready:
        case SrtcMode::Read:
            break;
    }
}

void srtc_line_end(Machine& m) {
    Srtc& s = m.srtc;
    if (++s.lines < (m.cart.pal ? kPalLinesPerSecond : kNtscLinesPerSecond)) return;
    s.lines = 0;
    // Setting the time holds the clock.
    if (s.mode != SrtcMode::Write) srtc_tick_second(s);
}

void srtc_map(Machine& m) { install_loader_pages(m, 0x28, 0x28, kWindow); }

void srtc_power_on(Machine& m) {
    m.srtc = Srtc{};
    srtc_set_from_host(m.srtc);
}

void srtc_reset(Machine& m) {
    m.srtc.mode = SrtcMode::Ready;
    m.srtc.index = -1;
}

DebugRegisters srtc_debug_registers(const Machine& m) {
    const Srtc& s = m.srtc;
    DebugRegisters r;
    r.add("MODE", 8, uint8_t(s.mode));
    r.add("INDEX", 8, uint8_t(s.index));
    uint32_t time = 0;
    for (int i = kHours + 1; i >= 0; i--) time = time << 4 | s.regs[size_t(i)];
    r.add("TIME", 24, time);
    return r;
}

template <class Io>
void srtc_state_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.srtc;
    io.bytes(s.regs);
    io.enum8(s.mode, 4, SrtcMode::Ready);
    uint8_t index = uint8_t(s.index);
    io.u8(index);
    io.u32_at_most(s.lines, 1u << 20);
    if constexpr (Io::loading) {
        for (uint8_t& nibble : s.regs) nibble &= 0x0F;
        // -1 (marker next) to 13 (past the last register: marker next).
        s.index = int8_t(index) >= -1 && int8_t(index) <= kSrtcRegisters ? int8_t(index) : int8_t(-1);
    }
}

template void srtc_state_io(StateWriter&, const Machine&);
template void srtc_state_io(StateReader&, Machine&);

}  // namespace vt
