#include "state/state_file.h"

#include <cstdio>
#include <filesystem>

namespace vt {

// The state writer and reader arrive with the save-state work; until then
// every operation reports that it is not available.

namespace {

bool unavailable(std::string* error) {
    if (error) *error = "Save states are not available in this build yet.";
    return false;
}

}  // namespace

bool save_state(Machine&, const std::string&, const std::string&, const std::string&, const StateOptions&,
                std::string* error) {
    return unavailable(error);
}

bool load_state(Machine&, const std::string&, const StateOptions&, std::string* error) { return unavailable(error); }

bool read_state_metadata(const std::string&, StateMetadata&) { return false; }

bool read_state_thumbnail(const std::string&, std::vector<uint8_t>&) { return false; }

std::string state_slot_path(const std::string& image_path, const std::string& state_folder, int slot) {
    namespace fs = std::filesystem;
    fs::path image(image_path);
    char extension[8];
    std::snprintf(extension, sizeof extension, ".S%02d", slot);
    fs::path name = image.filename();
    name.replace_extension(extension);
    fs::path folder = state_folder.empty() ? image.parent_path() : fs::path(state_folder);
    return (folder / name).string();
}

bool save_rts(Machine&, const std::string&, std::string* error) { return unavailable(error); }

bool load_rts(Machine&, const std::string&, std::string* error) { return unavailable(error); }

}  // namespace vt
