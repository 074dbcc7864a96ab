// Helpers of the save-state tests: an independent walk over a state file's
// chunks, and a record of a machine's state to tell whether a refused load
// changed anything.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/machine.h"
#include "core/main_cpu.h"

namespace vt::test {

struct TestChunk {
    std::string tag;
    size_t offset;  // of the data
    uint32_t length;
};

inline uint32_t le32(const std::vector<uint8_t>& d, size_t at) {
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 | uint32_t(d[at + 3]) << 24;
}

inline uint16_t le16(const std::vector<uint8_t>& d, size_t at) { return uint16_t(d[at] | d[at + 1] << 8); }

// Every chunk of a well-formed file, the end marker included.
inline std::vector<TestChunk> walk_chunks(const std::vector<uint8_t>& file) {
    std::vector<TestChunk> chunks;
    size_t pos = 0;
    while (pos + 8 <= file.size()) {
        TestChunk c{std::string(file.begin() + long(pos), file.begin() + long(pos) + 4), pos + 8, le32(file, pos + 4)};
        chunks.push_back(c);
        pos += 8 + c.length;
    }
    return chunks;
}

inline const TestChunk* find_chunk(const std::vector<TestChunk>& chunks, const std::string& tag) {
    for (const TestChunk& c : chunks) {
        if (c.tag == tag) return &c;
    }
    return nullptr;
}

// A chunk as bytes: tag, length, data.
inline std::vector<uint8_t> chunk_bytes(const std::string& tag, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out(tag.begin(), tag.end());
    const uint32_t n = uint32_t(data.size());
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(n >> (8 * i)));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// The file without the chunks of the given tag.
inline std::vector<uint8_t> without_chunk(const std::vector<uint8_t>& file, const std::string& tag) {
    std::vector<uint8_t> out;
    for (const TestChunk& c : walk_chunks(file)) {
        if (c.tag == tag) continue;
        out.insert(out.end(), file.begin() + long(c.offset) - 8, file.begin() + long(c.offset + c.length));
    }
    return out;
}

// What a load could change: memories, registers and the clocks.
struct MachineRecord {
    std::vector<uint8_t> wram, vram_lo, vram_hi, cgram, oam, aram, dsp_regs, dma_regs, sram;
    std::array<uint8_t, kCpuImageSize> cpu{};
    uint8_t inidisp = 0, bgmode = 0, nmitimen = 0;
    int32_t line_clock = 0, apu_clock = 0;
    uint8_t dsp_active = 0;

    explicit MachineRecord(const Machine& m)
        : wram(m.mem.wram.begin(), m.mem.wram.end()),
          vram_lo(m.ppu.vram_lo.begin(), m.ppu.vram_lo.end()),
          vram_hi(m.ppu.vram_hi.begin(), m.ppu.vram_hi.end()),
          cgram(m.ppu.cgram.begin(), m.ppu.cgram.end()),
          oam(m.ppu.oam.begin(), m.ppu.oam.end()),
          aram(m.apu.ram.begin(), m.apu.ram.end()),
          dsp_regs(m.dsp.regs.begin(), m.dsp.regs.end()),
          dma_regs(m.dma.regs.begin(), m.dma.regs.end()),
          sram(m.cart.sram),
          inidisp(m.ppu.inidisp),
          bgmode(m.ppu.bgmode),
          nmitimen(m.sysregs.nmitimen),
          line_clock(m.timing.line_clock),
          apu_clock(m.apu.clock),
          dsp_active(dsp_sounding_voices(m.dsp)) {
        cpu_save_image(m, cpu.data());
    }
    bool operator==(const MachineRecord&) const = default;
};

// A fresh folder of its own for each test.
inline std::string state_test_folder(const std::string& name) {
    std::string dir = ::testing::TempDir() + "veltrane_state_" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline void write_bytes_to(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace vt::test
