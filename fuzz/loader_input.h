// How the loader fuzzer turns its input bytes into a set of files and a
// load, shared with the test that replays the inputs it once failed on.
//
// Input layout:
//   byte 0, bit 7 clear: "raw" - the rest is the image file as it stands.
//   byte 0, bit 7 set:   "built" - an image is made from the rest:
//     byte 1: size in 16 KiB units (+1), times 4 when byte 0 bit 3 is set
//             (up to 16 MiB);
//     payload (from byte 2): bytes 0-79 go to $7FB0, 80-159 to $FFB0,
//     160-239 to $40FFB0 (the three internal header places), 240-751 form
//     the copier header put in front when byte 0 bit 0 is set; the whole
//     payload is repeated through the rest of the image.
//     byte 0 bit 1: the second half goes to split files instead.
//     byte 0 bit 2: the tail of the payload (from byte 752) is "Veltrane.db".
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cart/bus.h"
#include "cart/loader.h"
#include "core/driver.h"
#include "core/machine.h"
#include "state/battery_ram.h"

namespace vt::fuzz {

inline constexpr const char* kMainPath = "/fuzz/GAME0001.SFC";

struct FuzzFiles {
    std::map<std::string, std::vector<uint8_t>> files;

    FileReader reader() {
        return [this](const std::string& path, uint64_t limit, std::vector<uint8_t>& out) {
            auto it = files.find(path);
            if (it == files.end()) return FileReadStatus::Missing;
            if (it->second.size() > limit) return FileReadStatus::TooLarge;
            out = it->second;
            return FileReadStatus::Ok;
        };
    }
};

inline void build_files(const uint8_t* data, size_t size, FuzzFiles& f) {
    if (size == 0) return;
    const uint8_t mode = data[0];
    if (!(mode & 0x80)) {
        f.files[kMainPath] = std::vector<uint8_t>(data + 1, data + size);
        return;
    }
    if (size < 2) return;
    size_t image_size = (size_t(data[1]) + 1) * 16 * 1024;
    if (mode & 0x08) image_size *= 4;
    const uint8_t* payload = data + 2;
    const size_t n = size - 2;

    std::vector<uint8_t> image(image_size, 0xFF);
    if (n) {
        // The payload repeated: copy it once, then keep doubling.
        size_t filled = std::min(n, image_size);
        std::memcpy(image.data(), payload, filled);
        while (filled < image_size) {
            size_t chunk = std::min(filled, image_size - filled);
            std::memcpy(image.data() + filled, image.data(), chunk);
            filled += chunk;
        }
    }
    auto slice = [&](size_t from, size_t length, size_t to) {
        for (size_t i = 0; i < length && to + i < image.size(); i++) image[to + i] = from + i < n ? payload[from + i] : 0;
    };
    slice(0, 80, 0x7FB0);
    slice(80, 80, 0xFFB0);
    slice(160, 80, 0x40FFB0);

    std::vector<uint8_t> header(512, 0);
    for (size_t i = 0; i < 512; i++) header[i] = 240 + i < n ? payload[240 + i] : 0;

    std::vector<uint8_t> main_file;
    if (mode & 0x01) main_file = header;
    size_t first_part = (mode & 0x02) ? image.size() / 2 : image.size();
    main_file.insert(main_file.end(), image.begin(), image.begin() + long(first_part));
    f.files[kMainPath] = main_file;
    if (mode & 0x02) {
        std::vector<uint8_t> rest(image.begin() + long(first_part), image.end());
        f.files["/fuzz/GAME0002.SFC"] = rest;  // the next Game Doctor name
        std::vector<uint8_t> part = header;
        part.insert(part.end(), rest.begin(), rest.end());
        f.files["/fuzz/GAME0001.2"] = part;  // the next FFE part
    }
    if ((mode & 0x04) && n > 752) f.files["/prog/Veltrane.db"] = std::vector<uint8_t>(payload + 752, payload + n);
    f.files["/prog/BS-X.SFC"] = std::vector<uint8_t>(1024, 0x42);
}

// Loads the input into `m` (which may hold an earlier cartridge), reads
// every bank through the CPU's tables, runs a frame and builds the battery
// RAM images.
inline void run_input(Machine& m, const uint8_t* data, size_t size) {
    FuzzFiles files;
    build_files(data, size, files);
    LoadOptions options;
    options.program_folder = "/prog";
    options.backup_folder = "/nonexistent-fuzz-folder";
    options.save_previous_battery = false;
    options.read_file = files.reader();
    LoadResult r = load_gamepak(m, kMainPath, options);
    if (!r.loaded()) {
        if (m.timing.gamepak_loaded) run_frame(m);  // the earlier cartridge still runs
        return;
    }
    for (int bank = 0; bank < 256; bank++) {
        for (uint16_t addr : {0x0000, 0x2184, 0x4800, 0x6000, 0x7FFF, 0x8000, 0xC1B2, 0xFFFF}) {
            bus_read(m, uint8_t(bank), addr);
            bus_write(m, uint8_t(bank), addr, uint8_t(bank));
        }
    }
    run_frame(m);
    for (BackupFormat format : {BackupFormat::Srm, BackupFormat::Bbd, BackupFormat::B01}) {
        battery_file_image(m.cart, format);
    }
}

}  // namespace vt::fuzz
