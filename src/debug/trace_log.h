// The program's log file "trace.log": created empty when the program
// starts, it receives the "ROM Information" block of every load and, while
// CPU tracing is on, one line per executed instruction. Lines end with CR LF.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "cart/rom_info.h"

namespace vt {

inline constexpr const char* kTraceLogFileName = "trace.log";
inline constexpr const char* kTraceLogCreateFailed =
    "Could not create log file. CPU Tracing will be disabled for this session.  ";

struct TraceLog {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, &std::fclose};
    // Set when the file could not be created: every later write is skipped.
    bool disabled = false;
};

// Creates (empties) the log file. On failure the log is disabled and the
// caller shows kTraceLogCreateFailed once.
bool trace_log_create(TraceLog& log, const std::string& path);
void trace_log_close(TraceLog& log);
bool trace_log_is_open(const TraceLog& log);

// Appends text as it stands, or a line with CR LF after it.
void trace_log_write(TraceLog& log, std::string_view text);
void trace_log_write_line(TraceLog& log, std::string_view line);
void trace_log_flush(TraceLog& log);

// The lines of a successful load: "\"<path>\" loaded." and the ROM
// Information block.
void trace_log_write_load(TraceLog& log, const std::string& path, const RomInformation& info);

}  // namespace vt
