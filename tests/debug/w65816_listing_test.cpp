// The 65816 line of the debugger: every opcode in every register width,
// grouped by addressing mode, with the texts written out here from the
// console's opcode map; effective addresses; the follow-flags walk.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "debug/w65816_listing.h"

namespace vt {
namespace {

// 16 MiB of plain memory, read by the disassembler's peek.
struct Memory {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(0x1000000, 0);
    void put(uint32_t address, std::initializer_list<uint8_t> values) {
        for (uint8_t v : values) bytes[address++ & 0xFFFFFF] = v;
    }
    auto peek() const {
        return [this](uint32_t a) { return int(bytes[a & 0xFFFFFF]); };
    }
};

enum class Width { M16X16, M16X8, M8X16, M8X8, Emulation };
constexpr Width kWidths[] = {Width::M16X16, Width::M16X8, Width::M8X16, Width::M8X8, Width::Emulation};

W65816DecodeState registers_for(Width w) {
    W65816DecodeState r;
    r.e = w == Width::Emulation ? 1 : 0;
    r.p = 0x00;
    if (w == Width::M8X16 || w == Width::M8X8 || w == Width::Emulation) r.p |= 0x20;
    if (w == Width::M16X8 || w == Width::M8X8 || w == Width::Emulation) r.p |= 0x10;
    return r;
}
bool m16(Width w) { return w == Width::M16X16 || w == Width::M16X8; }
bool x16(Width w) { return w == Width::M16X16 || w == Width::M8X16; }

// The instruction sits at $02:9abc followed by the bytes $12 $34 $56.
constexpr uint32_t kAt = 0x029ABC;

std::string line_at(const Memory& mem, Width w, EffectiveAddress* ea = nullptr) {
    W65816Listing l;
    l.pc = kAt;
    l.regs = registers_for(w);
    return w65816_disassemble_text(mem.peek(), l, ea);
}

struct Group {
    const char* mode;
    std::vector<std::pair<uint8_t, const char*>> opcodes;
    // The operand text for a register width.
    std::string (*operand)(Width w);
};

std::string none(Width) { return ""; }

// Every opcode of the 65816, once, by addressing mode.
const std::vector<Group>& groups() {
    static const std::vector<Group> kGroups = {
        {"implied and accumulator",
         {{0x08, "php"}, {0x0A, "asl"}, {0x0B, "phd"}, {0x18, "clc"}, {0x1A, "ina"}, {0x1B, "tcs"}, {0x28, "plp"},
          {0x2A, "rol"}, {0x2B, "pld"}, {0x38, "sec"}, {0x3A, "dea"}, {0x3B, "tsc"}, {0x40, "rti"}, {0x48, "pha"},
          {0x4A, "lsr"}, {0x4B, "phk"}, {0x58, "cli"}, {0x5A, "phy"}, {0x5B, "tcd"}, {0x60, "rts"}, {0x68, "pla"},
          {0x6A, "ror"}, {0x6B, "rtl"}, {0x78, "sei"}, {0x7A, "ply"}, {0x7B, "tdc"}, {0x88, "dey"}, {0x8A, "txa"},
          {0x8B, "phb"}, {0x98, "tya"}, {0x9A, "txs"}, {0x9B, "txy"}, {0xA8, "tay"}, {0xAA, "tax"}, {0xAB, "plb"},
          {0xB8, "clv"}, {0xBA, "tsx"}, {0xBB, "tyx"}, {0xC8, "iny"}, {0xCA, "dex"}, {0xCB, "wai"}, {0xD8, "cld"},
          {0xDA, "phx"}, {0xDB, "stp"}, {0xE8, "inx"}, {0xEA, "nop"}, {0xEB, "xba"}, {0xF8, "sed"}, {0xFA, "plx"},
          {0xFB, "xce"}},
         &none},
        {"immediate, accumulator width",
         {{0x09, "ora"}, {0x29, "and"}, {0x49, "eor"}, {0x69, "adc"}, {0x89, "bit"}, {0xA9, "lda"}, {0xC9, "cmp"},
          {0xE9, "sbc"}},
         [](Width w) { return std::string(m16(w) ? "#$3412" : "#$12"); }},
        {"immediate, index width",
         {{0xA0, "ldy"}, {0xA2, "ldx"}, {0xC0, "cpy"}, {0xE0, "cpx"}},
         [](Width w) { return std::string(x16(w) ? "#$3412" : "#$12"); }},
        {"immediate, always 8-bit",
         {{0x00, "brk"}, {0x02, "cop"}, {0x42, "wdm"}, {0xC2, "rep"}, {0xE2, "sep"}},
         [](Width) { return std::string("#$12"); }},
        {"direct page",
         {{0x04, "tsb"}, {0x05, "ora"}, {0x06, "asl"}, {0x14, "trb"}, {0x24, "bit"}, {0x25, "and"}, {0x26, "rol"},
          {0x45, "eor"}, {0x46, "lsr"}, {0x64, "stz"}, {0x65, "adc"}, {0x66, "ror"}, {0x84, "sty"}, {0x85, "sta"},
          {0x86, "stx"}, {0xA4, "ldy"}, {0xA5, "lda"}, {0xA6, "ldx"}, {0xC4, "cpy"}, {0xC5, "cmp"}, {0xC6, "dec"},
          {0xE4, "cpx"}, {0xE5, "sbc"}, {0xE6, "inc"}},
         [](Width) { return std::string("$12"); }},
        {"direct page, X",
         {{0x15, "ora"}, {0x16, "asl"}, {0x34, "bit"}, {0x35, "and"}, {0x36, "rol"}, {0x55, "eor"}, {0x56, "lsr"},
          {0x74, "stz"}, {0x75, "adc"}, {0x76, "ror"}, {0x94, "sty"}, {0x95, "sta"}, {0xB4, "ldy"}, {0xB5, "lda"},
          {0xD5, "cmp"}, {0xD6, "dec"}, {0xF5, "sbc"}, {0xF6, "inc"}},
         [](Width) { return std::string("$12,x"); }},
        {"direct page, Y", {{0x96, "stx"}, {0xB6, "ldx"}}, [](Width) { return std::string("$12,y"); }},
        {"direct page indirect",
         {{0x12, "ora"}, {0x32, "and"}, {0x52, "eor"}, {0x72, "adc"}, {0x92, "sta"}, {0xB2, "lda"}, {0xD2, "cmp"},
          {0xF2, "sbc"}},
         [](Width) { return std::string("($12)"); }},
        {"direct page indirect long",
         {{0x07, "ora"}, {0x27, "and"}, {0x47, "eor"}, {0x67, "adc"}, {0x87, "sta"}, {0xA7, "lda"}, {0xC7, "cmp"},
          {0xE7, "sbc"}},
         [](Width) { return std::string("[$12]"); }},
        {"direct page indexed indirect",
         {{0x01, "ora"}, {0x21, "and"}, {0x41, "eor"}, {0x61, "adc"}, {0x81, "sta"}, {0xA1, "lda"}, {0xC1, "cmp"},
          {0xE1, "sbc"}},
         [](Width) { return std::string("($12,x)"); }},
        {"direct page indirect indexed",
         {{0x11, "ora"}, {0x31, "and"}, {0x51, "eor"}, {0x71, "adc"}, {0x91, "sta"}, {0xB1, "lda"}, {0xD1, "cmp"},
          {0xF1, "sbc"}},
         [](Width) { return std::string("($12),y"); }},
        {"direct page indirect long indexed",
         {{0x17, "ora"}, {0x37, "and"}, {0x57, "eor"}, {0x77, "adc"}, {0x97, "sta"}, {0xB7, "lda"}, {0xD7, "cmp"},
          {0xF7, "sbc"}},
         [](Width) { return std::string("[$12],y"); }},
        {"stack relative",
         {{0x03, "ora"}, {0x23, "and"}, {0x43, "eor"}, {0x63, "adc"}, {0x83, "sta"}, {0xA3, "lda"}, {0xC3, "cmp"},
          {0xE3, "sbc"}},
         [](Width) { return std::string("$12,s"); }},
        {"stack relative indirect indexed",
         {{0x13, "ora"}, {0x33, "and"}, {0x53, "eor"}, {0x73, "adc"}, {0x93, "sta"}, {0xB3, "lda"}, {0xD3, "cmp"},
          {0xF3, "sbc"}},
         [](Width) { return std::string("($12,s),y"); }},
        {"absolute",
         {{0x0C, "tsb"}, {0x0D, "ora"}, {0x0E, "asl"}, {0x1C, "trb"}, {0x20, "jsr"}, {0x2C, "bit"}, {0x2D, "and"},
          {0x2E, "rol"}, {0x4C, "jmp"}, {0x4D, "eor"}, {0x4E, "lsr"}, {0x6D, "adc"}, {0x6E, "ror"}, {0x8C, "sty"},
          {0x8D, "sta"}, {0x8E, "stx"}, {0x9C, "stz"}, {0xAC, "ldy"}, {0xAD, "lda"}, {0xAE, "ldx"}, {0xCC, "cpy"},
          {0xCD, "cmp"}, {0xCE, "dec"}, {0xEC, "cpx"}, {0xED, "sbc"}, {0xEE, "inc"}, {0xF4, "pea"}},
         [](Width) { return std::string("$3412"); }},
        {"absolute, X",
         {{0x1D, "ora"}, {0x1E, "asl"}, {0x3C, "bit"}, {0x3D, "and"}, {0x3E, "rol"}, {0x5D, "eor"}, {0x5E, "lsr"},
          {0x7D, "adc"}, {0x7E, "ror"}, {0x9D, "sta"}, {0x9E, "stz"}, {0xBC, "ldy"}, {0xBD, "lda"}, {0xDD, "cmp"},
          {0xDE, "dec"}, {0xFD, "sbc"}, {0xFE, "inc"}},
         [](Width) { return std::string("$3412,x"); }},
        {"absolute, Y",
         {{0x19, "ora"}, {0x39, "and"}, {0x59, "eor"}, {0x79, "adc"}, {0x99, "sta"}, {0xB9, "lda"}, {0xBE, "ldx"},
          {0xD9, "cmp"}, {0xF9, "sbc"}},
         [](Width) { return std::string("$3412,y"); }},
        {"absolute long",
         {{0x0F, "ora"}, {0x22, "jsl"}, {0x2F, "and"}, {0x4F, "eor"}, {0x5C, "jmp"}, {0x6F, "adc"}, {0x8F, "sta"},
          {0xAF, "lda"}, {0xCF, "cmp"}, {0xEF, "sbc"}},
         [](Width) { return std::string("$563412"); }},
        {"absolute long, X",
         {{0x1F, "ora"}, {0x3F, "and"}, {0x5F, "eor"}, {0x7F, "adc"}, {0x9F, "sta"}, {0xBF, "lda"}, {0xDF, "cmp"},
          {0xFF, "sbc"}},
         [](Width) { return std::string("$563412,x"); }},
        // $9abc + 2 + $12
        {"relative",
         {{0x10, "bpl"}, {0x30, "bmi"}, {0x50, "bvc"}, {0x70, "bvs"}, {0x80, "bra"}, {0x90, "bcc"}, {0xB0, "bcs"},
          {0xD0, "bne"}, {0xF0, "beq"}},
         [](Width) { return std::string("$9ad0"); }},
        // $9abc + 3 + $3412 = $ced1
        {"relative long", {{0x62, "per"}, {0x82, "brl"}}, [](Width) { return std::string("$ced1"); }},
        {"absolute indirect", {{0x6C, "jmp"}, {0xDC, "jml"}}, [](Width) { return std::string("($3412)"); }},
        {"absolute indexed indirect", {{0x7C, "jmp"}, {0xFC, "jsr"}}, [](Width) { return std::string("($3412,x)"); }},
        {"block move", {{0x44, "mvp"}, {0x54, "mvn"}}, [](Width) { return std::string("$12,$34"); }},
        {"push effective indirect", {{0xD4, "pei"}}, [](Width) { return std::string("($12)"); }},
    };
    return kGroups;
}

TEST(W65816Line, GroupsCoverEveryOpcodeOnce) {
    std::set<int> seen;
    for (const Group& g : groups()) {
        for (const auto& [code, name] : g.opcodes) EXPECT_TRUE(seen.insert(code).second) << std::hex << int(code);
    }
    EXPECT_EQ(seen.size(), 256u);
}

TEST(W65816Line, EveryOpcodeInEveryWidth) {
    for (const Group& g : groups()) {
        for (const auto& [code, name] : g.opcodes) {
            for (Width w : kWidths) {
                Memory mem;
                mem.put(kAt, {code, 0x12, 0x34, 0x56});
                const std::string expected = std::string("029abc ") + name + "     " + g.operand(w);
                EXPECT_EQ(line_at(mem, w), expected) << g.mode << ", width " << int(w);
            }
        }
    }
}

TEST(W65816Line, ImmediateLengthFollowsTheWidthsAndTheCopyStepsOverIt) {
    Memory mem;
    mem.put(0x008000, {0xA9, 0x34, 0x12, 0xEA});
    W65816Listing l;
    l.pc = 0x008000;
    l.regs = registers_for(Width::M16X16);
    EXPECT_EQ(w65816_disassemble_text(mem.peek(), l), "008000 lda     #$1234");
    EXPECT_EQ(l.pc, 0x008003u);
    l.pc = 0x008000;
    l.regs = registers_for(Width::M8X8);
    EXPECT_EQ(w65816_disassemble_text(mem.peek(), l), "008000 lda     #$34");
    EXPECT_EQ(l.pc, 0x008002u);
}

TEST(W65816Line, BranchTargetsWrapWithinTheBank) {
    struct Case {
        uint32_t at;
        std::initializer_list<uint8_t> code;
        const char* line;
    };
    const Case cases[] = {
        {0x008000, {0xD0, 0xFE}, "008000 bne     $8000"},        // to itself
        {0x00FFF0, {0x80, 0x20}, "00fff0 bra     $0012"},        // past $FFFF
        {0x7E0005, {0x10, 0x80}, "7e0005 bpl     $ff87"},        // backwards past $0000
        {0x018000, {0x82, 0x00, 0x80}, "018000 brl     $0003"},  // 16-bit offset wraps
    };
    for (const Case& c : cases) {
        Memory mem;
        mem.put(c.at, c.code);
        W65816Listing l;
        l.pc = c.at;
        EXPECT_EQ(w65816_disassemble_text(mem.peek(), l), c.line);
    }
}

TEST(W65816Line, OperandBytesFollowWithinTheBank) {
    Memory mem;
    mem.put(0x01FFFF, {0xAD});
    mem.put(0x010000, {0x34, 0x12});
    W65816Listing l;
    l.pc = 0x01FFFF;
    EXPECT_EQ(w65816_disassemble_text(mem.peek(), l), "01ffff lda     $1234");
    EXPECT_EQ(l.pc, 0x010002u);
}

// The effective-address record: direct page in bank 0 with 16-bit
// wraparound, indexing, pointers read from memory, the data bank.
TEST(W65816Line, EffectiveAddresses) {
    struct Case {
        const char* what;
        std::initializer_list<uint8_t> code;
        uint16_t d, x, y, s;
        uint8_t dbr;
        bool native;
        bool present;
        uint8_t bank;
        uint16_t address;
    };
    const Case cases[] = {
        {"dp", {0xA5, 0x10}, 0x1200, 0, 0, 0x1FF, 0x7E, true, true, 0x00, 0x1210},
        {"dp wraps at 16 bits", {0xA5, 0x10}, 0xFFF8, 0, 0, 0x1FF, 0, true, true, 0x00, 0x0008},
        {"dp,x", {0xB5, 0x10}, 0x1200, 0x0101, 0, 0x1FF, 0, true, true, 0x00, 0x1311},
        {"dp,x in emulation mode with DL 0 wraps in the page", {0xB5, 0xFF}, 0x0100, 2, 0, 0x1FF, 0, false, true, 0x00,
         0x0101},
        {"(dp),y through the pointer at $0010", {0xB1, 0x10}, 0, 0, 0x0010, 0x1FF, 0x7E, true, true, 0x7E, 0x2010},
        {"[dp] through the long pointer", {0xA7, 0x14}, 0, 0, 0, 0x1FF, 0, true, true, 0x12, 0x3456},
        {"abs with the data bank", {0xAD, 0x00, 0x21}, 0, 0, 0, 0x1FF, 0x80, true, true, 0x80, 0x2100},
        {"abs,y carries into the bank", {0xB9, 0xF0, 0xFF}, 0, 0, 0x20, 0x1FF, 0x7E, true, true, 0x7F, 0x0010},
        {"long,x", {0xBF, 0x00, 0x00, 0x7E}, 0, 0x10, 0, 0x1FF, 0, true, true, 0x7E, 0x0010},
        {"stack relative", {0xA3, 0x03}, 0, 0, 0, 0x1FF0, 0, true, true, 0x00, 0x1FF3},
        {"implied: none", {0xEA}, 0, 0, 0, 0x1FF, 0, true, false, 0, 0},
        {"immediate: none", {0xA9, 0x01}, 0, 0, 0, 0x1FF, 0, true, false, 0, 0},
        {"jump: none", {0x4C, 0x00, 0x80}, 0, 0, 0, 0x1FF, 0, true, false, 0, 0},
    };
    for (const Case& c : cases) {
        Memory mem;
        mem.put(0x008000, c.code);
        mem.put(0x000010, {0x00, 0x20});        // pointer $2000
        mem.put(0x000014, {0x56, 0x34, 0x12});  // long pointer $12:3456
        W65816Listing l;
        l.pc = 0x008000;
        l.regs = registers_for(c.native ? Width::M8X16 : Width::Emulation);
        l.regs.d = c.d;
        l.regs.x = c.x;
        l.regs.y = c.y;
        l.regs.s = c.s;
        l.regs.dbr = c.dbr;
        EffectiveAddress ea;
        w65816_disassemble_text(mem.peek(), l, &ea);
        EXPECT_EQ(ea.present, c.present) << c.what;
        if (c.present) {
            EXPECT_EQ(ea.bank, c.bank) << c.what;
            EXPECT_EQ(ea.address, c.address) << c.what;
        }
    }
}

// A listing follows the flags: CLC/XCE into native mode, REP #$30, then
// 16-bit immediates; SEC/XCE back into emulation mode makes them 8-bit.
TEST(W65816Line, ListingFollowsTheFlags) {
    Memory mem;
    mem.put(0x008000, {0x18, 0xFB, 0xC2, 0x30, 0xA9, 0x34, 0x12, 0xA2, 0x78, 0x56, 0xE2, 0x20, 0xA9, 0x01, 0x38, 0xFB,
                       0xA2, 0x02, 0xEA});
    W65816Listing l;
    l.pc = 0x008000;
    l.follow_flags = true;
    const std::vector<std::string> expected = {
        "008000 clc     ",        "008001 xce     ",        "008002 rep     #$30", "008004 lda     #$1234",
        "008007 ldx     #$5678",  "00800a sep     #$20",    "00800c lda     #$01", "00800e sec     ",
        "00800f xce     ",        "008010 ldx     #$02",    "008012 nop     ",
    };
    for (const std::string& line : expected) EXPECT_EQ(w65816_disassemble_text(mem.peek(), l), line);

    // Without following, the walk keeps the widths it started with.
    W65816Listing fixed;
    fixed.pc = 0x008004;
    EXPECT_EQ(w65816_disassemble_text(mem.peek(), fixed), "008004 lda     #$34");
}

}  // namespace
}  // namespace vt
