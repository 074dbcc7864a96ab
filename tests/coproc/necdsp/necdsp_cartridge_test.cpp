// The DSP-4 and the ST011 running their own program from the program
// folder: the console's reads and writes reach the NEC core, a state
// carries it, and without a usable file the chips answer as before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "coproc/chips.h"
#include "coproc/dsp/dsp_ports.h"
#include "coproc/necdsp/necdsp_asm.h"
#include "core/debug_target.h"

namespace vt::test {
namespace {

using namespace nec;

std::vector<uint8_t> st011_image() {
    HeaderFields f;
    f.title = "2DAN MORITA SHOUGI";
    auto image = pattern_image(512 * kKiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

// In 8-bit transfers: take a byte, answer it plus RAM word 0, keep the
// answer in RAM word 1.
std::vector<uint32_t> st011_program() {
    return {
        ld(kNecDstSr, kNecSrDrc),                              // 0
        mov(kNecSrcDr, kNecDstNon),                            // 1: ask for a byte
        jp(kJrqm, 2),                                          // 2
        mov(kNecSrcDrnf, kNecDstA),                            // 3
        op({.p = kNecPRam, .alu = kNecAluAdd}),                // 4: + RAM[0]
        ld(kNecDstDp, 1),                                      // 5
        mov(kNecSrcA, kNecDstMem),                             // 6: RAM[1] = answer
        ld(kNecDstDp, 0),                                      // 7
        mov(kNecSrcA, kNecDstDr),                              // 8: answer
        jp(kJrqm, 9),                                          // 9
        jp(kJmp, 1),                                           // 10
    };
}

struct ChipSetup {
    std::vector<uint8_t> image;
    std::string program_name;
    std::vector<uint8_t> program;  // empty: no file
};

// A machine with the log collected, loaded from memory with the program
// folder "/prog".
struct ChipMachine {
    std::unique_ptr<Machine> m = make_machine();
    std::vector<std::string> log;
    MemoryFiles files;
    LoadResult result;

    explicit ChipMachine(const ChipSetup& s) {
        m->host.log = &log;
        m->host.log_line = [](void* l, std::string_view line) {
            static_cast<std::vector<std::string>*>(l)->emplace_back(line);
        };
        files.files["/roms/game.sfc"] = s.image;
        if (!s.program.empty()) files.files["/prog/" + s.program_name] = s.program;
        result = load("/roms/game.sfc");
    }

    LoadResult load(const std::string& path) {
        LoadOptions options;
        options.program_folder = "/prog";
        options.read_file = files.reader();
        return load_gamepak(*m, path, options);
    }
};

ChipSetup dsp4_setup(bool with_program) {
    std::vector<uint8_t> program;
    if (with_program) program = firmware(NecDspModel::Upd7725, plus_one_program());
    return {dsp_image("TOP GEAR 3000"), "dsp4.rom", program};
}

ChipSetup st011_setup(bool with_program) {
    std::vector<uint8_t> program;
    if (with_program) program = firmware(NecDspModel::Upd96050, st011_program());
    return {st011_image(), "st011.rom", program};
}

TEST(NecDspDsp4, TheProgramAnswersThroughThePortsAndAStateCarriesIt) {
    ChipMachine a(dsp4_setup(true));
    ASSERT_EQ(a.m->cart.dsp_variant, 4);
    ASSERT_TRUE(a.m->necdsp.has_firmware);
    EXPECT_TRUE(a.log.empty());
    DspPorts dsp{*a.m};
    EXPECT_EQ(dsp.status(), 0x80);  // powered on and waiting for its first word
    for (uint16_t v : {41, 0xFFFF, 0x1233}) {
        dsp.write16(v);
        EXPECT_EQ(dsp.status(), 0x80);
        EXPECT_EQ(dsp.read16(), uint16_t(v + 1));
    }
    // Half a word written, then a state into a second machine.
    dsp.write8(0x10);
    EXPECT_EQ(dsp.status(), 0x90);
    ChipMachine b(dsp4_setup(true));
    carry_state(*a.m, *b.m);
    DspPorts other{*b.m};
    other.write8(0x02);
    EXPECT_EQ(other.read16(), 0x0211);
    // The console's reset starts the program again.
    dsp.write8(0x00);
    chip_reset(*a.m);
    EXPECT_EQ(a.m->necdsp.pc, 1u);
    dsp.write16(7);
    EXPECT_EQ(dsp.read16(), 8);
    // The debugger shows the core.
    const DebugTarget* t = chip_for(kCoprocDsp).debug_target;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->disassemble(*a.m, 1).text, "JP   JRQM $0001");
}

TEST(NecDspDsp4, WithoutTheFileTheMultiplyAnswersAndTheLogSaysSo) {
    ChipMachine a(dsp4_setup(false));
    EXPECT_FALSE(a.m->necdsp.has_firmware);
    EXPECT_EQ(a.log, (std::vector<std::string>{"dsp4.rom not found: the DSP-4's own program is not run"}));
    DspPorts dsp{*a.m};
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(dsp.run(0x00, {7, 6}, 2)[0], 42);
}

TEST(NecDspDsp4, AFileOfTheWrongSizeIsRefusedWithANote) {
    ChipSetup s = dsp4_setup(true);
    s.program.resize(kUpd7725FirmwareSize + 1);
    ChipMachine a(s);
    EXPECT_TRUE(a.result.loaded());
    EXPECT_FALSE(a.m->necdsp.has_firmware);
    ASSERT_EQ(a.result.notes.size(), 1u);
    EXPECT_EQ(a.result.notes[0],
              "/prog/dsp4.rom: the file has 8193 bytes, the DSP-4's program has 8192; the chip's own program is not run");
    DspPorts dsp{*a.m};
    EXPECT_EQ(dsp.run(0x11, {-3, 4}, 2)[0], uint16_t(-12));
}

TEST(NecDspDsp4, TheProgramStaysWithItsCartridge) {
    ChipMachine a(dsp4_setup(true));
    // A load that fails leaves the running cartridge and its program.
    EXPECT_FALSE(a.load("/roms/missing.sfc").loaded());
    EXPECT_TRUE(a.m->necdsp.has_firmware);
    // Another cartridge drops it.
    a.files.files["/roms/other.sfc"] = dsp_image("TOP GEAR 3000");
    a.files.files.erase("/prog/dsp4.rom");
    ASSERT_TRUE(a.load("/roms/other.sfc").loaded());
    EXPECT_FALSE(a.m->necdsp.has_firmware);
    DspPorts dsp{*a.m};
    EXPECT_EQ(dsp.run(0x00, {5, 5}, 2)[0], 25);
}

TEST(NecDspDsp4, AProgramThatNeverAsksIsLoggedOnce) {
    ChipSetup s = dsp4_setup(false);
    const uint32_t spin[] = {jp(kJmp, 0)};
    s.program = firmware(NecDspModel::Upd7725, spin);
    ChipMachine a(s);
    EXPECT_EQ(a.log, (std::vector<std::string>{"NEC DSP: no request after 1000000 instructions (PC 0000)"}));
    DspPorts dsp{*a.m};
    dsp.write16(1);
    EXPECT_EQ(a.log.size(), 1u);
}

TEST(NecDspSt011, TheProgramAnswersAndItsRamIsTheCoresRam) {
    ChipMachine a(st011_setup(true));
    ASSERT_EQ(a.m->cart.coprocessor, kCoprocSt011);
    ASSERT_TRUE(a.m->necdsp.has_firmware);
    EXPECT_EQ(a.m->necdsp.model, NecDspModel::Upd96050);
    Machine& m = *a.m;
    bus_write(m, 0x68, 0x0000, 0x10);  // RAM word 0 = $0010
    bus_write(m, 0xEF, 0x1001, 0x00);  // the high byte, through a mirror
    EXPECT_EQ(m.necdsp.ram[0], 0x0010);
    for (uint8_t bank : {0x60, 0xE7}) {
        EXPECT_EQ(peek(m, bank, 0x0001), 0x84);  // SR's high byte at odd addresses
        bus_write(m, bank, 0x0000, 0x05);
        EXPECT_EQ(peek(m, bank, 0x4003), 0x84);  // a result waits
        EXPECT_EQ(bus_read(m, bank, 0x0002), 0x15);
        EXPECT_EQ(bus_read(m, 0x6A, 0x0002), 0x15);  // the program's RAM word 1
    }
    // A state carries the core and its RAM.
    bus_write(m, 0x60, 0x0000, 0x20);
    ChipMachine b(st011_setup(true));
    carry_state(m, *b.m);
    EXPECT_EQ(bus_read(*b.m, 0x60, 0x0000), 0x30);
    EXPECT_EQ(bus_read(*b.m, 0x68, 0x0002), 0x30);
}

TEST(NecDspSt011, WithoutTheFileThePortsAnswerAsBefore) {
    ChipMachine a(st011_setup(false));
    EXPECT_EQ(a.log, (std::vector<std::string>{"st011.rom not found: the ST011's own program is not run"}));
    Machine& m = *a.m;
    bus_write(m, 0x60, 0x0000, 0x5A);
    EXPECT_EQ(peek(m, 0x60, 0x0001), kSt011Status);
    EXPECT_EQ(peek(m, 0x60, 0x0000), 0x5A);
    bus_write(m, 0x68, 0x0100, 0xC3);
    EXPECT_EQ(m.st011.ram[0x100], 0xC3);

    ChipSetup s = st011_setup(true);
    s.program.resize(kUpd7725FirmwareSize);  // a DSP's file is not the ST011's
    ChipMachine c(s);
    EXPECT_FALSE(c.m->necdsp.has_firmware);
    EXPECT_EQ(c.result.notes.size(), 1u);
}

}  // namespace
}  // namespace vt::test
