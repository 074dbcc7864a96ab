// demo-assets: writes the graphics, tables and instrument PCM of the demo
// cartridge into a folder, one file per block, for the assembler to
// include.
//
//   demo-assets OUTPUT_FOLDER
#include <cstdio>
#include <exception>
#include <string>

#include "art.h"
#include "sound.h"
#include "tiles.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-assets OUTPUT_FOLDER\n");
        return 1;
    }
    try {
        demo::Files files;
        demo::make_common_graphics(files);
        demo::make_title_graphics(files);
        demo::make_parallax_graphics(files);
        demo::make_mode7_graphics(files);
        demo::make_tables(files);
        demo::make_instruments(files);
        demo::make_pitch_table(files);
        for (const auto& [name, bytes] : files) demo::write_file(std::string(argv[1]) + "/" + name, bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo-assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
