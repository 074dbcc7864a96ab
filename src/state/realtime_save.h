// The copier-style real-time save (".rts"): a 512-byte header marked
// $AA $BB $08 at bytes 8-10, then a 256 KiB image of work RAM, video RAM,
// the CPU registers, the register pages, CGRAM and OAM, with a return
// frame pushed on the saved stack.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

inline constexpr uint32_t kRtsHeaderSize = 512;
inline constexpr uint32_t kRtsImageSize = 0x40000;
inline constexpr uint32_t kRtsFileSize = kRtsHeaderSize + kRtsImageSize;

// Places within the image.
inline constexpr uint32_t kRtsWram = 0x00000;
inline constexpr uint32_t kRtsVram = 0x20000;        // 32,768 words, low byte first
inline constexpr uint32_t kRtsCpu = 0x3E000;         // register record (32 bytes)
inline constexpr uint32_t kRtsCpuCopy = 0x3E020;     // a second copy of it
inline constexpr uint32_t kRtsPpuRegs = 0x3E100;     // $2100-$21FF
inline constexpr uint32_t kRtsSystemRegs = 0x3E200;  // $4200-$42FF
inline constexpr uint32_t kRtsDmaRegs = 0x3E300;     // $4300-$43FF
inline constexpr uint32_t kRtsCgram = 0x3E400;
inline constexpr uint32_t kRtsOam = 0x3E600;
inline constexpr uint32_t kRtsInfo = 0x3F002;        // $1030, $1000, 0, map code, 1, size, title
inline constexpr uint32_t kRtsCpuRecordSize = 32;
inline constexpr uint32_t kRtsTitleSize = 20;

// Whether a header carries the real-time save mark.
bool rts_header_marked(const uint8_t* data, uint64_t size);

// The header and image of the machine, `kRtsFileSize` bytes.
void build_rts_file(const Machine& m, uint8_t* out);
// Restores a real-time save image (after the header).
void restore_rts_image(Machine& m, const uint8_t* image);

// The memory-map code at $3F008: 14 LoROM, 13 HiROM; with battery RAM AND 7
// for 8 KiB, AND 3 for 32 KiB, and for LoROM AND 13 as well.
uint16_t rts_map_code(const Machine& m);

}  // namespace vt
