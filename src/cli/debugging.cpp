// The runner's debugging: the CPU trace of the whole run into a file,
// breakpoints and interrupt traps that end the run early with the stopped
// instruction's trace line on stdout, and listings.
#include <cstdio>
#include <vector>

#include "cli/cli_options.h"
#include "cli/runner_io.h"
#include "core/machine.h"
#include "core/main_cpu_debug.h"
#include "debug/breakpoints.h"
#include "debug/cpu_trace.h"
#include "debug/w65816_listing.h"
#include "state/atomic_file.h"

namespace vt::cli {

namespace {

// The trace goes to a temporary file through a large buffer (a frame
// traces some tens of thousands of lines) and replaces the target whole at
// the end.
struct TraceFile {
    AtomicFile file;
    std::vector<char> buffer;
    CpuTrace trace;
    std::string path;

    static constexpr size_t kBufferSize = 1 << 20;

    void flush() {
        if (!buffer.empty()) file.write(buffer.data(), buffer.size());
        buffer.clear();
    }
    static void write(void* user, const char* data, size_t size) {
        auto& t = *static_cast<TraceFile*>(user);
        t.buffer.insert(t.buffer.end(), data, data + size);
        if (t.buffer.size() >= kBufferSize) t.flush();
    }
};

TraceFile* active_trace = nullptr;

}  // namespace

bool start_cpu_trace(Machine& m, const std::string& path) {
    static TraceFile trace;
    if (!trace.file.open(path)) return complain("cannot write the trace " + path + ": " + trace.file.error());
    trace.path = path;
    trace.buffer.reserve(TraceFile::kBufferSize + 256);
    trace.trace.sink = {&trace, &TraceFile::write};
    cpu_trace_start(m, trace.trace);
    active_trace = &trace;
    return true;
}

bool finish_cpu_trace(Machine& m) {
    if (!active_trace) return true;
    TraceFile& t = *active_trace;
    active_trace = nullptr;
    cpu_trace_stop(m);  // "CPU Trace Stopped." when anything was traced
    t.flush();
    if (!t.file.commit()) return complain("cannot write the trace " + t.path + ": " + t.file.error());
    return true;
}

void start_debugging(Machine& m, const Options& o) {
    for (uint32_t address : o.breakpoints) breakpoint_add(m.debug, address);
    m.debug.interrupt_traps = o.interrupt_traps;
}

bool report_debug_stop(const Machine& m) {
    if (m.timing.last_stop != RunStop::Requested || m.debug.hit.kind == DebugHitKind::None) return false;
    std::printf("%s\n", cpu_trace_line(m).c_str());
    return true;
}

void print_disassembly(const Machine& m, uint32_t address, long count) {
    auto peek = [&m](uint32_t a) { return main_cpu_peek(m, a); };
    W65816Listing l = main_cpu_listing_start(m, true);
    l.pc = address & 0xFFFFFF;
    char line[kW65816LineMax];
    EffectiveAddress ea;
    for (long i = 0; i < count; i++) {
        const int n = w65816_disassemble(peek, l, ea, line);
        std::printf("%.*s\n", n, line);
    }
}

}  // namespace vt::cli
