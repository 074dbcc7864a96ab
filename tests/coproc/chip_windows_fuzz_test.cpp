// Random reads, writes and peeks over the whole address space, weighted
// towards the cartridge chips' windows, for every chip kind of the chip
// table and the special cartridges: nothing may crash or reach outside a
// buffer (the sanitizer build runs this too), and a peek gives a byte or
// kNotReadable.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cart/cartridge_map.h"
#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "core/driver.h"

namespace vt::test {
namespace {

struct Variant {
    const char* label;
    uint8_t kind;
    std::string title;
    uint8_t cart_type;
    uint8_t map_mode;
    uint8_t sram_size;
    size_t image_size;
};

// One cartridge per chip kind (the DSP in each variant) and the special
// cartridges recognised by title.
const std::vector<Variant>& variants() {
    static const std::vector<Variant> v = {
        {"plain", kCoprocNone, "SYNTHETIC TEST", 0x00, 0x20, 0, 512 * kKiB},
        {"memory pack", kCoprocBsx, "SYNTHETIC TEST", 0x00, 0x20, 0x20, 1 * kMiB},
        {"cx4", kCoprocCx4, "SYNTHETIC TEST", 0xF3, 0x20, 0, 1 * kMiB},
        {"dsp1", kCoprocDsp, "SYNTHETIC TEST", 0x03, 0x20, 0, 1 * kMiB},
        {"dsp2", kCoprocDsp, "DUNGEON MASTER", 0x05, 0x20, 1, 512 * kKiB},
        {"dsp3", kCoprocDsp, "SD\xB6\xDE\xDD\xC0\xDE\xD1GX", 0x03, 0x20, 0, 1 * kMiB},
        {"dsp4", kCoprocDsp, "TOP GEAR 3000", 0x03, 0x20, 0, 1 * kMiB},
        {"obc1", kCoprocObc1, "SYNTHETIC TEST", 0x25, 0x20, 3, 1 * kMiB},
        {"sa1", kCoprocSa1, "SYNTHETIC TEST", 0x35, 0x23, 3, 1 * kMiB},
        {"sdd1", kCoprocSdd1, "SYNTHETIC TEST", 0x45, 0x32, 3, 4 * kMiB},
        {"super fx", kCoprocSuperFx, "SYNTHETIC TEST", 0x1A, 0x20, 5, 1 * kMiB},
        {"spc7110", kCoprocSpc7110, "SYNTHETIC TEST", 0xF9, 0x21, 3, 3 * kMiB},
        {"srtc", kCoprocSrtc, "SYNTHETIC TEST", 0x55, 0x20, 1, 512 * kKiB},
        {"st010", kCoprocSt010, "F1 ROC II", 0x00, 0x20, 0, 1 * kMiB},
        {"st011", kCoprocSt011, "2DAN MORITA SHOUGI", 0x00, 0x20, 0, 512 * kKiB},
        {"st018", kCoprocSt018, "NIDAN MORITASHOGI2", 0x00, 0x20, 0, 2 * kMiB},
        {"satellaview base", kCoprocBsxBase, "Satellaview BS-X", 0x00, 0x20, 0, 1 * kMiB},
        {"xband", kCoprocXband, "XBAND VIDEOGAME MODEM", 0x00, 0x20, 0, 1 * kMiB},
        {"super ufo", kCoprocNone, "SUPER UFO PRO-8 1995", 0x00, 0x20, 0, 512 * kKiB},
        {"super game boy", kCoprocSuperGameBoy, "Super GAMEBOY", 0x00, 0x20, 0, 256 * kKiB},
    };
    return v;
}

// A LoROM image (header at $7FC0) with the variant's fields.
std::vector<uint8_t> variant_image(const Variant& v) {
    auto image = pattern_image(v.image_size);
    HeaderFields f;
    f.title = v.title;
    f.cart_type = v.cart_type;
    f.map_mode = v.map_mode;
    f.sram_size = v.sram_size;
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

Loaded load_variant(const Variant& v) {
    Loaded l = load_image(variant_image(v));
    Machine& m = l.m();
    // A kind no header rule selects is put in place by hand.
    if (m.cart.coprocessor != v.kind) {
        m.cart.coprocessor = v.kind;
        chip_power_on(m);
        build_cartridge_map(m);
        machine_reset(m);
    }
    return l;
}

// Addresses: half anywhere, half in the system banks' $3000-$7FFF where
// most chips keep their registers.
void random_accesses(Machine& m, std::mt19937& rng, int count) {
    for (int i = 0; i < count; i++) {
        const uint32_t r = rng();
        const uint8_t bank = uint8_t(r);
        uint16_t addr = uint16_t(r >> 8);
        if (r & 0x80000000u) addr = uint16_t(0x3000 + (addr % 0x5000));
        switch ((r >> 24) & 3) {
            case 0:
            case 1:
                bus_read(m, bank, addr);
                break;
            case 2:
                bus_write(m, bank, addr, uint8_t(rng()));
                break;
            case 3: {
                const int peeked = bus_peek(m, bank, addr);
                ASSERT_GE(peeked, kNotReadable);
                ASSERT_LE(peeked, 0xFF);
                break;
            }
        }
    }
}

// A general DMA from a random place into work RAM, with every chip's
// DMA-watching enabled where the chip has such a register.
void random_dma(Machine& m, std::mt19937& rng) {
    bus_write(m, 0x00, 0x4801, 0xFF);
    bus_write(m, 0x00, 0x4300, 0x00);
    bus_write(m, 0x00, 0x4301, 0x80);
    bus_write(m, 0x00, 0x4302, uint8_t(rng()));
    bus_write(m, 0x00, 0x4303, uint8_t(rng()));
    bus_write(m, 0x00, 0x4304, uint8_t(rng()));
    bus_write(m, 0x00, 0x4305, uint8_t(rng()));
    bus_write(m, 0x00, 0x4306, uint8_t(rng() & 0x0F));
    bus_write(m, 0x00, 0x420B, 0x01);
    for (int steps = 0; (m.sysregs.mdmaen || m.dma.running) && steps < 100000; steps++) dma_step(m);
}

TEST(ChipWindowsFuzz, AMillionRandomAccessesOverEveryChipsWindowsStayInBounds) {
    // Every row of the chip table has a cartridge here.
    for (const Chip& chip : all_chips()) {
        bool covered = false;
        for (const Variant& v : variants()) covered |= v.kind == chip.kind;
        EXPECT_TRUE(covered) << "no cartridge for chip " << chip.name;
    }
    constexpr int kAccessesPerVariant = 60000;
    int total = 0;
    for (const Variant& v : variants()) {
        SCOPED_TRACE(v.label);
        Loaded l = load_variant(v);
        Machine& m = l.m();
        ASSERT_EQ(m.cart.coprocessor, v.kind);
        std::mt19937 rng(uint32_t(total + 1));
        for (int round = 0; round < 4; round++) {
            random_accesses(m, rng, kAccessesPerVariant / 4);
            if (testing::Test::HasFatalFailure()) return;
            random_dma(m, rng);
        }
        total += kAccessesPerVariant;
        // The chip's slices and catch-ups still run after all that.
        run_frame(m);
        machine_reset(m);
        run_frame(m);
    }
    EXPECT_GE(total, 1000000);
}

}  // namespace
}  // namespace vt::test
