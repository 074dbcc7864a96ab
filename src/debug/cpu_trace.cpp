#include "debug/cpu_trace.h"

#include <cstdio>
#include <cstring>

#include "core/machine.h"
#include "core/main_cpu.h"
#include "core/main_cpu_debug.h"
#include "debug/trace_log.h"
#include "debug/w65816_listing.h"

namespace vt {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr char kLineEnd[] = "\r\n";
constexpr char kStopped[] = "CPU Trace Stopped.\r\n\r\n";

// Puts `digits` hex digits of `value` at `out`.
void put_hex(char* out, uint32_t value, int digits) {
    for (int i = 0; i < digits; i++) out[i] = kHexDigits[(value >> (4 * (digits - 1 - i))) & 0xF];
}

// The register columns, a template whose digit fields are overwritten.
constexpr char kRegisterTemplate[] = "A:0000 X:0000 Y:0000 S:0000 D:0000 DBR:00 P:00 E+";
constexpr int kRegisterLength = sizeof kRegisterTemplate - 1;

void write(const CpuTrace& t, const char* data, size_t size) {
    if (t.sink.write) t.sink.write(t.sink.user, data, size);
}

void write(const CpuTrace& t, const std::string& text) { write(t, text.data(), text.size()); }

void log_sink_write(void* user, const char* data, size_t size) {
    trace_log_write(*static_cast<TraceLog*>(user), std::string_view(data, size));
}

}  // namespace

TraceSink trace_log_sink(TraceLog& log) { return {&log, &log_sink_write}; }

int cpu_trace_format_line(const Machine& m, char* out) {
    auto peek = [&m](uint32_t a) { return main_cpu_peek(m, a); };
    W65816Listing l = main_cpu_listing_start(m, false);
    EffectiveAddress ea;
    int n = w65816_disassemble(peek, l, ea, out);
    if (ea.present) {
        while (n < kTraceAddressColumn) out[n++] = ' ';
        n = kTraceAddressColumn;
        out[n++] = '[';
        put_hex(out + n, ea.bank, 2);
        out[n + 2] = ':';
        put_hex(out + n + 3, ea.address, 4);
        out[n + 7] = ']';
        n += 8;
    }
    while (n < kTraceRegisterColumn) out[n++] = ' ';
    n = kTraceRegisterColumn;

    const CpuRegs& c = m.cpu;
    char* r = out + n;
    std::memcpy(r, kRegisterTemplate, kRegisterLength);
    put_hex(r + 2, c.a, 4);
    put_hex(r + 9, c.x, 4);
    put_hex(r + 16, c.y, 4);
    put_hex(r + 23, c.s, 4);
    put_hex(r + 30, c.d, 4);
    put_hex(r + 39, c.dbr, 2);
    put_hex(r + 44, cpu_status(c), 2);
    r[48] = c.e ? '+' : '-';
    return n + kRegisterLength;
}

std::string cpu_trace_line(const Machine& m) {
    char line[kTraceLineMax];
    return std::string(line, size_t(cpu_trace_format_line(m, line)));
}

std::string cpu_trace_position(const Machine& m, const char* what) {
    char text[96];
    std::snprintf(text, sizeof text, "%s @ Frame:%08x HCT:%04x VCT:%04x", what, m.timing.frame_counter,
                  unsigned(m.timing.line_clock / 2) & 0xFFFF, unsigned(m.timing.line));
    return text;
}

void cpu_trace_step(Machine& m) {
    // An interrupt entry runs no instruction; the handler's first one is
    // traced at the next step.
    if (cpu_enters_interrupt_next(m)) return;
    const CpuTrace& t = *static_cast<const CpuTrace*>(m.debug.trace_user);
    uint8_t& phase = m.debug.trace_state;
    if (phase == kTraceStartPending) {
        write(t, cpu_trace_position(m, "CPU Trace Started") + kLineEnd);
    } else if (phase == kTraceContinuationPending) {
        write(t, kLineEnd + cpu_trace_position(m, "Continuing") + kLineEnd);
    }
    phase = kTraceWriting;
    char line[kTraceLineMax + 2];
    int n = cpu_trace_format_line(m, line);
    line[n++] = '\r';
    line[n++] = '\n';
    write(t, line, size_t(n));
}

void cpu_trace_start(Machine& m, CpuTrace& trace) {
    if (cpu_trace_is_on(m)) cpu_trace_stop(m);
    m.debug.trace_user = &trace;
    m.debug.trace_step = &cpu_trace_step;
    m.debug.trace_state = kTraceStartPending;
}

void cpu_trace_stop(Machine& m) {
    if (!cpu_trace_is_on(m)) return;
    const CpuTrace& t = *static_cast<const CpuTrace*>(m.debug.trace_user);
    if (m.debug.trace_state > kTraceStartPending) write(t, kStopped, sizeof kStopped - 1);
    m.debug.trace_state = kTraceIdle;
    m.debug.trace_step = nullptr;
    m.debug.trace_user = nullptr;
}

bool cpu_trace_is_on(const Machine& m) { return m.debug.trace_step == &cpu_trace_step; }

}  // namespace vt
