#include "debug/trace_log.h"

namespace vt {

bool trace_log_create(TraceLog& log, const std::string& path) {
    log.file.reset(std::fopen(path.c_str(), "wb"));
    log.disabled = !log.file;
    return !log.disabled;
}

void trace_log_close(TraceLog& log) { log.file.reset(); }

bool trace_log_is_open(const TraceLog& log) { return bool(log.file); }

void trace_log_write(TraceLog& log, std::string_view text) {
    if (!log.file) return;
    std::fwrite(text.data(), 1, text.size(), log.file.get());
}

void trace_log_write_line(TraceLog& log, std::string_view line) {
    if (!log.file) return;
    std::fwrite(line.data(), 1, line.size(), log.file.get());
    std::fwrite("\r\n", 1, 2, log.file.get());
}

void trace_log_flush(TraceLog& log) {
    if (log.file) std::fflush(log.file.get());
}

void trace_log_write_load(TraceLog& log, const std::string& path, const RomInformation& info) {
    trace_log_write_line(log, "\"" + path + "\" loaded.");
    trace_log_write(log, rom_information_block(info, "\r\n"));
    trace_log_flush(log);
}

}  // namespace vt
