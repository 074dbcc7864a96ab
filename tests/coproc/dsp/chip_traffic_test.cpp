// Random traffic over every window of the DSP family, the SETA chip and
// OBC1: a million reads and writes each must not crash, must leave every
// interpreter able to finish its command, and the chips must still answer
// correctly afterwards.
#include <gtest/gtest.h>

#include <random>

#include "coproc/dsp/dsp_ports.h"

namespace vt::test {
namespace {

struct Window {
    uint8_t first_bank, last_bank;
    uint16_t first, last;
};

std::vector<uint8_t> chip_image(const std::string& title, uint8_t type, bool hirom) {
    HeaderFields f;
    f.title = title;
    f.cart_type = type;
    f.rom_size = 9;
    f.sram_size = 3;
    f.map_mode = hirom ? 0x21 : 0x20;
    auto image = pattern_image(512 * kKiB);
    const size_t header = hirom ? 0xFFC0 : 0x7FC0;
    write_header(image, header, f);
    set_word(image, hirom ? 0xFFFC : 0x7FFC, 0x8000);
    fix_checksum(image, header);
    return image;
}

void random_traffic(Machine& m, const std::vector<Window>& windows, int accesses, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int i = 0; i < accesses; i++) {
        const uint32_t r = rng();
        const Window& w = windows[r % windows.size()];
        const uint8_t bank = uint8_t(w.first_bank + (r >> 4) % (w.last_bank - w.first_bank + 1));
        const uint16_t addr = uint16_t(w.first + rng() % (w.last - w.first + 1));
        if (r & 0x80000000u) {
            bus_write(m, bank, addr, uint8_t(r >> 8));
        } else {
            bus_read(m, bank, addr);
        }
    }
}

bool waiting_for_command(const Machine& m) {
    const DspFamily& f = m.dsp_family;
    return f.port.sr == 0x84 && f.dsp1.phase == Dsp1Phase::Command && f.dsp2.phase == Dsp2Phase::Command &&
           f.dsp3.step == 0;
}

// Transfers of $FF bytes and reads until the chip waits for a command.
bool back_to_command_loop(DspPorts& dsp) {
    for (int i = 0; i < 2000000; i++) {
        if (waiting_for_command(dsp.m)) return true;
        if (i % 3 == 2) dsp.read8(); else dsp.write8(0xFF);
    }
    return false;
}

struct DspCase {
    const char* title;
    bool hirom;
    std::vector<Window> windows;
    DspPorts ports(Machine& m) const {
        return hirom ? DspPorts{m, 0x00, 0x6000, 0x7000} : DspPorts{m, 0x30, 0x8000, 0xC000};
    }
};

TEST(ChipTraffic, DspFamilySurvivesRandomTrafficAndStillAnswers) {
    const std::string dsp3 = std::string("SD") + "\xB6\xDE\xDD\xC0\xDE\xD1" + "GX";
    const std::vector<DspCase> cases = {
        {"DSP ONE", false, {{0x30, 0x3F, 0x8000, 0xFFFF}, {0xB0, 0xBF, 0x8000, 0xFFFF}}},
        {"DSP ONE HI", true, {{0x00, 0x1F, 0x6000, 0x7FFF}, {0x80, 0x9F, 0x6000, 0x7FFF}}},
        {"DUNGEON MASTER", false, {{0x30, 0x3F, 0x8000, 0xFFFF}, {0xB0, 0xBF, 0x8000, 0xFFFF}}},
        {dsp3.c_str(), false, {{0x30, 0x3F, 0x8000, 0xFFFF}, {0xB0, 0xBF, 0x8000, 0xFFFF}}},
    };
    for (const DspCase& c : cases) {
        Loaded l = load_image(chip_image(c.title, 0x03, c.hirom));
        Machine& m = l.m();
        ASSERT_EQ(m.cart.coprocessor, kCoprocDsp);
        // Data port alone (the interpreter's paths), then every address.
        std::vector<Window> data_only = c.windows;
        for (Window& w : data_only) w.last = uint16_t(w.first + (c.hirom ? 0x0FFF : 0x3FFF));
        random_traffic(m, data_only, 1000000, 1);
        random_traffic(m, c.windows, 1000000, 2);
        DspPorts dsp = c.ports(m);
        ASSERT_TRUE(back_to_command_loop(dsp)) << c.hirom << c.windows[0].first_bank << " " << int(m.cart.dsp_variant);
        // A state saved now loads, and the chip goes on answering.
        Loaded other = load_image(chip_image(c.title, 0x03, c.hirom));
        carry_state(m, other.m());
        DspPorts again = c.ports(other.m());
        EXPECT_EQ(again.status(), 0x84) << c.title;
    }
}

TEST(ChipTraffic, SetaAndObc1SurviveRandomTraffic) {
    Loaded seta = load_image(chip_image("F1 ROC II", 0x00, false));
    Machine& s = seta.m();
    ASSERT_EQ(s.cart.coprocessor, kCoprocSt010);
    // Low RAM offsets more often, so the command bytes are hit.
    random_traffic(s, {{0x68, 0x6F, 0x0000, 0x00FF}, {0xE8, 0xEF, 0x0000, 0x7FFF}}, 1000000, 3);
    bus_write(s, 0x68, 0x00, 0);
    bus_write(s, 0x68, 0x01, 0);
    bus_write(s, 0x68, 0x02, 5);
    bus_write(s, 0x68, 0x03, 0);
    bus_write(s, 0x68, 0x20, 1);
    bus_write(s, 0x68, 0x21, 0x80);
    EXPECT_EQ(bus_read(s, 0x68, 0x11), 0x80);  // the angle of (0, 5) is $8000

    Loaded obc1 = load_image(chip_image("OBC1 TRAFFIC", 0x25, false));
    Machine& o = obc1.m();
    ASSERT_EQ(o.cart.coprocessor, kCoprocObc1);
    random_traffic(o,
                   {{0x00, 0x3F, 0x7F00, 0x7FFF}, {0x80, 0xBF, 0x6000, 0x7FFF}, {0x70, 0x71, 0x0000, 0x7FFF},
                    {0xF0, 0xF1, 0x0000, 0x7FFF}},
                   1000000, 4);
    bus_write(o, 0x00, 0x7FF6, 0x03);
    bus_write(o, 0x00, 0x7FF1, 0x42);
    EXPECT_EQ(bus_read(o, 0x00, 0x7FF1), 0x42);
    EXPECT_LE(o.obc1.index, 0x7F);
}

}  // namespace
}  // namespace vt::test
