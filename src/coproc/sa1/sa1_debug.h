// The SA-1's register block as rows for the debugger's SA1 page: the
// written registers ($2200 CCNT to $2259 VDA, the bitmap register file as
// BRF0-BRFF) and the read registers ($2300 SFR to $230E VC). The values are
// peeks: reading the rows changes nothing.
#pragma once

#include <cstdint>
#include <vector>

namespace vt {

struct Machine;

struct Sa1RegisterRow {
    uint16_t address;
    const char* name;
    uint8_t bits;  // 8, 16 or 24
    uint32_t value;
};

std::vector<Sa1RegisterRow> sa1_written_register_rows(const Machine& m);
std::vector<Sa1RegisterRow> sa1_read_register_rows(const Machine& m);

}  // namespace vt
