// The runner's save states: chunked state files and real-time saves.
#include "cli/runner_io.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "state/state_file.h"

namespace vt::cli {

namespace {

// The runner keeps battery RAM in its states, so that a state brings back
// the whole cartridge.
StateOptions runner_state_options() {
    StateOptions options;
    options.sram_transfer = true;
    options.bitmap_transfer = true;
    return options;
}

bool ends_with_rts(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".rts";
}

bool state_failed(const char* what, const std::string& path, const std::string& error) {
    std::fprintf(stderr, "veltrane-cli: cannot %s %s%s%s\n", what, path.c_str(), error.empty() ? "" : ": ",
                 error.c_str());
    return false;
}

bool save_as_rts(const std::string& path) {
    switch (detect_state_file(path)) {
        case StateFormat::RealTime: return true;
        case StateFormat::Chunked: return false;
        case StateFormat::Unknown: break;
    }
    return ends_with_rts(path);
}

}  // namespace

// A chunked state or a real-time save, told apart by the file's content.
bool load_state_file(Machine& m, const std::string& path) {
    std::string error;
    switch (detect_state_file(path)) {
        case StateFormat::Chunked:
            if (load_state(m, path, runner_state_options(), &error)) return true;
            break;
        case StateFormat::RealTime:
            if (load_rts(m, path, &error)) return true;
            break;
        case StateFormat::Unknown:
            if (!std::filesystem::exists(path)) error = "no such file";
            else error = "neither a state file (\"BPS2\") nor a real-time save";
            break;
    }
    return state_failed("load the state", path, error);
}

// A file being replaced keeps its format; a new one is a real-time save
// when its name ends in ".rts", else a chunked state.
bool save_state_file(Machine& m, const std::string& path) {
    std::string error;
    const bool saved = save_as_rts(path) ? save_rts(m, path, &error)
                                           : save_state(m, path, "veltrane-cli", "", runner_state_options(), &error);
    return saved || state_failed("save the state to", path, error);
}

}  // namespace vt::cli
