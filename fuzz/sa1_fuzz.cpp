// libFuzzer target for the SA-1: the input's head is read as the chip's
// two state chunks ("SAS1", "XSA1"), the rest as accesses by both
// processors (4 bytes each: kind, bank, address high, value; the address low
// byte is the value too), then the SA-1 runs a few hundred steps. The
// machine holds a small SA-1 cartridge, put back into its power-on state
// before every input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cart/bus.h"
#include "cart/loader.h"
#include "coproc/chips.h"
#include "coproc/sa1/sa1.h"
#include "coproc/sa1/sa1_bus.h"
#include "core/machine.h"

namespace {

std::vector<uint8_t> sa1_fuzz_image() {
    std::vector<uint8_t> image(0x8000, 0xFF);
    image[0] = 0x80;  // BRA -2 at $8000
    image[1] = 0xFE;
    const char title[] = "SA1 FUZZ             ";
    for (int i = 0; i < 21; i++) image[0x7FC0 + i] = uint8_t(title[i]);
    image[0x7FD5] = 0x23;  // map mode
    image[0x7FD6] = 0x35;  // SA-1 with battery RAM
    image[0x7FD7] = 0x05;
    image[0x7FD8] = 0x05;
    image[0x7FD9] = 0x01;
    image[0x7FDC] = 0xFF;
    image[0x7FDD] = 0xFF;
    image[0x7FDE] = 0x00;
    image[0x7FDF] = 0x00;
    image[0x7FFC] = 0x00;
    image[0x7FFD] = 0x80;
    return image;
}

std::unique_ptr<vt::Machine> make_sa1_machine() {
    auto m = vt::make_machine();
    vt::LoadOptions options;
    options.backup_folder = "/nonexistent-fuzz-folder";
    options.save_previous_battery = false;
    options.read_file = [](const std::string& path, uint64_t, std::vector<uint8_t>& out) {
        if (path != "/fuzz/SA1.SFC") return vt::FileReadStatus::Missing;
        out = sa1_fuzz_image();
        return vt::FileReadStatus::Ok;
    };
    if (!vt::load_gamepak(*m, "/fuzz/SA1.SFC", options).loaded() || m->cart.coprocessor != vt::kCoprocSa1) {
        std::abort();
    }
    return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto machine = make_sa1_machine();
    vt::Machine& m = *machine;
    vt::sa1_power_on(m);
    vt::sa1_map_cpu_view(m);
    for (const vt::ChipStateChunk& chunk : vt::chip_for(vt::kCoprocSa1).state_chunks) {
        if (size < chunk.length) break;
        vt::StateReader r{data};
        chunk.load(r, m);
        data += chunk.length;
        size -= chunk.length;
    }
    for (; size >= 4; data += 4, size -= 4) {
        const uint8_t bank = data[1];
        const uint16_t addr = uint16_t((data[2] << 8) | data[3]);
        switch (data[0] & 7) {
            case 0: vt::bus_read(m, bank, addr); break;
            case 1: vt::bus_write(m, bank, addr, data[3]); break;
            case 2: vt::Sa1Bus::read(m, bank, addr); break;
            case 3: vt::Sa1Bus::write(m, bank, addr, data[3]); break;
            case 4: vt::bus_peek(m, bank, addr); break;
            case 5: vt::sa1_bus_peek(m, bank, addr); break;
            default: vt::sa1_register_write(m, uint16_t(0x2200 | (data[2] & 0x7F)), data[3]); break;
        }
    }
    if (m.sa1.running) {
        for (int i = 0; i < 500; i++) vt::sa1_step(m);
    }
    return 0;
}
