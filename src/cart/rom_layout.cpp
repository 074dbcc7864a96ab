#include "cart/rom_layout.h"

#include <algorithm>
#include <cstring>

namespace vt {

static uint8_t* slot_ptr(Cartridge& c, uint32_t slot) { return c.rom.data() + size_t(slot) * kRomSlotSize; }

size_t place_lorom(Cartridge& c, const uint8_t* data, size_t size) {
    size_t used = std::min<size_t>(size, size_t(kRomSlotCount) * kBlockSize);
    size_t blocks = (used + kBlockSize - 1) / kBlockSize;
    for (size_t b = 0; b < blocks; b++) {
        size_t len = std::min<size_t>(kBlockSize, used - b * kBlockSize);
        // A short last block repeats with its length rounded up to a power
        // of two; the bytes past the data stay $FF.
        size_t unit = 1;
        while (unit < len) unit <<= 1;
        uint8_t* slot = slot_ptr(c, uint32_t(b));
        for (size_t off = 0; off < kRomSlotSize; off += unit) std::memcpy(slot + off, data + b * kBlockSize, len);
    }
    c.last_bank = blocks ? uint32_t(blocks - 1) : 0;
    return used;
}

size_t place_hirom(Cartridge& c, const uint8_t* data, size_t size) {
    size_t used = std::min<size_t>(size, size_t(kRomSlotCount) * kRomSlotSize);
    std::memcpy(c.rom.data(), data, used);
    c.last_bank = used ? uint32_t((used - 1) / kRomSlotSize) : 0;
    return used;
}

size_t place_interleaved_hirom(Cartridge& c, const uint8_t* data, size_t size) {
    size_t slots = std::min<size_t>((size + kRomSlotSize - 1) / kRomSlotSize, kRomSlotCount);
    size_t used = std::min<size_t>(size, slots * kRomSlotSize);
    size_t blocks = (used + kBlockSize - 1) / kBlockSize;
    for (size_t b = 0; b < blocks; b++) {
        size_t len = std::min<size_t>(kBlockSize, used - b * kBlockSize);
        size_t slot = b < slots ? b : b - slots;
        size_t half = b < slots ? kBlockSize : 0;
        std::memcpy(slot_ptr(c, uint32_t(slot)) + half, data + b * kBlockSize, len);
    }
    c.last_bank = slots ? uint32_t(std::min(blocks, slots) - 1) : 0;
    return used;
}

size_t place_interleaved_extended_hirom(Cartridge& c, const uint8_t* data, size_t size) {
    constexpr size_t kBlocks = 192;  // 6 MiB
    size_t used = std::min<size_t>(size, kBlocks * kBlockSize);
    size_t blocks = (used + kBlockSize - 1) / kBlockSize;
    uint32_t last = 0;
    for (size_t b = 0; b < blocks; b++) {
        size_t len = std::min<size_t>(kBlockSize, used - b * kBlockSize);
        size_t slot, half;
        if (b < 32) { slot = 64 + b; half = kBlockSize; }
        else if (b < 64) { slot = 64 + (b - 32); half = 0; }
        else if (b < 128) { slot = b - 64; half = kBlockSize; }
        else { slot = b - 128; half = 0; }
        std::memcpy(slot_ptr(c, uint32_t(slot)) + half, data + b * kBlockSize, len);
        last = std::max(last, uint32_t(slot));
    }
    c.last_bank = last;
    return used;
}

uint32_t power_of_two_above(uint32_t last_bank) {
    uint32_t p = 1;
    while (p <= last_bank) p <<= 1;
    return p;
}

void mirror_to_power_of_two(Cartridge& c) {
    uint32_t p = power_of_two_above(c.last_bank);
    uint32_t from = p / 2;
    for (uint32_t slot = c.last_bank + 1; slot < p; slot++, from++) {
        std::memcpy(slot_ptr(c, slot), slot_ptr(c, from), kRomSlotSize);
    }
    c.mirrored_slots = p;
}

void lay_out_super_fx(Cartridge& c) {
    uint32_t p = c.mirrored_slots;
    for (uint32_t slot = p; slot < kRomSlotCount; slot++) {
        std::memcpy(slot_ptr(c, slot), slot_ptr(c, slot % p), kRomSlotSize);
    }
    // Block j is the upper half of slot j; slots $40-$5F are rebuilt from
    // blocks 0-63, which live in slots 0-63 and are not overwritten.
    for (uint32_t k = 0; k < 32; k++) {
        uint8_t* linear = slot_ptr(c, 0x40 + k);
        std::memcpy(linear, slot_ptr(c, 2 * k) + kBlockSize, kBlockSize);
        std::memcpy(linear + kBlockSize, slot_ptr(c, 2 * k + 1) + kBlockSize, kBlockSize);
    }
    c.mirrored_slots = kRomSlotCount;
}

uint16_t sum_slots(const Cartridge& c, uint32_t slots, uint32_t start) {
    uint32_t sum = 0;
    for (uint32_t s = 0; s < slots && s < kRomSlotCount; s++) {
        const uint8_t* p = c.rom.data() + size_t(s) * kRomSlotSize;
        for (uint32_t a = start; a < kRomSlotSize; a++) sum += p[a];
    }
    return uint16_t(sum);
}

bool slots_hold_64k(const Cartridge& c) { return c.hirom || c.coprocessor == kCoprocSdd1; }

}  // namespace vt
