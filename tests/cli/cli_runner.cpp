#include "cli/cli_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vt::test {

namespace {

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char ch : s) q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return q + "'";
}

}  // namespace

std::string make_temp_folder(const std::string& name) {
    std::string pattern = "/tmp/veltrane_" + name + "_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    return buf.data();
}

CliRun run_cli(const std::vector<std::string>& args, const std::string& folder) {
    // The built-in demo keeps its battery RAM under XDG_DATA_HOME: inside
    // the test's folder, never in the user's home.
    std::string cmd = "cd " + quote(folder) + " && XDG_DATA_HOME=" + quote(folder + "/data") + " " +
                      quote(VELTRANE_CLI_PATH);
    for (const std::string& a : args) cmd += " " + quote(a);
    cmd += " >" + quote(folder + "/.stdout") + " 2>" + quote(folder + "/.stderr") + " </dev/null";
    int raw = std::system(cmd.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = read_text(folder + "/.stdout");
    run.err = read_text(folder + "/.stderr");
    return run;
}

int start_cli(const std::vector<std::string>& args, const std::string& folder) {
    const std::string data = "XDG_DATA_HOME=" + folder + "/data";
    const pid_t pid = fork();
    if (pid != 0) return int(pid);
    // The child: its folder, its data folder, its output into files.
    if (chdir(folder.c_str()) != 0) _exit(127);
    const int out = open(".stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(".stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(VELTRANE_CLI_PATH));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    putenv(const_cast<char*>(data.c_str()));
    execv(VELTRANE_CLI_PATH, argv.data());
    _exit(127);
}

CliRun finish_cli(int pid, const std::string& folder) {
    int raw = 0;
    waitpid(pid_t(pid), &raw, 0);
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = read_text(folder + "/.stdout");
    run.err = read_text(folder + "/.stderr");
    return run;
}

bool process_catches(int pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) != 0) continue;
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        return mask & (1ull << (signal - 1));
    }
    return false;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace vt::test
