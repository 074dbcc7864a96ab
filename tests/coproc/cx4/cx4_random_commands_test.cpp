// Every command and sub-function of the CX4 on random RAM and registers,
// with sprite and wireframe pointers into the cartridge, its RAM window and
// unmapped space: each must finish without reaching outside the chip's
// buffers (the sanitizer build checks every access).
#include "cx4_fixture.h"

#include <random>

namespace vt::test {
namespace {

using Cx4RandomCommandsTest = Cx4Fixture;

TEST_F(Cx4RandomCommandsTest, EveryCommandOnRandomContentsStaysInBounds) {
    std::mt19937 random(0xC4C4);
    auto byte = [&] { return uint8_t(random()); };
    const uint8_t subs[] = {0x00, 0x03, 0x05, 0x07, 0x08, 0x0B, 0x0C, 0x01, 0xFF};
    const uint8_t banks[] = {0x00, 0x02, 0x1F, 0x40, 0x7E, 0xFF};
    for (int round = 0; round < 40; round++) {
        for (int number = 0; number < 256; number++) {
            const bool picture_work = number == 0x00 || number == 0x01;
            const int repeats = picture_work ? int(std::size(subs)) : 1;
            for (int r = 0; r < repeats; r++) {
                for (auto& b : m.cx4.ram) b = byte();
                for (uint16_t a = 0x7F80; a < 0x7FB0; a++) reg8(a, byte());
                reg8(0x7F82, banks[random() % std::size(banks)]);  // wireframe list and point bank
                reg8(0x7F4D, subs[size_t(r)]);
                // Some objects point at definitions in the RAM window or nowhere.
                m.cx4.ram[0x229] = banks[random() % std::size(banks)];
                if (round % 2) {  // the largest pictures and counts
                    reg8(0x7F89, 0xFF);
                    reg8(0x7F8C, 0xFF);
                    reg16(0x7F80, 0xFFFF);
                    ram16(0xB00, 0xFFFF);
                }
                command(uint8_t(number));
            }
        }
    }
    EXPECT_EQ(bus_read(m, 0x00, 0x7F5E), 0x00);
}

}  // namespace
}  // namespace vt::test
