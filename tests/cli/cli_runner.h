// Running the built veltrane-cli from the tests, in a folder of its own.
#pragma once

#include <string>
#include <vector>

namespace vt::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// A new empty folder under the test temporary folder.
std::string make_temp_folder(const std::string& name);
// Runs veltrane-cli with the arguments, in `folder` as working directory
// and with XDG_DATA_HOME at `folder`/data.
CliRun run_cli(const std::vector<std::string>& args, const std::string& folder);
// The same without waiting: the runner's process id. `finish_cli` waits for
// it (the exit status, -1 when a signal ended it) and reads its output.
int start_cli(const std::vector<std::string>& args, const std::string& folder);
CliRun finish_cli(int pid, const std::string& folder);
// Whether a running process catches `signal` (has its handler installed).
bool process_catches(int pid, int signal);

std::string read_text(const std::string& path);
void write_text(const std::string& path, const std::string& text);

}  // namespace vt::test
