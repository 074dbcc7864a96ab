// The runner's log file, written whole at the end of the run.
#include <cstdio>
#include <cstdlib>

#include "cli/runner_io.h"
#include "state/atomic_file.h"

namespace vt::cli {

RunnerLog::~RunnerLog() {
    log_.file.reset();
    std::free(buffer_);
}

bool RunnerLog::start() {
    log_.file.reset(open_memstream(&buffer_, &size_));
    log_.disabled = !log_.file;
    return bool(log_.file);
}

bool RunnerLog::finish(const std::string& path) {
    log_.file.reset();  // closing the stream settles buffer_ and size_
    std::string error;
    const bool ok = write_file_atomically(path, reinterpret_cast<const uint8_t*>(buffer_), size_, &error);
    std::free(buffer_);
    buffer_ = nullptr;
    size_ = 0;
    return ok || complain("cannot write the log " + path + ": " + error);
}

}  // namespace vt::cli
