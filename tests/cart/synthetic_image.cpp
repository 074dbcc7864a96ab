#include "cart/synthetic_image.h"

#include <algorithm>
#include <stdexcept>

namespace vt::test {

std::vector<uint8_t> pattern_image(size_t size) {
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; i++) image[i] = uint8_t((i >> 15) * 13 + (i >> 8) * 3 + i);
    return image;
}

// Checked: a test that writes past its image fails in every build.
void set_word(std::vector<uint8_t>& image, size_t offset, uint16_t value) {
    image.at(offset) = uint8_t(value);
    image.at(offset + 1) = uint8_t(value >> 8);
}

uint16_t word_at(const std::vector<uint8_t>& image, size_t offset) {
    return uint16_t(image.at(offset) | (image.at(offset + 1) << 8));
}

void write_header(std::vector<uint8_t>& image, size_t offset, const HeaderFields& f) {
    if (offset + 0x3E > image.size()) throw std::out_of_range("header past the end of the image");
    for (size_t i = 0; i < 21; i++) image[offset + i] = i < f.title.size() ? uint8_t(f.title[i]) : ' ';
    image[offset + 21] = f.map_mode;
    image[offset + 22] = f.cart_type;
    image[offset + 23] = f.rom_size;
    image[offset + 24] = f.sram_size;
    image[offset + 25] = f.country;
    image[offset + 26] = f.licensee;
    image[offset + 27] = f.version;
    set_word(image, offset + 28, 0xFFFF);
    set_word(image, offset + 30, 0x0000);
    set_word(image, offset + 0x3C, f.reset_vector);
}

uint16_t fix_checksum(std::vector<uint8_t>& image, size_t header_offset) {
    set_word(image, header_offset + 28, 0xFFFF);
    set_word(image, header_offset + 30, 0x0000);
    uint32_t sum = 0;
    for (uint8_t b : image) sum += b;
    set_word(image, header_offset + 28, uint16_t(~sum));
    set_word(image, header_offset + 30, uint16_t(sum));
    return uint16_t(sum);
}

std::vector<uint8_t> ffe_header(bool more_parts, uint8_t byte10) {
    std::vector<uint8_t> h(512, 0);
    h[2] = more_parts ? 0x40 : 0x00;
    h[8] = 0xAA;
    h[9] = 0xBB;
    h[10] = byte10;
    return h;
}

std::vector<uint8_t> with_header(const std::vector<uint8_t>& header, const std::vector<uint8_t>& image) {
    std::vector<uint8_t> out = header;
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

FileReader MemoryFiles::reader() {
    return [this](const std::string& path, uint64_t limit, std::vector<uint8_t>& out) {
        auto it = files.find(path);
        if (it == files.end()) return FileReadStatus::Missing;
        if (it->second.size() > limit) return FileReadStatus::TooLarge;
        out = it->second;
        return FileReadStatus::Ok;
    };
}

}  // namespace vt::test
