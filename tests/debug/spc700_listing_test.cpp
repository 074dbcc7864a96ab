// The SPC700 line of the debugger: every opcode, with the texts written out
// here from the processor's published opcode map, row by row of the map.
#include <gtest/gtest.h>

#include <string>

#include "audio/spc700_harness.h"
#include "debug/spc700_listing.h"

namespace vt {
namespace {

// Each opcode sits at $0400 followed by the bytes $12 $34. A relative
// branch after one operand byte goes to $0400 + 2 + $12 = $0414, after two
// to $0400 + 3 + $34 = $0437. A 13-bit address with its bit number: $3412
// is $1412 bit 1.
constexpr const char* kExpected[256] = {
    // $00
    "nop", "tcall 0", "set1 $12.0", "bbs $12.0, $0437", "or a, $12", "or a, $3412", "or a, (x)", "or a, ($12+x)",
    "or a, #$12", "or $34, $12", "or1 c, $1412.1", "asl $12", "asl $3412", "push psw", "tset1 $3412", "brk",
    // $10
    "bpl $0414", "tcall 1", "clr1 $12.0", "bbc $12.0, $0437", "or a, $12+x", "or a, $3412+x", "or a, $3412+y",
    "or a, ($12)+y", "or $34, #$12", "or (x), (y)", "decw $12", "asl $12+x", "asl a", "dec x", "cmp x, $3412",
    "jmp ($3412+x)",
    // $20
    "clrp", "tcall 2", "set1 $12.1", "bbs $12.1, $0437", "and a, $12", "and a, $3412", "and a, (x)", "and a, ($12+x)",
    "and a, #$12", "and $34, $12", "or1 c, !$1412.1", "rol $12", "rol $3412", "push a", "cbne $12, $0437",
    "bra $0414",
    // $30
    "bmi $0414", "tcall 3", "clr1 $12.1", "bbc $12.1, $0437", "and a, $12+x", "and a, $3412+x", "and a, $3412+y",
    "and a, ($12)+y", "and $34, #$12", "and (x), (y)", "incw $12", "rol $12+x", "rol a", "inc x", "cmp x, $12",
    "call $3412",
    // $40
    "setp", "tcall 4", "set1 $12.2", "bbs $12.2, $0437", "eor a, $12", "eor a, $3412", "eor a, (x)", "eor a, ($12+x)",
    "eor a, #$12", "eor $34, $12", "and1 c, $1412.1", "lsr $12", "lsr $3412", "push x", "tclr1 $3412", "pcall $12",
    // $50
    "bvc $0414", "tcall 5", "clr1 $12.2", "bbc $12.2, $0437", "eor a, $12+x", "eor a, $3412+x", "eor a, $3412+y",
    "eor a, ($12)+y", "eor $34, #$12", "eor (x), (y)", "cmpw ya, $12", "lsr $12+x", "lsr a", "mov x, a",
    "cmp y, $3412", "jmp $3412",
    // $60
    "clrc", "tcall 6", "set1 $12.3", "bbs $12.3, $0437", "cmp a, $12", "cmp a, $3412", "cmp a, (x)", "cmp a, ($12+x)",
    "cmp a, #$12", "cmp $34, $12", "and1 c, !$1412.1", "ror $12", "ror $3412", "push y", "dbnz $12, $0437", "ret",
    // $70
    "bvs $0414", "tcall 7", "clr1 $12.3", "bbc $12.3, $0437", "cmp a, $12+x", "cmp a, $3412+x", "cmp a, $3412+y",
    "cmp a, ($12)+y", "cmp $34, #$12", "cmp (x), (y)", "addw ya, $12", "ror $12+x", "ror a", "mov a, x",
    "cmp y, $12", "reti",
    // $80
    "setc", "tcall 8", "set1 $12.4", "bbs $12.4, $0437", "adc a, $12", "adc a, $3412", "adc a, (x)", "adc a, ($12+x)",
    "adc a, #$12", "adc $34, $12", "eor1 c, $1412.1", "dec $12", "dec $3412", "mov y, #$12", "pop psw",
    "mov $34, #$12",
    // $90
    "bcc $0414", "tcall 9", "clr1 $12.4", "bbc $12.4, $0437", "adc a, $12+x", "adc a, $3412+x", "adc a, $3412+y",
    "adc a, ($12)+y", "adc $34, #$12", "adc (x), (y)", "subw ya, $12", "dec $12+x", "dec a", "mov x, sp",
    "div ya, x", "xcn a",
    // $A0
    "ei", "tcall 10", "set1 $12.5", "bbs $12.5, $0437", "sbc a, $12", "sbc a, $3412", "sbc a, (x)", "sbc a, ($12+x)",
    "sbc a, #$12", "sbc $34, $12", "mov1 c, $1412.1", "inc $12", "inc $3412", "cmp y, #$12", "pop a",
    "mov (x)+, a",
    // $B0
    "bcs $0414", "tcall 11", "clr1 $12.5", "bbc $12.5, $0437", "sbc a, $12+x", "sbc a, $3412+x", "sbc a, $3412+y",
    "sbc a, ($12)+y", "sbc $34, #$12", "sbc (x), (y)", "movw ya, $12", "inc $12+x", "inc a", "mov sp, x", "das a",
    "mov a, (x)+",
    // $C0
    "di", "tcall 12", "set1 $12.6", "bbs $12.6, $0437", "mov $12, a", "mov $3412, a", "mov (x), a", "mov ($12+x), a",
    "cmp x, #$12", "mov $3412, x", "mov1 $1412.1, c", "mov $12, y", "mov $3412, y", "mov x, #$12", "pop x",
    "mul ya",
    // $D0
    "bne $0414", "tcall 13", "clr1 $12.6", "bbc $12.6, $0437", "mov $12+x, a", "mov $3412+x, a", "mov $3412+y, a",
    "mov ($12)+y, a", "mov $12, x", "mov $12+y, x", "movw $12, ya", "mov $12+x, y", "dec y", "mov a, y",
    "cbne $12+x, $0437", "daa a",
    // $E0
    "clrv", "tcall 14", "set1 $12.7", "bbs $12.7, $0437", "mov a, $12", "mov a, $3412", "mov a, (x)", "mov a, ($12+x)",
    "mov a, #$12", "mov x, $3412", "not1 $1412.1", "mov y, $12", "mov y, $3412", "notc", "pop y", "sleep",
    // $F0
    "beq $0414", "tcall 15", "clr1 $12.7", "bbc $12.7, $0437", "mov a, $12+x", "mov a, $3412+x", "mov a, $3412+y",
    "mov a, ($12)+y", "mov x, $12", "mov x, $12+y", "mov $34, $12", "mov y, $12+x", "inc y", "mov y, a",
    "dbnz y, $0414", "stop",
};

// "0400 " and the mnemonic padded to column 13, then the operands.
std::string expected_line(const std::string& text) {
    const size_t space = text.find(' ');
    std::string line = "0400 " + text.substr(0, space);
    line.resize(13, ' ');
    if (space != std::string::npos) line += text.substr(space + 1);
    return line;
}

TEST(Spc700Line, EveryOpcode) {
    for (int code = 0; code < 256; code++) {
        test::SpcHarness h;
        h.s.ram[0x0400] = uint8_t(code);
        h.s.ram[0x0401] = 0x12;
        h.s.ram[0x0402] = 0x34;
        uint16_t next = 0;
        EXPECT_EQ(spc700_line(h.m, 0x0400, &next), expected_line(kExpected[code])) << std::hex << code;
        EXPECT_GT(next, 0x0400);
    }
}

TEST(Spc700Line, ListingWalksFromInstructionToInstruction) {
    test::SpcHarness h;
    const uint8_t code[] = {0xE8, 0x00, 0x8F, 0x6C, 0xF2, 0x3F, 0x00, 0x05, 0x2F, 0xFE};
    for (size_t i = 0; i < sizeof code; i++) h.s.ram[0x0200 + i] = code[i];
    const std::vector<ListingLine> lines = spc700_listing(h.m, 0x0200, 4);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].address, 0x0200u);
    EXPECT_EQ(lines[0].text, "0200 mov     a, #$00");
    EXPECT_EQ(lines[1].text, "0202 mov     $f2, #$6c");
    EXPECT_EQ(lines[2].text, "0205 call    $0500");
    EXPECT_EQ(lines[3].text, "0208 bra     $0208");
}

}  // namespace
}  // namespace vt
