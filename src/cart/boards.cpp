#include "cart/boards.h"

namespace vt {

namespace {

using F = BoardFamily;

constexpr Board kBoards[] = {
    {1, "SHVC-1A0N", F::LoRomSram, 0, false},
    {2, "SHVC-1A1B", F::LoRomSram, 2048, true},
    {3, "SHVC-1A1M", F::LoRomSram, 2048, true},
    {4, "SHVC-1A3B", F::LoRomSram, 8192, true},
    {5, "SHVC-1A3M", F::LoRomSram, 8192, true},
    {6, "SHVC-1A5B", F::NameOnly, 0, false},
    {7, "SHVC-1A5M", F::LoRomSram, 32768, true},
    {8, "SHVC-2A0N", F::LoRomSram, 0, false},
    {9, "SHVC-2A3B", F::LoRomSram, 8192, true},
    {10, "SHVC-2A3M", F::LoRomSram, 8192, true},
    {11, "SHVC-BA3M", F::LoRomSram, 8192, true},
    {13, "SHVC-1B0N", F::LoRomDsp, 0, false},
    {14, "SHVC-1B3B", F::LoRomDsp, 8192, true},
    {15, "SHVC-1B5B", F::LoRomDsp, 32768, true},
    {16, "SHVC-1C0N5S", F::SuperFx, 32768, false},
    {17, "SHVC-1CA0N5S", F::SuperFx, 32768, false},
    {19, "SHVC-1CA6B", F::SuperFx, 65536, true},
    {20, "SHVC-1CB0N7S", F::SuperFx, 65536, false},
    {21, "SHVC-1CB5B", F::SuperFx, 32768, true},
    {22, "SHVC-1CB7B", F::SuperFx, 65536, true},
    {26, "SHVC-1J0N", F::HiRomSram, 0, false},
    {27, "SHVC-1J1M", F::HiRomSram, 2048, true},
    {28, "SHVC-1J3B", F::HiRomSram, 8192, true},
    {29, "SHVC-1J3M", F::HiRomSram, 8192, true},
    {30, "SHVC-1J5M", F::HiRomSram, 32768, true},
    {31, "SHVC-2J0N", F::HiRomSram, 0, false},
    {32, "SHVC-2J3B", F::HiRomSram, 8192, true},
    {33, "SHVC-2J3M", F::HiRomSram, 8192, true},
    {34, "SHVC-BJ0N", F::HiRomSram, 0, false},
    {35, "SHVC-BJ1M", F::HiRomSram, 2048, true},
    {36, "SHVC-BJ3M", F::HiRomSram, 8192, true},
    {38, "SHVC-1K0N", F::HiRomDsp, 0, false},
    {39, "SHVC-1K1B", F::HiRomDsp, 2048, true},
    {40, "SHVC-1K1X", F::HiRomDsp, 2048, true},
    {41, "SHVC-2K1X", F::HiRomDsp, 2048, true},
    {42, "SHVC-1L3B", F::SizeOnly, 8192, true},
    {43, "SHVC-1L5B", F::SizeOnly, 32768, true},
    {44, "SHVC-1L8B", F::SizeOnly, 262144, true},
    {128, "SHVC-4PV5B", F::NameOnly, 0, false},
    {129, "SHVC-8PV5B", F::NameOnly, 0, false},
};

}  // namespace

const Board* find_board(uint8_t pcb_id) {
    for (const Board& b : kBoards) {
        if (b.id == pcb_id) return &b;
    }
    return nullptr;
}

}  // namespace vt
