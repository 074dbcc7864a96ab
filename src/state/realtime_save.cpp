#include "state/realtime_save.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/driver.h"
#include "core/machine.h"
#include "core/main_cpu.h"
#include "state/battery_ram.h"
#include "core/byte_stream.h"
#include "state/register_snapshots.h"
#include "state/state_file.h"
#include "video/ppu.h"

namespace vt {

namespace {

constexpr uint8_t kRtsMark[3] = {0xAA, 0xBB, 0x08};
constexpr int kRtsMarkAt = 8;

// The saved stack pointer sits 4 below the running one; the return frame
// above it holds the status, PC low, PC high and the program bank.
constexpr uint16_t kReturnFrameSize = 4;

// The return frame's bytes live in the work RAM image at offset S + 1 to
// S + 4, the stack pointer's address in bank 0.
uint32_t frame_offset(uint16_t saved_s, int k) { return kRtsWram + uint16_t(saved_s + k); }

}  // namespace

bool rts_header_marked(const uint8_t* data, uint64_t size) {
    return size >= kRtsMarkAt + 3 && std::equal(kRtsMark, kRtsMark + 3, data + kRtsMarkAt);
}

uint16_t rts_map_code(const Machine& m) {
    const Cartridge& c = m.cart;
    uint16_t code = c.hirom ? 13 : 14;
    if (c.has_battery) {
        if (c.sram_size == 8 * 1024) code &= 7;
        if (c.sram_size == 32 * 1024) code &= 3;
        if (!c.hirom) code &= 13;
    }
    return code;
}

void build_rts_file(const Machine& m, uint8_t* out) {
    std::fill(out, out + kRtsHeaderSize, 0);
    std::copy(kRtsMark, kRtsMark + 3, out + kRtsMarkAt);

    uint8_t* image = out + kRtsHeaderSize;
    for (uint32_t i = 0; i < kRtsImageSize; i += 4) put_le32(image + i, 0x0000FFFF);

    std::copy(m.mem.wram.begin(), m.mem.wram.end(), image + kRtsWram);
    for (uint32_t w = 0; w < kVramWords; w++) {
        image[kRtsVram + 2 * w] = m.ppu.vram_lo[w];
        image[kRtsVram + 2 * w + 1] = m.ppu.vram_hi[w];
    }

    // The register record with S lowered past the return frame.
    uint8_t record[kRtsCpuRecordSize] = {};
    cpu_save_image(m, record);
    const uint16_t saved_s = uint16_t(m.cpu.s - kReturnFrameSize);
    put_le16(record + 8, saved_s);
    std::copy(record, record + kRtsCpuRecordSize, image + kRtsCpu);
    std::copy(record, record + kRtsCpuRecordSize, image + kRtsCpuCopy);
    image[frame_offset(saved_s, 1)] = cpu_get_status(m);
    image[frame_offset(saved_s, 2)] = uint8_t(m.cpu.pc);
    image[frame_offset(saved_s, 3)] = uint8_t(m.cpu.pc >> 8);
    image[frame_offset(saved_s, 4)] = m.cpu.pbr;

    ppu_register_snapshot(m, image + kRtsPpuRegs);
    system_register_snapshot(m, image + kRtsSystemRegs);
    dma_register_snapshot(m, image + kRtsDmaRegs);
    std::copy(m.ppu.cgram.begin(), m.ppu.cgram.end(), image + kRtsCgram);
    std::copy(m.ppu.oam.begin(), m.ppu.oam.end(), image + kRtsOam);

    uint8_t* info = image + kRtsInfo;
    put_le16(info + 0, 0x1030);
    put_le16(info + 2, 0x1000);
    put_le16(info + 4, 0);
    put_le16(info + 6, rts_map_code(m));
    info[8] = 1;
    put_le16(info + 9, uint16_t((m.cart.image_size + 8191) / 8192));
    std::copy(m.cart.header.begin() + kHeaderTitle, m.cart.header.begin() + kHeaderTitle + kRtsTitleSize, info + 18);
}

void restore_rts_image(Machine& m, const uint8_t* image) {
    std::copy(image + kRtsWram, image + kRtsWram + kWramSize, m.mem.wram.begin());
    replay_register_snapshots(m, image + kRtsPpuRegs, image + kRtsSystemRegs, image + kRtsDmaRegs);

    Ppu& p = m.ppu;
    std::copy(image + kRtsCgram, image + kRtsCgram + kCgramSize, p.cgram.begin());
    std::copy(image + kRtsOam, image + kRtsOam + kOamSize, p.oam.begin());
    for (uint32_t w = 0; w < kVramWords; w++) {
        p.vram_lo[w] = image[kRtsVram + 2 * w];
        p.vram_hi[w] = image[kRtsVram + 2 * w + 1];
    }
    // New memories under the same registers: the palette, the sprite and
    // tile caches and everything else the renderer keeps are rebuilt.
    ppu_refresh_derived(m);

    cpu_load_image(m, image + kRtsCpu);
    const uint16_t saved_s = m.cpu.s;
    const uint8_t status = image[frame_offset(saved_s, 1)];
    m.cpu.pc = uint16_t(image[frame_offset(saved_s, 2)] | (image[frame_offset(saved_s, 3)] << 8));
    m.cpu.pbr = image[frame_offset(saved_s, 4)];
    m.cpu.s = uint16_t(saved_s + kReturnFrameSize);
    cpu_set_status(m, status, m.cpu.e);
}

// ---------------------------------------------------------------------------
// Files

std::vector<uint8_t> rts_file_bytes(const Machine& m) {
    std::vector<uint8_t> file(kRtsFileSize);
    build_rts_file(m, file.data());
    return file;
}

bool save_rts(Machine& m, const std::string& path, std::string* error) {
    if (!m.timing.gamepak_loaded) {
        if (error) *error = "No Gamepak is loaded.";
        return false;
    }
    std::string why;
    if (!write_file_replacing(path, rts_file_bytes(m), &why)) {
        if (error) *error = "The file could not be written: " + why + ".";
        return false;
    }
    return true;
}

bool load_rts_bytes(Machine& m, const uint8_t* data, size_t size, std::string* error) {
    if (error) error->clear();
    if (!m.timing.gamepak_loaded) {
        if (error) *error = "No Gamepak is loaded.";
        return false;
    }
    if (!rts_header_marked(data, size)) {
        if (error) *error = "The file is not a real-time save (bytes 8-10 of its header are not $AA $BB $08).";
        return false;
    }
    if (size < kRtsFileSize) {
        if (error) *error = kRtsUnexpectedEnd;
        return false;
    }
    driver_rewind_to_frame_start(m);  // taken between frames, like chunked states
    restore_rts_image(m, data + kRtsHeaderSize);
    return true;
}

bool load_rts(Machine& m, const std::string& path, std::string* error) {
    if (error) error->clear();
    if (!m.timing.gamepak_loaded) {
        if (error) *error = "No Gamepak is loaded.";
        return false;
    }
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        if (error) *error = "The file does not exist.";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        if (error) *error = "It is not a file.";
        return false;
    }
    // Only the header and the image are read; anything after them is not.
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (error) *error = std::string("The file could not be opened: ") + std::strerror(errno) + ".";
        return false;
    }
    std::vector<uint8_t> bytes(kRtsFileSize);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        if (error) *error = "The file could not be read.";
        return false;
    }
    return load_rts_bytes(m, bytes.data(), got, error);
}

}  // namespace vt
