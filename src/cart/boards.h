// Cartridge boards known by their PCB id (from the game database). A board
// names the cartridge's type and, for most ids, fixes its own memory map:
// battery RAM size and place, DSP window place.
#pragma once

#include <cstdint>

namespace vt {

enum class BoardFamily : uint8_t {
    NameOnly,   // the header-derived map stays
    LoRomSram,  // 1A, 2A, BA: battery RAM in banks $70-$7F (and $F0-$FF)
    HiRomSram,  // 1J, 2J, BJ: battery RAM at $6000-$7FFF of banks $20-$3F, $A0-$BF
    LoRomDsp,   // 1B: LoROM battery RAM, DSP in banks $30-$3F and $B0-$BF
    HiRomDsp,   // 1K, 2K: HiROM battery RAM, DSP at $6000-$7FFF of banks $00-$1F, $80-$9F
    SuperFx,    // 1C: Super FX RAM in banks $70-$71
    SizeOnly,   // 1L: only the battery RAM size
};

struct Board {
    uint8_t id;
    const char* name;
    BoardFamily family;
    uint32_t ram_size;  // bytes, 0 for none
    bool battery;
};

// The board with this PCB id, or nullptr.
const Board* find_board(uint8_t pcb_id);

}  // namespace vt
