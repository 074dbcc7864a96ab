// The handlers the loader installs in each cartridge chip's windows of the
// memory map. A chip whose own code is not built yet answers with the open
// bus and ignores writes, so a cartridge that carries it loads and runs
// without crashing; when the chip arrives its handlers replace the entry
// here.
#pragma once

#include "cart/memory_map.h"

namespace vt {

struct WindowHandlers {
    ReadHandler read;
    WriteHandler write;
};

inline constexpr WindowHandlers kNoChipWindow{&open_bus_read, &discard_write};

inline constexpr WindowHandlers kCx4Window = kNoChipWindow;            // pages $60-$6B, $70-$7B, $7F
inline constexpr WindowHandlers kDspWindow[5] = {                      // by DSP variant 1-4
    kNoChipWindow, kNoChipWindow, kNoChipWindow, kNoChipWindow, kNoChipWindow};
inline constexpr WindowHandlers kObc1Window = kNoChipWindow;           // pages $78-$7F, banks $70-$71 lower
inline constexpr WindowHandlers kSa1RegisterWindow = kNoChipWindow;    // page $22 write, $23 read
inline constexpr WindowHandlers kSa1IramWindow = kNoChipWindow;        // pages $30-$37
inline constexpr WindowHandlers kSa1BwramWindow = kNoChipWindow;       // pages $60-$7F
// Until the decompressor exists the data port passes ROM reads through.
inline constexpr WindowHandlers kSdd1DataPort{&rom_read, &discard_write};
inline constexpr WindowHandlers kSdd1RegisterWindow = kNoChipWindow;   // page $48
inline constexpr WindowHandlers kSuperFxRegisterWindow = kNoChipWindow;  // pages $30-$34
inline constexpr WindowHandlers kSpc7110Window = kNoChipWindow;        // pages $60-$7F
inline constexpr WindowHandlers kSpc7110RegisterWindow = kNoChipWindow;  // page $48
inline constexpr WindowHandlers kSt010Window = kNoChipWindow;          // banks $68-$6F, $E8-$EF lower
inline constexpr WindowHandlers kSt018Window = kNoChipWindow;          // page $38
inline constexpr WindowHandlers kBsxMemoryPackWindow = kNoChipWindow;  // banks $70-$77 (base unit: $70-$7F)
inline constexpr WindowHandlers kBsxRegisterWindow = kNoChipWindow;    // pages $50-$5F
inline constexpr WindowHandlers kBsxBbusWindow{&io_open_bus_read, &io_ignore_write};  // $2184-$219F
inline constexpr WindowHandlers kSuperUfoWindow = kNoChipWindow;       // page $3D
inline constexpr WindowHandlers kSuperGameBoyWindow = kNoChipWindow;   // pages $60-$67, $70-$7F

}  // namespace vt
