// The boot ROM's upload protocol, driven from the main CPU's side of the
// ports as console software does: wait for $BBAA, send each block's address
// and bytes with an echoed counter, then the start address.
#include <gtest/gtest.h>

#include <vector>

#include "audio/apu.h"
#include "core/machine.h"

namespace vt::test {
namespace {

class BootUpload {
public:
    explicit BootUpload(Machine& m) : m_(m) {}

    // Runs the audio CPU for a while, as the main CPU would while polling.
    void let_audio_run(int cycles = 40) {
        const uint32_t target = m_.apu.cycles + uint32_t(cycles);
        while (int32_t(m_.apu.cycles - target) < 0) spc700_step(m_);
    }

    uint8_t read(int port) { return apu_port_read(m_, 0, uint16_t(0x2140 + port)); }
    void write(int port, uint8_t v) { apu_port_write(m_, 0, uint16_t(0x2140 + port), v); }

    // Polls port 0 until it shows the value; false if it never does.
    bool wait_port0(uint8_t value) {
        for (int i = 0; i < 10000; i++) {
            if (read(0) == value) return true;
            let_audio_run();
        }
        return false;
    }

    bool wait_ready() {
        for (int i = 0; i < 10000; i++) {
            if (read(0) == 0xAA && read(1) == 0xBB) return true;
            let_audio_run();
        }
        return false;
    }

    // Sends one block. The first block is announced with $CC, later ones
    // with the last counter + 2 (never 0).
    bool send_block(uint16_t address, const std::vector<uint8_t>& bytes) {
        write(2, uint8_t(address));
        write(3, uint8_t(address >> 8));
        write(1, 1);  // a block follows
        write(0, next_kick());
        if (!wait_port0(kick_)) return false;
        for (size_t i = 0; i < bytes.size(); i++) {
            write(1, bytes[i]);
            write(0, uint8_t(i));
            if (!wait_port0(uint8_t(i))) return false;
        }
        counter_ = uint8_t(bytes.size() - 1);
        return true;
    }

    bool start(uint16_t address) {
        write(2, uint8_t(address));
        write(3, uint8_t(address >> 8));
        write(1, 0);  // no block: jump
        write(0, next_kick());
        return wait_port0(kick_);
    }

private:
    uint8_t next_kick() {
        if (first_) {
            first_ = false;
            kick_ = 0xCC;
        } else {
            kick_ = uint8_t(counter_ + 2);
            if (kick_ == 0) kick_ = 1;
        }
        return kick_;
    }

    Machine& m_;
    bool first_ = true;
    uint8_t kick_ = 0;
    uint8_t counter_ = 0;
};

TEST(BootRom, ClearsDirectPageAndSignalsReady) {
    auto machine = make_machine();
    Machine& m = *machine;
    apu_power_on(m);
    BootUpload up(m);
    ASSERT_TRUE(up.wait_ready());
    // The ROM cleared $01-$EF (the power-on pattern had $FF runs there).
    for (int a = 0x01; a <= 0xEF; a++) ASSERT_EQ(m.apu.ram[a], 0) << a;
    EXPECT_EQ(m.apu.sp, 0xEF);
}

TEST(BootRom, UploadsBlocksAndStartsTheProgram) {
    auto machine = make_machine();
    Machine& m = *machine;
    apu_power_on(m);
    BootUpload up(m);
    ASSERT_TRUE(up.wait_ready());

    // Program: answer $5A on port 0, then forever copy port 1 + 1 to port 1.
    const std::vector<uint8_t> program = {
        0x8F, 0x5A, 0xF4,  // MOV $F4, #$5A
        0xE4, 0xF5,        // loop: MOV A, $F5
        0xBC,              // INC A
        0xC4, 0xF5,        // MOV $F5, A
        0x2F, 0xF9,        // BRA loop
    };
    // A data block longer than 256 bytes exercises the counter wrap.
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); i++) data[i] = uint8_t(i * 7 + 3);

    ASSERT_TRUE(up.send_block(0x0300, program));
    ASSERT_TRUE(up.send_block(0x1000, data));
    ASSERT_TRUE(up.start(0x0300));

    for (size_t i = 0; i < program.size(); i++) EXPECT_EQ(m.apu.ram[0x0300 + i], program[i]);
    for (size_t i = 0; i < data.size(); i++) ASSERT_EQ(m.apu.ram[0x1000 + i], data[i]) << i;

    ASSERT_TRUE(up.wait_port0(0x5A));
    up.write(1, 0x41);
    up.let_audio_run(200);
    EXPECT_EQ(up.read(1), 0x42);
    EXPECT_GE(m.apu.pc, 0x0300);
    EXPECT_LT(m.apu.pc, 0x0300 + program.size());
}

}  // namespace
}  // namespace vt::test
