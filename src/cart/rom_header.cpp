#include "cart/rom_header.h"

#include "cart/cartridge.h"

namespace vt {

uint16_t data_word(const std::vector<uint8_t>& data, size_t offset) {
    uint8_t lo = offset < data.size() ? data[offset] : 0xFF;
    uint8_t hi = offset + 1 < data.size() ? data[offset + 1] : 0xFF;
    return uint16_t(lo | (hi << 8));
}

static bool vector_in_rom(uint16_t word) { return word >= 0x8000 && word <= 0xFFF8; }

static bool pair_valid_at(const std::vector<uint8_t>& data, size_t header) {
    uint16_t complement = data_word(data, header + kHeaderComplement);
    uint16_t checksum = data_word(data, header + kHeaderChecksum);
    return uint16_t(complement ^ checksum) == 0xFFFF;
}

HeaderChoice choose_header(const std::vector<uint8_t>& data) {
    HeaderChoice choice;
    uint16_t extended_reset = data_word(data, 0x40FFFC);
    if (extended_reset >= 0x8000 && extended_reset < 0xFFF8) {
        choice.offset = 0x40FFC0;
        choice.hirom = true;
        choice.extended = true;
        return choice;
    }
    bool hirom_vector = vector_in_rom(data_word(data, 0xFFFC));
    bool lorom_vector = vector_in_rom(data_word(data, 0x7FFC));
    if (hirom_vector && (!lorom_vector || (pair_valid_at(data, 0xFFC0) && !pair_valid_at(data, 0x7FC0)))) {
        choice.offset = 0xFFC0;
        choice.hirom = true;
    }
    return choice;
}

std::string clean_title(const uint8_t* bytes, size_t length) {
    std::string title;
    for (size_t i = 0; i < length; i++) {
        uint8_t ch = bytes[i];
        title += (ch < 0x20 || ch == 0xFF) ? ' ' : char(ch);
    }
    while (!title.empty() && title.back() == ' ') title.pop_back();
    return title;
}

bool checksum_pair_valid(const uint8_t header[32]) {
    uint16_t complement = uint16_t(header[kHeaderComplement] | (header[kHeaderComplement + 1] << 8));
    uint16_t checksum = uint16_t(header[kHeaderChecksum] | (header[kHeaderChecksum + 1] << 8));
    return uint16_t(complement ^ checksum) == 0xFFFF;
}

bool is_memory_pack_header(const uint8_t header[32]) {
    uint8_t b = header[kHeaderSramSize];
    bool pack_byte = b == 0x20 || b == 0x21 || b == 0x30 || b == 0x31;
    return pack_byte && checksum_pair_valid(header);
}

uint8_t coprocessor_for_type(uint8_t type) {
    // The lists are tested in this order and a later match wins; each type
    // appears in one list only, so the first match is also the last.
    uint8_t kind = kCoprocNone;
    if (type == 0xF3) kind = kCoprocCx4;
    if (type == 0x03 || type == 0x05) kind = kCoprocDsp;
    if (type == 0x32 || type == 0x34 || type == 0x35) kind = kCoprocSa1;
    if (type == 0x13 || type == 0x14 || type == 0x15 || type == 0x1A) kind = kCoprocSuperFx;
    if (type == 0x25) kind = kCoprocObc1;
    if (type == 0x43 || type == 0x45) kind = kCoprocSdd1;
    if (type == 0xF5 || type == 0xF9) kind = kCoprocSpc7110;
    // ROM, RAM, battery and the S-RTC clock.
    if (type == 0x55) kind = kCoprocSrtc;
    return kind;
}

bool type_has_battery(uint8_t type) {
    switch (type) {
        case 0x02: case 0x05: case 0x15: case 0x1A:
        case 0x25: case 0x35: case 0x45: case 0x55:
            return true;
        default:
            return false;
    }
}

uint8_t coprocessor_for_title(const std::string& title) {
    if (title == "F1 ROC II" || title == "EXHAUST HEAT2") return kCoprocSt010;
    if (title == "2DAN MORITA SHOUGI") return kCoprocSt011;
    if (title == "NIDAN MORITASHOGI2") return kCoprocSt018;
    if (title == "Super GAMEBOY" || title == "Super GAMEBOY2") return kCoprocSuperGameBoy;
    if (title == "XBAND VIDEOGAME MODEM" || title == "XBAND JAPANESE MODEM") return kCoprocXband;
    if (title == "Satellaview BS-X") return kCoprocBsxBase;
    return kCoprocNone;
}

uint8_t dsp_variant_for_title(const std::string& title) {
    // "SD" and "GX" around the katakana of the DSP-3 game's name.
    static const std::string kDsp3Title = "SD\xB6\xDE\xDD\xC0\xDE\xD1GX";
    if (title == "DUNGEON MASTER") return 2;
    if (title == kDsp3Title) return 3;
    if (title == "PLANETS CHAMP TG3000" || title == "TOP GEAR 3000") return 4;
    return 1;
}

}  // namespace vt
