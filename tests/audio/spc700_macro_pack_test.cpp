// The SPC700 macro pack for ca65 (asm/spc700.inc): one
// invocation per opcode, assembled into a cartridge, compared byte for byte
// with the instruction set's encodings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/test_rom.h"

namespace vt::test {
namespace {

// Operand layout per opcode, row = high nibble:
//   I implied          D direct page ($12)       V immediate ($56)
//   A absolute ($1234) S dp, dp (source $34 first, then $12)
//   M dp, #imm ($56 first, then $12)             R relative (to itself)
//   B dp, relative     T 13-bit address and bit ($0123 bit 5)
const char* const kLayout[16] = {
    "IIDBDAIDVSTDAIAI",  // $0x
    "RIDBDAADMIDDIIAA",  // $1x
    "IIDBDAIDVSTDAIBR",  // $2x
    "RIDBDAADMIDDIIDA",  // $3x
    "IIDBDAIDVSTDAIAV",  // $4x
    "RIDBDAADMIDDIIAA",  // $5x
    "IIDBDAIDVSTDAIBI",  // $6x
    "RIDBDAADMIDDIIDI",  // $7x
    "IIDBDAIDVSTDAVIM",  // $8x
    "RIDBDAADMIDDIIII",  // $9x
    "IIDBDAIDVSTDAVII",  // $Ax
    "RIDBDAADMIDDIIII",  // $Bx
    "IIDBDAIDVATDAVII",  // $Cx
    "RIDBDAADDDDDIIBI",  // $Dx
    "IIDBDAIDVATDAIII",  // $Ex
    "RIDBDAADDDSDIIRI",  // $Fx
};

std::vector<uint8_t> encoding(int op) {
    std::vector<uint8_t> b = {uint8_t(op)};
    switch (kLayout[op >> 4][op & 15]) {
    case 'I': break;
    case 'D': b.push_back(0x12); break;
    case 'V': b.push_back(0x56); break;
    case 'A': b.insert(b.end(), {0x34, 0x12}); break;
    case 'S': b.insert(b.end(), {0x34, 0x12}); break;
    case 'M': b.insert(b.end(), {0x56, 0x12}); break;
    case 'R': b.push_back(0xFE); break;               // -2: back to the opcode
    case 'B': b.insert(b.end(), {0x12, 0xFD}); break;  // -3
    case 'T': b.insert(b.end(), {0x23, 0xA1}); break;  // $0123 | 5 << 13
    }
    return b;
}

TEST(Spc700MacroPack, EveryOpcodeEncodesAsTheInstructionSetSays) {
    const std::vector<uint8_t> rom = read_file(test_rom_path("audio_spc700_codes"));
    const std::string marker = "SPC700 ENCODINGS";
    auto it = std::search(rom.begin(), rom.end(), marker.begin(), marker.end());
    ASSERT_NE(it, rom.end());
    size_t at = size_t(it - rom.begin()) + marker.size();
    for (int op = 0; op < 256; op++) {
        const std::vector<uint8_t> want = encoding(op);
        ASSERT_LE(at + want.size(), rom.size());
        const std::vector<uint8_t> got(rom.begin() + at, rom.begin() + at + want.size());
        ASSERT_EQ(got, want) << "opcode $" << std::hex << op;
        at += want.size();
    }
}

}  // namespace
}  // namespace vt::test
