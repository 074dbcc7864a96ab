#include <cstring>

#include "nes/nes_cartridge.h"
#include "nes/nes_side.h"

namespace vt {

std::string nes_unsupported_mapper_message(uint16_t mapper) {
    return "This NES image needs mapper " + std::to_string(mapper) + ", which Veltrane does not support.  ";
}

bool nes_mapper_supported(uint16_t mapper) { return nes_mapper_for(mapper) != nullptr; }

NesImage read_nes_image(const std::vector<uint8_t>& file, uint32_t max_rom) {
    NesImage img;
    if (file.size() < kNesHeaderSize || std::memcmp(file.data(), "NES\x1A", 4) != 0) {
        img.status = NesImageStatus::Truncated;
        img.reason = "the file ends inside its 16-byte NES header";
        return img;
    }
    const uint8_t* h = file.data();
    NesCartridgeInfo& info = img.info;
    info.nes2 = (h[7] & 0x0C) == 0x08;
    // Old tools wrote text into bytes 7-15 ("DiskDude!"); the high mapper
    // nibble is only trusted when the tail of the header is clean.
    bool clean_tail = true;
    for (int i = 12; i < 16; i++) clean_tail = clean_tail && h[i] == 0;
    info.mapper = uint16_t(h[6] >> 4);
    if (info.nes2 || clean_tail) info.mapper |= uint16_t(h[7] & 0xF0);
    uint32_t prg_units = h[4];
    uint32_t chr_units = h[5];
    if (info.nes2) {
        info.mapper |= uint16_t((h[8] & 0x0F) << 8);
        // The exponent form of the sizes (nibble $F) is for odd-sized chips
        // no supported board has.
        if ((h[9] & 0x0F) == 0x0F || (h[9] >> 4) == 0x0F) {
            img.reason = "its NES 2.0 header gives a ROM size in exponent form";
            return img;
        }
        prg_units |= uint32_t(h[9] & 0x0F) << 8;
        chr_units |= uint32_t(h[9] >> 4) << 8;
        const uint8_t chr_ram_shift = h[11] & 0x0F;
        if (chr_units == 0 && chr_ram_shift) info.chr_ram_size = std::min<uint32_t>(64u << chr_ram_shift, kNesChrRamSize);
    }
    info.prg_size = prg_units * 16384;
    info.chr_size = chr_units * 8192;
    info.battery = h[6] & 0x02;
    info.trainer = h[6] & 0x04;
    info.mirroring = (h[6] & 0x08) ? NesMirroring::FourScreen
                     : (h[6] & 0x01) ? NesMirroring::Vertical
                                     : NesMirroring::Horizontal;
    if (info.prg_size == 0) {
        img.reason = "its header gives no PRG ROM";
        return img;
    }
    if (!nes_mapper_supported(info.mapper)) {
        img.status = NesImageStatus::UnsupportedMapper;
        img.reason = "mapper " + std::to_string(info.mapper) + " is not supported";
        return img;
    }
    if (uint64_t(info.prg_size) + info.chr_size > max_rom) {
        img.status = NesImageStatus::TooLarge;
        img.reason = "its header gives more ROM than Veltrane can hold";
        return img;
    }
    img.trainer_offset = kNesHeaderSize;
    img.prg_offset = kNesHeaderSize + (info.trainer ? kNesTrainerSize : 0);
    const uint64_t needed = uint64_t(img.prg_offset) + info.prg_size + info.chr_size;
    if (file.size() < needed) {
        img.status = NesImageStatus::Truncated;
        img.reason = "the header gives " + std::to_string(info.prg_size / 1024) + " KiB of PRG ROM and " +
                     std::to_string(info.chr_size / 1024) + " KiB of CHR ROM (" + std::to_string(needed) +
                     " bytes with the header), but the file holds " + std::to_string(file.size()) + " bytes";
        return img;
    }
    img.status = NesImageStatus::Ok;
    return img;
}

}  // namespace vt
