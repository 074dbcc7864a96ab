// The runner's inputs and outputs beyond running frames: states, audio and
// picture files, memory dumps, the log, the CPU trace. Each returns false
// only when it failed in a way the user must hear about; the message, which
// names the file and the reason, is then on stderr. Every output is written
// whole or not at all (a temporary file renamed over the target).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "debug/trace_log.h"

namespace vt {
struct Machine;
class EmulatorHost;
struct HostMessage;
}  // namespace vt

namespace vt::cli {

struct Options;

// "veltrane-cli: <what>" on stderr; always false.
bool complain(const std::string& what);
// A message meant for a box: "veltrane-cli: <what> <file>: <reason>", then
// its text.
void print_host_message(const std::string& what, const HostMessage& message);

// Whether a file can be created at `path` (its folder exists and is
// writable); says why on stderr when not. Outputs are checked before the
// run, so a long run does not end in an output that cannot be written.
bool output_writable(const std::string& path);

// Writes raw bytes to a file, saying on stderr when it cannot.
bool write_dump(const std::string& path, const uint8_t* data, size_t size);

bool load_state_file(EmulatorHost& host, const std::string& path);
bool save_state_file(EmulatorHost& host, const std::string& path);
// The CPU trace of the run: every executed instruction's line from here
// on; finishing writes the stop line and replaces the file whole.
bool start_cpu_trace(Machine& m, const std::string& path);
bool finish_cpu_trace(Machine& m);
// --break and --break-on into the machine's debugger.
void start_debugging(Machine& m, const Options& o);
// After a frame: when a breakpoint or trap stopped it, prints the trace
// line of the instruction the machine stopped before and returns true.
bool report_debug_stop(const Machine& m);
// --disassemble: `count` lines from `address`, following the flags.
void print_disassembly(const Machine& m, uint32_t address, long count);
bool start_wav_capture(Machine& m, const std::string& path);
// Called after each frame while a WAV capture runs.
void capture_frame_audio(Machine& m);
bool finish_wav_capture(Machine& m);
bool write_png(Machine& m, const std::string& path, int format);
bool dump_vram(Machine& m, const std::string& path);   // 65,536 bytes, low byte of each word first
bool dump_cgram(Machine& m, const std::string& path);
bool dump_oam(Machine& m, const std::string& path);
bool dump_aram(Machine& m, const std::string& path);

// The program's log (--log): kept in memory while the runner works and
// written to its file whole at the end.
class RunnerLog {
public:
    RunnerLog() = default;
    RunnerLog(const RunnerLog&) = delete;
    RunnerLog& operator=(const RunnerLog&) = delete;
    ~RunnerLog();

    bool start();
    TraceLog* log() { return &log_; }
    // Writes what was logged to `path`; false (with a message) when it cannot.
    bool finish(const std::string& path);

private:
    TraceLog log_;
    char* buffer_ = nullptr;
    size_t size_ = 0;
};

}  // namespace vt::cli
