// The internal header of a cartridge image: where it lies, and what its
// bytes say about the title, the map, the coprocessor and the battery.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vt {

// Little-endian word of the ROM data at `offset`; bytes past the end read
// $FF, as the $FF-filled ROM buffer does.
uint16_t data_word(const std::vector<uint8_t>& data, size_t offset);

struct HeaderChoice {
    uint32_t offset = 0x7FC0;  // of the 32 header bytes ($xxC0) in the ROM data
    bool hirom = false;
    bool extended = false;  // extended HiROM: header in the second 4 MiB
};

// Chooses between the extended HiROM, HiROM and LoROM headers by their
// reset vectors and checksum pairs.
HeaderChoice choose_header(const std::vector<uint8_t>& data);

// Header title as shown: bytes below $20 and $FF become spaces, trailing
// spaces are dropped.
std::string clean_title(const uint8_t* bytes, size_t length);

// A Satellaview memory-pack header: its SRAM size byte is $20, $21, $30 or
// $31 and its checksum pair is valid.
bool is_memory_pack_header(const uint8_t header[32]);
bool checksum_pair_valid(const uint8_t header[32]);

// Coprocessor kind from the cartridge type byte (0 when it names none).
uint8_t coprocessor_for_type(uint8_t cart_type);
bool type_has_battery(uint8_t cart_type);
// Coprocessors recognised by title (ST010, ST011, ST018), 0 otherwise.
uint8_t coprocessor_for_title(const std::string& title);
// DSP-1 to DSP-4 by title.
uint8_t dsp_variant_for_title(const std::string& title);

}  // namespace vt
