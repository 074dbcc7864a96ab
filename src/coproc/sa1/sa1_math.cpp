// The SA-1's arithmetic unit (multiply, divide, cumulative sum into a 40-bit
// result) and its variable-length bit reader over ROM.
#include "coproc/sa1/sa1.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint64_t kResultMask = (uint64_t(1) << 40) - 1;

int64_t signed40(uint64_t v) {
    v &= kResultMask;
    return (v & (uint64_t(1) << 39)) ? int64_t(v) - (int64_t(1) << 40) : int64_t(v);
}

}  // namespace

// Writing MB's high byte runs the operation MCNT selects.
//  0: MA x MB, both signed, into MR bytes 0-3.
//  1: MA (signed) / MB (unsigned): quotient in bytes 0-1, remainder in
//     bytes 2-3. The console floors the quotient and keeps the remainder
//     between 0 and MB - 1 (-7 / 2 gives -4 remainder 1). MB = 0 leaves
//     MR as it is.
//  otherwise: MA x MB added to the 40-bit signed sum in MR; OF reads $80
//     once a sum leaves the 40-bit range.
void sa1_arithmetic(Machine& m) {
    Sa1& s = m.sa1;
    const int32_t a = int16_t(s.w.ma);
    const uint8_t mode = s.w.mcnt & 3;
    s.overflow = 0;
    if (mode == 0) {
        const uint32_t product = uint32_t(a * int32_t(int16_t(s.w.mb)));
        s.mr = (s.mr & ~uint64_t(0xFFFFFFFF)) | product;
    } else if (mode == 1) {
        const int32_t divisor = s.w.mb;
        if (divisor == 0) return;
        int32_t quotient = a / divisor;
        int32_t remainder = a % divisor;
        if (remainder < 0) {
            remainder += divisor;
            quotient -= 1;
        }
        s.mr = (s.mr & ~uint64_t(0xFFFFFFFF)) | uint16_t(quotient) | (uint32_t(uint16_t(remainder)) << 16);
    } else {
        const int64_t sum = signed40(s.mr) + int64_t(a) * int16_t(s.w.mb);
        if (sum >= (int64_t(1) << 39) || sum < -(int64_t(1) << 39)) s.overflow = 0x80;
        s.mr = uint64_t(sum) & kResultMask;
    }
}

// Bits offset..offset+15 of the 32-bit little-endian value at VDA.
uint16_t sa1_bit_reader_word(const Machine& m) {
    const Sa1& s = m.sa1;
    uint32_t value = 0;
    for (uint32_t i = 0; i < 4; i++) value |= uint32_t(sa1_rom_byte(m, (s.w.vda + i) & 0xFFFFFF)) << (8 * i);
    return uint16_t(value >> s.bit_offset);
}

// Moves the reader on by VBD's length (1-16 bits), a word at a time.
void sa1_bit_reader_advance(Machine& m) {
    Sa1& s = m.sa1;
    const int length = (s.w.vbd & 0x0F) ? (s.w.vbd & 0x0F) : 16;
    int offset = s.bit_offset + length;
    if (offset >= 16) {
        s.w.vda = (s.w.vda + 2) & 0xFFFFFF;
        offset -= 16;
    }
    s.bit_offset = uint8_t(offset);
}

}  // namespace vt
