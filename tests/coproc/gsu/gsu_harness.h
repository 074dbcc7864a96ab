// A Super FX cartridge with GSU code poked into its ROM: the tests start the
// GSU through its registers as the main CPU would and run it instruction by
// instruction.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "cart/bus.h"
#include "cart/loader_support.h"
#include "coproc/gsu/gsu.h"
#include "core/machine.h"

namespace vt::test {

// GSU code as bytes; helpers for the multi-byte and prefixed forms.
using Code = std::vector<uint8_t>;
inline Code operator+(Code a, const Code& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline Code iwt(int r, uint16_t v) { return {uint8_t(0xF0 + r), uint8_t(v), uint8_t(v >> 8)}; }
inline Code ibt(int r, uint8_t v) { return {uint8_t(0xA0 + r), v}; }
inline Code alt1(uint8_t op) { return {0x3D, op}; }
inline Code alt2(uint8_t op) { return {0x3E, op}; }
inline Code alt3(uint8_t op) { return {0x3F, op}; }
inline constexpr uint8_t kStop = 0x00, kNop = 0x01;

class GsuMachine {
public:
    static constexpr uint8_t kCodeBank = 0x40;  // linear ROM bank

    explicit GsuMachine(uint8_t cart_type = 0x1A, size_t rom_kib = 1024)
        : loaded_(load_image(super_fx_image(cart_type, rom_kib))) {}

    Machine& m() { return loaded_.m(); }
    Gsu& gsu() { return m().gsu; }

    static std::vector<uint8_t> super_fx_image(uint8_t cart_type, size_t rom_kib) {
        HeaderFields f;
        f.cart_type = cart_type;
        f.rom_size = rom_kib > 1024 ? 0x0B : 0x0A;
        auto image = pattern_image(rom_kib * kKiB);
        write_header(image, 0x7FC0, f);
        set_word(image, 0xFFFC, 0x8000);
        fix_checksum(image, 0x7FC0);
        return image;
    }

    // Byte `addr` of the GSU's view of bank $40 (the ROM buffer slot).
    uint8_t& rom(uint16_t addr, uint8_t bank = kCodeBank) {
        return m().cart.rom[size_t(bank) * kRomSlotSize + addr];
    }
    uint8_t& ram(uint32_t offset) { return m().cart.sram[offset & kGsuRamMask]; }

    void write_reg(uint16_t addr, uint8_t v) { bus_write(m(), 0x00, addr, v); }
    uint8_t read_reg(uint16_t addr) { return bus_read(m(), 0x00, addr); }
    void set_r(int n, uint16_t v) {
        write_reg(uint16_t(0x3000 + 2 * n), uint8_t(v));
        write_reg(uint16_t(0x3001 + 2 * n), uint8_t(v >> 8));
    }

    // Places code at `at` in bank $40 and starts the GSU there: PBR, RON,
    // then R15 (high byte last).
    void start(const Code& code, uint16_t at = 0x1000) {
        for (size_t i = 0; i < code.size(); i++) rom(uint16_t(at + i)) = code[i];
        write_reg(0x3034, kCodeBank);
        write_reg(0x303A, uint8_t(gsu().scmr | kScmrRon));
        set_r(15, at);
        first_ = 1;
    }

    // Runs `n` instructions of the program (the NOP primed by the start is
    // run first and not counted).
    // Returns the program instructions executed (fewer at a STOP).
    int run(int n) {
        int done = gsu_run(m(), n + first_) - first_;
        first_ = 0;
        return done;
    }
    int run_until_stop() { return run(1000000); }

    uint16_t r(int n) { return gsu().r[size_t(n)]; }
    bool flag(uint16_t bit) { return (gsu().sfr & bit) != 0; }

private:
    Loaded loaded_;
    int first_ = 0;
};

}  // namespace vt::test
