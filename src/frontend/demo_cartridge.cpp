#include "frontend/demo_cartridge.h"

#include <filesystem>

#include "cart/image_files.h"
#include "frontend/data_folder.h"

namespace vt {

// Defined in the source that the build generates from demo.sfc.
extern const unsigned char kDemoCartridgeImage[];
extern const std::size_t kDemoCartridgeSize;

const uint8_t* demo_cartridge_image() { return kDemoCartridgeImage; }
size_t demo_cartridge_size() { return kDemoCartridgeSize; }

std::string default_demo_data_folder() { return program_data_folder(); }

LoadResult load_builtin_demo(Machine& m, const LoadOptions& options, const std::string& data_folder) {
    if (!data_folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(data_folder, ec);  // a failure shows when the battery RAM is saved
    }
    const std::string image_path = join_path(data_folder, kDemoImageFileName);

    LoadOptions demo_options = options;
    FileReader files = options.read_file;
    demo_options.read_file = [image_path, files](const std::string& path, uint64_t limit,
                                                 std::vector<uint8_t>& out) {
        if (path != image_path) return files(path, limit, out);
        if (kDemoCartridgeSize > limit) return FileReadStatus::TooLarge;
        out.assign(kDemoCartridgeImage, kDemoCartridgeImage + kDemoCartridgeSize);
        return FileReadStatus::Ok;
    };
    return load_gamepak(m, image_path, demo_options);
}

}  // namespace vt
