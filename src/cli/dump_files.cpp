// Raw memory dumps of the runner and the checks on its output files.
#include <cstdio>

#include "cli/runner_io.h"
#include "frontend/emulator_host.h"
#include "state/atomic_file.h"

namespace vt::cli {

bool complain(const std::string& what) {
    std::fprintf(stderr, "veltrane-cli: %s\n", what.c_str());
    return false;
}

void print_host_message(const std::string& what, const HostMessage& message) {
    if (!message.problem.empty()) complain(what + " " + message.problem);
    // The text is worded for a message box, with CR between lines.
    std::string out = message.text;
    for (char& ch : out) {
        if (ch == '\r') ch = '\n';
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    if (!out.empty()) std::fprintf(stderr, "%s\n", out.c_str());
}

bool output_writable(const std::string& path) {
    AtomicFile file;
    if (!file.open(path)) return complain("cannot write " + path + ": " + file.error());
    file.discard();
    return true;
}

bool write_dump(const std::string& path, const uint8_t* data, size_t size) {
    std::string error;
    if (write_file_atomically(path, data, size, &error)) return true;
    return complain("cannot write " + path + ": " + error);
}

}  // namespace vt::cli
