#include "state/machine_chunks.h"

#include <algorithm>

#include "audio/apu.h"
#include "audio/dsp.h"
#include "cart/memory_map.h"
#include "core/machine.h"
#include "core/main_cpu.h"
#include "core/system_registers.h"
#include "core/byte_stream.h"
#include "video/dma.h"
#include "video/ppu.h"

namespace vt {

namespace {

// --- "SCPU": the CPU's 16-byte image, then the system registers.
constexpr uint32_t kCpuChunkSize = kCpuImageSize + kSystemRegistersSaveSize;

void save_cpu(const Machine& m, uint8_t* out) {
    cpu_save_image(m, out);
    sysregs_save(m, out + kCpuImageSize);
}

// The system registers' fix-up runs last: it derives the IRQ sources from
// TIMEUP, after the CPU image has set the status.
void load_cpu(Machine& m, const uint8_t* in) {
    cpu_load_image(m, in);
    sysregs_load(m, in + kCpuImageSize);
}

// --- "SDSP": the register file alone.
constexpr uint32_t kDspChunkSize = 128;

void save_dsp(const Machine& m, uint8_t* out) { std::copy(m.dsp.regs.begin(), m.dsp.regs.end(), out); }

void load_dsp(Machine& m, const uint8_t* in) {
    std::copy(in, in + kDspChunkSize, m.dsp.regs.begin());
    dsp_refresh_from_registers(m);
}

// --- "XCPU": the core's run state, the line clock's carry into the next
// frame, the open-bus byte and the serial joypad ports. A state is taken
// between frames, so the line counter is 0 and needs no place.
constexpr uint32_t kCpuRunState = 0;
constexpr uint32_t kLineClock = kCpuRunState + kCpuRunStateSize;
constexpr uint32_t kOpenBus = kLineClock + 2;
constexpr uint32_t kSerialPorts = kOpenBus + 1;
constexpr uint32_t kCpuExtraSize = kSerialPorts + kSerialPortsSaveSize;

void save_cpu_extra(const Machine& m, uint8_t* out) {
    cpu_save_run_state(m, out + kCpuRunState);
    put_le16(out + kLineClock, uint16_t(m.timing.line_clock));
    out[kOpenBus] = m.mem.open_bus;
    sysregs_save_serial(m, out + kSerialPorts);
}

void load_cpu_extra(Machine& m, const uint8_t* in) {
    cpu_load_run_state(m, in + kCpuRunState);
    // The carry of the last instruction of a line is less than a line.
    m.timing.line_clock = std::min<int32_t>(get_le16(in + kLineClock), kLineUnits - 1);
    m.mem.open_bus = in[kOpenBus];
    sysregs_load_serial(m, in + kSerialPorts);
}

struct MachineChunk {
    ChunkTag tag;
    uint32_t length;
    void (*save)(const Machine&, uint8_t*);
    void (*load)(Machine&, const uint8_t*);
};

// In the order they are written; "SRAM" goes between "SDSP" and "XCPU".
constexpr MachineChunk kCoreChunks[] = {
    {kTagCpu, kCpuChunkSize, &save_cpu, &load_cpu},
    {kTagDma, kDmaStateSize, &dma_save_state, &dma_load_state},
    {kTagWram, kWramChunkSize, &memory_save_wram, &memory_load_wram},
    {kTagPpu, kPpuStateSize, &ppu_save_state, &ppu_load_state},
    {kTagVram, kVramStateSize, &vram_save_state, &vram_load_state},
    {kTagApu, uint32_t(kApuImageSize), &apu_save_image, &apu_load_image},
    {kTagDsp, kDspChunkSize, &save_dsp, &load_dsp},
};

constexpr MachineChunk kExtraChunks[] = {
    {kTagCpuExtra, kCpuExtraSize, &save_cpu_extra, &load_cpu_extra},
    {kTagApuExtra, uint32_t(kApuTimingSize), &apu_save_timing, &apu_load_timing},
    {kTagDspExtra, uint32_t(kDspPlaybackSize), &dsp_save_playback, &dsp_load_playback},
};

const MachineChunk* find_machine_chunk(const ChunkTag& tag) {
    for (const MachineChunk& c : kCoreChunks) {
        if (c.tag == tag) return &c;
    }
    for (const MachineChunk& c : kExtraChunks) {
        if (c.tag == tag) return &c;
    }
    return nullptr;
}

}  // namespace

bool state_includes_sram(const Machine& m, const StateOptions& options) {
    return m.cart.has_battery && (options.sram_transfer || m.cart.coprocessor == kCoprocSa1);
}

void append_machine_chunks(const Machine& m, const StateOptions& options, std::vector<uint8_t>& file) {
    for (const MachineChunk& c : kCoreChunks) c.save(m, append_chunk(file, c.tag, c.length));
    if (state_includes_sram(m, options)) {
        const uint32_t size = std::min<uint32_t>(m.cart.sram_size, uint32_t(m.cart.sram.size()));
        std::copy(m.cart.sram.begin(), m.cart.sram.begin() + size, append_chunk(file, kTagSram, size));
    }
    for (const MachineChunk& c : kExtraChunks) c.save(m, append_chunk(file, c.tag, c.length));
}

bool machine_chunks_valid(const std::vector<Chunk>& chunks, std::string* problem) {
    for (const Chunk& chunk : chunks) {
        uint32_t wanted = 0;
        if (chunk.tag == kTagSram) {
            if (chunk.length <= kSramBufferSize) continue;
            wanted = kSramBufferSize;
        } else if (const MachineChunk* known = find_machine_chunk(chunk.tag)) {
            if (chunk.length == known->length) continue;
            wanted = known->length;
        } else {
            continue;  // not ours to judge
        }
        if (problem) {
            *problem = "the chunk \"" + tag_text(chunk.tag) + "\" holds " + std::to_string(chunk.length) +
                       " bytes instead of " + (chunk.tag == kTagSram ? "at most " : "") + std::to_string(wanted);
        }
        return false;
    }
    return true;
}

void restore_machine_chunks(Machine& m, const std::vector<Chunk>& chunks, const StateOptions& options) {
    const bool sram = state_includes_sram(m, options);
    for (const Chunk& chunk : chunks) {
        if (chunk.tag == kTagSram) {
            const size_t n = std::min<size_t>(chunk.length, m.cart.sram.size());
            if (sram) std::copy(chunk.data, chunk.data + n, m.cart.sram.begin());
        } else if (const MachineChunk* known = find_machine_chunk(chunk.tag)) {
            known->load(m, chunk.data);
        }
    }
}

}  // namespace vt
