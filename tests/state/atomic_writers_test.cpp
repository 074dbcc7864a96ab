// Every file the save-state unit writes (chunked states, real-time saves,
// battery RAM in each format, "BS-X.SRM") goes through a fresh temporary
// file: links planted at the names a temporary file could have capture
// nothing, and folders planted there block nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/driver.h"
#include "state/battery_ram.h"
#include "state/state_file.h"
#include "state/state_test_support.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

std::string text_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Names beside `file` that a temporary file of a save could plausibly take.
std::vector<std::string> plausible_temporary_names(const std::string& file) {
    return {file + ".tmp", "." + file + ".tmp", file + ".part", file + "~",          file + ".new",
            file + ".bak", "." + file + ".swp", file + ".XXXXXX", "." + file + ".XXXXXX", ".tmp"};
}

struct Writer {
    const char* what;
    std::string file;  // the name it writes in the folder
    std::function<bool(Machine&, const std::string& folder)> write;
};

TEST(AtomicWriters, PlantedLinksAndFoldersAtTemporaryNamesChangeNothing) {
    auto m = machine_with_rom("cart_sram");
    run_frames(*m, 3);
    m->cart.bsx_ram[0] = 0x42;

    auto battery = [&m](BackupFormat format) {
        return [&m, format](Machine&, const std::string& folder) {
            m->cart.image_path = folder + "/game.sfc";
            return battery_save(m->cart, {"", "", format}).ok;
        };
    };
    const std::vector<Writer> writers = {
        {"state", "game.S00",
         [](Machine& mm, const std::string& folder) {
             return save_state(mm, folder + "/game.S00", "", "", StateOptions{});
         }},
        {"real-time save", "game.rts",
         [](Machine& mm, const std::string& folder) { return save_rts(mm, folder + "/game.rts"); }},
        {"battery RAM .srm", "game.srm", battery(BackupFormat::Srm)},
        {"battery RAM .bbd", "game.bbd", battery(BackupFormat::Bbd)},
        {"battery RAM .b01", "game.b01", battery(BackupFormat::B01)},
        {"BS-X.SRM", "BS-X.SRM",
         [&m](Machine&, const std::string& folder) {
             Cartridge c;
             c.image_path = folder + "/pack.bs";
             c.coprocessor = kCoprocBsx;
             c.bsx_ram = m->cart.bsx_ram;
             return battery_save(c, {"", "", BackupFormat::Srm, folder}).ok;
         }},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.what);
        const std::string dir = state_test_folder(std::string("planted_") + w.file);
        {
            std::ofstream(dir + "/victim", std::ios::binary) << "untouched";
        }
        const std::vector<std::string> names = plausible_temporary_names(w.file);
        for (size_t i = 0; i < names.size(); i++) {
            if (i % 3 == 2) fs::create_directory(dir + "/" + names[i]);
            else fs::create_symlink(dir + "/victim", dir + "/" + names[i]);
        }
        ASSERT_TRUE(w.write(*m, dir));
        ASSERT_TRUE(w.write(*m, dir));  // replacing the first
        EXPECT_EQ(text_of(dir + "/victim"), "untouched");
        EXPECT_FALSE(fs::is_symlink(dir + "/" + w.file));
        EXPECT_GT(fs::file_size(dir + "/" + w.file), 0u);
        // Nothing left beside: the planted names and the file itself.
        size_t entries = 0;
        for (const auto& e : fs::directory_iterator(dir)) {
            (void)e;
            entries++;
        }
        EXPECT_EQ(entries, names.size() + 2);
    }
}

}  // namespace
}  // namespace vt::test
