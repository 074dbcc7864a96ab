// libFuzzer target for a cartridge chip's ports: the input's first bytes
// are the chip's state chunk as a state file would carry it, the rest is
// port traffic, three bytes an access (bits 0-6 of the first: which of the
// chip's windows and bank; bit 7: write; then the address's low byte and a
// value or the address's high byte). Built once per chip (VELTRANE_FUZZ_CHIP:
// 1 DSP-1, 2 DSP-2, 3 DSP-3, 5 DSP-4, 10 SETA, 4 OBC1).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cart/bus.h"
#include "cart/loader.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace {

constexpr const char* kPath = "/fuzz/CHIP.SFC";

std::vector<uint8_t> chip_image() {
    std::vector<uint8_t> image(0x80000, 0xFF);
    std::string title = "CHIP FUZZ";
    uint8_t type = 0x03;
    switch (VELTRANE_FUZZ_CHIP) {
        case 2: title = "DUNGEON MASTER"; break;
        case 3: title = std::string("SD") + "\xB6\xDE\xDD\xC0\xDE\xD1" + "GX"; break;
        case 5: title = "TOP GEAR 3000"; break;
        case 10: title = "F1 ROC II", type = 0x00; break;
        case 4: type = 0x25; break;
        default: break;
    }
    title.resize(21, ' ');
    for (size_t i = 0; i < 21; i++) image[0x7FC0 + i] = uint8_t(title[i]);
    image[0x7FD5] = 0x20;
    image[0x7FD6] = type;
    image[0x7FD7] = 0x09;
    image[0x7FD8] = 0x03;
    image[0x7FFC] = 0x00;
    image[0x7FFD] = 0x80;
    return image;
}

struct Access {
    uint8_t bank;
    uint16_t base;
};

// The chip's windows: bank and the start of the address range the two
// address bytes move in.
Access place(uint8_t selector, uint8_t high) {
    switch (VELTRANE_FUZZ_CHIP) {
        case 10: return {uint8_t(0x68 + (selector & 7) + (selector & 8 ? 0x80 : 0)), uint16_t((high & 0x7F) << 8)};
        case 4: return {uint8_t(selector & 8 ? 0x70 + (selector & 1) : selector & 0x3F), uint16_t(0x6000 | (high & 0x1F) << 8)};
        default: return {uint8_t(0x30 + (selector & 15) + (selector & 16 ? 0x80 : 0)), uint16_t(0x8000 | high << 8)};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<vt::Machine> machine = [] {
        auto m = vt::make_machine();
        const std::vector<uint8_t> image = chip_image();
        vt::LoadOptions options;
        options.save_previous_battery = false;
        options.read_file = [&image](const std::string& path, uint64_t, std::vector<uint8_t>& out) {
            if (path != kPath) return vt::FileReadStatus::Missing;
            out = image;
            return vt::FileReadStatus::Ok;
        };
        if (!vt::load_gamepak(*m, kPath, options).loaded()) std::abort();
        return m;
    }();
    vt::Machine& m = *machine;
    const vt::Chip& chip = vt::chip_for(m.cart.coprocessor);
    if (chip.power_on) chip.power_on(m);
    // The state chunk, zero-padded to its length.
    for (const vt::ChipStateChunk& c : chip.state_chunks) {
        const size_t n = std::min<size_t>(size, c.length);
        std::vector<uint8_t> chunk(c.length, 0);
        std::copy(data, data + n, chunk.begin());
        vt::StateReader in{chunk.data()};
        c.load(in, m);
        data += n;
        size -= n;
    }
    for (size_t i = 0; i + 3 <= size; i += 3) {
        const Access a = place(data[i], data[i + 2]);
        const uint16_t addr = uint16_t(a.base | data[i + 1]);
        if (data[i] & 0x80) {
            vt::bus_write(m, a.bank, addr, data[i + 2]);
        } else {
            vt::bus_read(m, a.bank, addr);
        }
    }
    return 0;
}
