// Writes the internal header checksum and its complement into a LoROM or
// HiROM image built by the assembler (header at $7FC0 or $FFC0; map mode
// byte $x1 means HiROM).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: snes-fix-checksum IMAGE\n");
        return 1;
    }
    std::vector<uint8_t> image;
    {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "snes-fix-checksum: cannot read %s\n", argv[1]);
            return 1;
        }
        image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (image.size() < 0x8000) {
        std::fprintf(stderr, "snes-fix-checksum: %s is smaller than 32 KiB\n", argv[1]);
        return 1;
    }
    size_t header = 0x7FC0;
    if (image.size() >= 0x10000 && (image[0xFFD5] & 0x0F) == 1) header = 0xFFC0;

    // Any checksum pair sums to $1FE, so sum with the placeholder pair.
    image[header + 0x1C] = 0xFF;
    image[header + 0x1D] = 0xFF;
    image[header + 0x1E] = 0x00;
    image[header + 0x1F] = 0x00;
    uint16_t sum = 0;
    for (uint8_t b : image) sum = uint16_t(sum + b);
    image[header + 0x1C] = uint8_t(~sum);
    image[header + 0x1D] = uint8_t(~sum >> 8);
    image[header + 0x1E] = uint8_t(sum);
    image[header + 0x1F] = uint8_t(sum >> 8);

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
    return out ? 0 : 1;
}
