// The CPU trace: while it is on, the driver calls the writer before every
// main-CPU instruction (not for the idle steps of a CPU waiting in WAI, nor
// for the step that enters an interrupt, which runs no instruction), and
// the writer appends one line:
//
//   00803a lda     $12,x     [00:0014]A:0012 X:0002 Y:0000 S:01ff D:0000 DBR:00 P:34 E+
//
// The disassembly is cut or padded to 26 characters before a bracketed
// effective address and to 36 before the registers; lines end with CR LF.
// The first traced instruction after switching on is preceded by
// "CPU Trace Started @ Frame:xxxxxxxx HCT:xxxx VCT:xxxx", the first of
// every later scanline by an empty line and "Continuing @ ..." (the driver
// marks each line start in the trace phase); switching off after anything
// was traced writes "CPU Trace Stopped." and an empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vt {

struct Machine;
struct TraceLog;

// Where the trace's text goes.
struct TraceSink {
    void* user = nullptr;
    void (*write)(void* user, const char* data, size_t size) = nullptr;
};

// The program's log "trace.log"; writes nothing when it could not be created.
TraceSink trace_log_sink(TraceLog& log);

struct CpuTrace {
    TraceSink sink;
};

inline constexpr uint8_t kTraceIdle = 0;
inline constexpr uint8_t kTraceStartPending = 1;
inline constexpr uint8_t kTraceWriting = 2;
inline constexpr uint8_t kTraceContinuationPending = 3;

// Switches the trace on (start header pending) or off. `trace` must live
// while the trace is on.
void cpu_trace_start(Machine& m, CpuTrace& trace);
void cpu_trace_stop(Machine& m);
bool cpu_trace_is_on(const Machine& m);

// The writer the driver calls.
void cpu_trace_step(Machine& m);

// The register columns start here, the bracketed address here.
inline constexpr int kTraceRegisterColumn = 36;
inline constexpr int kTraceAddressColumn = 26;
inline constexpr int kTraceLineMax = 96;

// The trace line of the instruction at the main CPU's PC, without CR LF,
// into `out` (kTraceLineMax characters); returns its length.
int cpu_trace_format_line(const Machine& m, char* out);
std::string cpu_trace_line(const Machine& m);
// "CPU Trace Started @ Frame:0000002a HCT:0010 VCT:00e1" and the like:
// `what` and the position of the machine, without CR LF.
std::string cpu_trace_position(const Machine& m, const char* what);

}  // namespace vt
