// How the cartridge-chip fuzzer turns its input bytes into work for the
// chips, shared with the test that replays the inputs it once failed on.
//
// Input layout: byte 0 picks the chip (modulo the chips below) and what to
// feed it; the rest is the payload:
//   bit 7 clear: the payload is the chip's state chunk (cut or padded with
//     zeros to its length), loaded through the chip's reader, followed by
//     a few hundred accesses to the chip's windows and one frame;
//   bit 7 set: the payload is a list of accesses, three bytes each
//     (register low byte, value, read/write), to the chip's register page;
//     for the S-DD1 it is also decompressed as a stream of the bytes
//     read by a DMA of up to 65,536 bytes.
// Each chip has one long-lived machine holding a small cartridge of its
// kind; the state of the previous input is not reset, as a program would
// not reset it either.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cart/bus.h"
#include "cart/loader.h"
#include "coproc/chips.h"
#include "coproc/sdd1/sdd1.h"
#include "core/driver.h"
#include "core/machine.h"

namespace vt::fuzz {

struct FuzzChip {
    uint8_t kind;
    uint8_t cart_type;
    uint8_t map_mode;
    uint16_t register_page;  // $xx00 of the register block
    uint32_t image_size;
    const char* title = nullptr;  // for the chips recognised by title
    uint8_t register_bank = 0x00; // the register block's bank ($80 added by the input)
    uint8_t sram_size = 0x03;     // header byte; $20 marks a memory pack
};

// New chips go at the end: a saved input's first byte picks its chip.
inline constexpr FuzzChip kFuzzChips[] = {
    {kCoprocSpc7110, 0xF9, 0x21, 0x4800, 0x180000},
    {kCoprocSdd1, 0x43, 0x32, 0x4800, 0x200000},
    {kCoprocSrtc, 0x55, 0x20, 0x2800, 0x80000},
    {kCoprocSt018, 0x00, 0x20, 0x3800, 0x80000, "NIDAN MORITASHOGI2"},
    {kCoprocSt011, 0x00, 0x20, 0x0000, 0x80000, "2DAN MORITA SHOUGI", 0x60},
    {kCoprocSuperGameBoy, 0x00, 0x20, 0x6000, 0x40000, "Super GAMEBOY"},
    {kCoprocBsx, 0x00, 0x20, 0x0000, 0x100000, nullptr, 0x70, 0x20},
    {kCoprocBsxBase, 0x00, 0x20, 0x5000, 0x100000, "Satellaview BS-X", 0x10},
    {kCoprocBsx, 0x00, 0x20, 0x2100, 0x100000, nullptr, 0x00, 0x20},  // the receiver on the B bus
    {kCoprocCx4, 0xF3, 0x20, 0x7F00, 0x100000},  // registers and commands; RAM through the state
};

// A LoROM or HiROM image of the chip's type: a byte pattern with the header.
inline std::vector<uint8_t> chip_fuzz_image(const FuzzChip& chip) {
    std::vector<uint8_t> image(chip.image_size);
    for (size_t i = 0; i < image.size(); i++) image[i] = uint8_t(i * 37 + (i >> 9));
    const size_t header = (chip.map_mode & 1) ? 0xFFC0 : 0x7FC0;
    std::string title = chip.title ? chip.title : "CHIP FUZZ CARTRIDGE";
    title.resize(21, ' ');
    for (int i = 0; i < 21; i++) image[header + size_t(i)] = uint8_t(title[size_t(i)]);
    image[header + 0x15] = chip.map_mode;
    image[header + 0x16] = chip.cart_type;
    image[header + 0x17] = 0x0B;
    image[header + 0x18] = chip.sram_size;
    image[header + 0x19] = 0x01;
    image[header + 0x1C] = 0xFF;  // a valid complement/checksum pair marks the header
    image[header + 0x1D] = 0xFF;
    image[header + 0x1E] = 0x00;
    image[header + 0x1F] = 0x00;
    image[header + 0x3C] = 0x00;
    image[header + 0x3D] = 0x80;
    return image;
}

inline std::unique_ptr<Machine> chip_fuzz_machine(const FuzzChip& chip) {
    auto m = make_machine();
    const std::vector<uint8_t> image = chip_fuzz_image(chip);
    LoadOptions options;
    options.backup_folder = "/nonexistent-fuzz-folder";
    options.save_previous_battery = false;
    options.read_file = [&image](const std::string&, uint64_t, std::vector<uint8_t>& out) {
        out = image;
        return FileReadStatus::Ok;
    };
    load_gamepak(*m, "/fuzz/CHIP.SFC", options);
    return m;
}

inline void chip_accesses(Machine& m, uint8_t register_bank, uint16_t page, const uint8_t* data, size_t size) {
    for (size_t i = 0; i + 3 <= size; i += 3) {
        const uint16_t addr = uint16_t(page | data[i]);
        const uint8_t bank = uint8_t(register_bank | ((data[i + 2] & 0x80) ? 0x80 : 0x00));
        switch (data[i + 2] & 3) {
            case 0: bus_write(m, bank, addr, data[i + 1]); break;
            case 1: bus_read(m, bank, addr); break;
            case 2: bus_peek(m, bank, addr); break;
            case 3: bus_read(m, uint8_t(0xC0 | (data[i + 1] & 0x3F)), uint16_t(addr << 4)); break;
        }
    }
}

inline void run_chips_input(const uint8_t* data, size_t size) {
    static std::array<std::unique_ptr<Machine>, std::size(kFuzzChips)> machines;
    if (size == 0) return;
    const uint8_t selector = data[0];
    const size_t which = (selector & 0x7F) % std::size(kFuzzChips);
    const FuzzChip& chip = kFuzzChips[which];
    if (!machines[which]) machines[which] = chip_fuzz_machine(chip);
    Machine& m = *machines[which];
    data++;
    size--;

    if (selector & 0x80) {
        chip_accesses(m, chip.register_bank, chip.register_page, data, size);
        if (chip.kind == kCoprocSdd1 && size >= 2) {
            const uint32_t count = uint32_t(data[0] | data[1] << 8) + 1;
            sdd1_decompress({data + 2, size - 2}, 0, count, m.sdd1.buffer);
        }
        return;
    }
    for (const ChipStateChunk& c : chip_for(chip.kind).state_chunks) {
        std::vector<uint8_t> bytes(c.length, 0);
        std::copy_n(data, std::min<size_t>(size, c.length), bytes.begin());
        StateReader in{bytes.data()};
        c.load(in, m);
    }
    std::array<uint8_t, 600> probe{};
    for (size_t i = 0; i < probe.size(); i++) probe[i] = uint8_t(i * 7 + (i >> 2));
    chip_accesses(m, chip.register_bank, chip.register_page, probe.data(), probe.size());
    run_frame(m);
}

}  // namespace vt::fuzz
