#include "cli/cli_runner.h"

#include <sys/wait.h>

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
