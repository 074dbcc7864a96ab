// The SPC7110 board's real-time clock, reached through $4840-$4842. The
// program talks to it in four-bit registers: a command byte, then a
// register index, then data that steps the index along.
#include <ctime>

#include "coproc/spc7110/spc7110.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint8_t kWriteCommand = 3;

enum : int {
    kSecondsUnits = 0,
    kSecondsTens = 1,
    kControlD = 13,
    kControlF = 15,
};
constexpr uint8_t kHoldBit = 0x01;     // control D
constexpr uint8_t kResetBit = 0x01;    // control F
constexpr uint8_t kStopBit = 0x02;     // control F
constexpr uint8_t k24HourBit = 0x04;   // control F
constexpr uint8_t kPmBit = 0x04;       // hours tens, 12-hour mode

// Console lines per second: the master clock over 1,364 clocks per line.
constexpr uint32_t kNtscLinesPerSecond = 15746;
constexpr uint32_t kPalLinesPerSecond = 15602;

bool clock_enabled(const Machine& m) { return m.spc7110.regs[0x40] & 1; }

void advance_index(Spc7110Clock& c) { c.index = uint8_t((c.index + 1) & 15); }

int pair(const Spc7110Clock& c, int units) { return c.regs[size_t(units)] + 10 * c.regs[size_t(units + 1)]; }

void set_pair(Spc7110Clock& c, int units, int value) {
    c.regs[size_t(units)] = uint8_t(value % 10);
    c.regs[size_t(units + 1)] = uint8_t(value / 10);
}

int days_in_month(int month, int year) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return (month == 2 && year % 4 == 0) ? 29 : kDays[month - 1];
}

void seconds_cleared(Spc7110Clock& c) {
    c.regs[kSecondsUnits] = 0;
    c.regs[kSecondsTens] = 0;
}

}  // namespace

void spc7110_clock_reset(Spc7110Clock& clock) {
    clock = Spc7110Clock{};
    clock.regs[kControlF] = k24HourBit;
}

// The clock starts out showing the host's local time.
void spc7110_clock_set_from_host(Spc7110Clock& c) {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    if (!localtime_r(&now, &t)) return;
    auto put = [&](int units, int value) {
        c.regs[size_t(units)] = uint8_t(value % 10);
        c.regs[size_t(units + 1)] = uint8_t(value / 10);
    };
    put(0, t.tm_sec % 60);
    put(2, t.tm_min);
    put(4, t.tm_hour);
    put(6, t.tm_mday);
    put(8, t.tm_mon + 1);
    put(10, t.tm_year % 100);
    c.regs[12] = uint8_t(t.tm_wday);
    c.regs[kControlF] |= k24HourBit;
}

void spc7110_clock_tick_second(Spc7110Clock& c) {
    if (pair(c, 0) < 59) {
        set_pair(c, 0, pair(c, 0) + 1);
        return;
    }
    set_pair(c, 0, 0);
    if (pair(c, 2) < 59) {
        set_pair(c, 2, pair(c, 2) + 1);
        return;
    }
    set_pair(c, 2, 0);
    const bool is24 = c.regs[kControlF] & k24HourBit;
    const int tens = c.regs[5] & 3;
    const int hour = c.regs[4] + 10 * tens;
    if (is24) {
        if (hour < 23) {
            c.regs[4] = uint8_t((hour + 1) % 10);
            c.regs[5] = uint8_t((hour + 1) / 10);
            return;
        }
        c.regs[4] = 0;
        c.regs[5] = 0;
    } else {
        // 12-hour mode counts 12, 1, ..., 11 with the PM bit turning at 11 -> 12.
        const bool pm = c.regs[5] & kPmBit;
        const int next = hour == 12 ? 1 : hour + 1;
        const bool next_pm = hour == 11 ? !pm : pm;
        c.regs[4] = uint8_t(next % 10);
        c.regs[5] = uint8_t(next / 10 | (next_pm ? kPmBit : 0));
        if (!(hour == 11 && pm)) return;
    }
    c.regs[12] = uint8_t((c.regs[12] + 1) % 7);
    const int year = pair(c, 10) % 100;
    const int month = pair(c, 8);
    const int day = pair(c, 6);
    if (day < days_in_month(month, year)) {
        set_pair(c, 6, day + 1);
        return;
    }
    set_pair(c, 6, 1);
    if (month < 12) {
        set_pair(c, 8, month + 1);
        return;
    }
    set_pair(c, 8, 1);
    set_pair(c, 10, (year + 1) % 100);
}

void spc7110_line_end(Machine& m) {
    Spc7110Clock& c = m.spc7110.clock;
    const uint32_t per_second = m.cart.pal ? kPalLinesPerSecond : kNtscLinesPerSecond;
    if (++c.lines < per_second) return;
    c.lines = 0;
    const bool halted = (c.regs[kControlD] & kHoldBit) || (c.regs[kControlF] & (kResetBit | kStopBit));
    if (!halted) spc7110_clock_tick_second(c);
}

void spc7110_clock_command_write(Machine& m, uint8_t) { m.spc7110.clock.command_expected = true; }

void spc7110_clock_data_write(Machine& m, uint8_t value) {
    Spc7110Clock& c = m.spc7110.clock;
    if (!clock_enabled(m)) return;
    if (c.command_expected) {
        c.command = value;
        c.index = kClockIndexNone;
        c.command_expected = false;
        return;
    }
    if (c.index == kClockIndexNone) {
        c.index = value & 15;
        return;
    }
    if (c.command != kWriteCommand) return;
    const uint8_t v = value & 0x0F;
    if (c.index == kControlD) {
        if (v & 0x08) seconds_cleared(c);  // 30-second adjust
        if (!(v & 0x01) && (c.regs[kControlD] & kHoldBit)) {
            c.regs[kControlF] = v & 7;
            advance_index(c);
            return;
        }
    } else if (c.index == kControlF) {
        if ((v & kResetBit) && !(c.regs[kControlF] & kResetBit)) seconds_cleared(c);
    }
    c.regs[c.index] = v;
    advance_index(c);
}

uint8_t spc7110_clock_data_read(Machine& m) {
    Spc7110Clock& c = m.spc7110.clock;
    if (!clock_enabled(m) || c.index == kClockIndexNone) return 0;
    const uint8_t v = c.regs[c.index];
    advance_index(c);
    return v;
}

int spc7110_clock_data_peek(const Machine& m) {
    const Spc7110Clock& c = m.spc7110.clock;
    if (!clock_enabled(m) || c.index == kClockIndexNone) return 0;
    return c.regs[c.index];
}

}  // namespace vt
