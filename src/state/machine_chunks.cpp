#include "state/machine_chunks.h"

#include <algorithm>

#include "audio/apu.h"
#include "audio/dsp.h"
#include "cart/memory_map.h"
#include "coproc/chips.h"
#include "core/driver.h"
#include "core/machine.h"
#include "core/main_cpu.h"
#include "core/system_registers.h"
#include "nes/nes_state.h"
#include "state/battery_ram.h"
#include "video/dma.h"
#include "video/ppu.h"

namespace vt {

namespace {

// --- "SCPU": the CPU's 16-byte image, then the system registers. The
// system registers' fix-up runs last: it derives the IRQ sources from
// TIMEUP, after the CPU image has set the status.
constexpr uint32_t kCpuChunkSize = kCpuImageSize + kSystemRegistersSaveSize;

template <class Io>
void cpu_chunk_io(Io& io, IoMachine<Io>& m) {
    cpu_image_io(io, m);
    sysregs_state_io(io, m);
}

// --- "SDSP": the register file alone.
constexpr uint32_t kDspChunkSize = 128;

// --- "XCPU": the core's run state, the line clock's carry into the next
// frame, the open-bus byte and the serial joypad ports. A state is taken
// between frames, so the line counter is 0 and needs no place.
constexpr uint32_t kCpuExtraSize = kCpuRunStateSize + 2 + 1 + kSerialPortsSaveSize;

template <class Io>
void cpu_extra_io(Io& io, IoMachine<Io>& m) {
    cpu_run_state_io(io, m);
    uint16_t line_clock = uint16_t(m.timing.line_clock);
    io.u16(line_clock);
    io.u8(m.mem.open_bus);
    serial_ports_io(io, m);
    // The carry of the last instruction of a line is less than a line.
    if constexpr (Io::loading) m.timing.line_clock = std::min<int32_t>(line_clock, kLineUnits - 1);
}

constexpr MachineChunkLayout kLayouts[] = {
    {kTagCpu, kCpuChunkSize, true, &cpu_chunk_io<StateWriter>, &cpu_chunk_io<StateReader>},
    {kTagDma, kDmaStateSize, true, &dma_state_io<StateWriter>, &dma_state_io<StateReader>},
    {kTagWram, kWramChunkSize, true, &wram_state_io<StateWriter>, &wram_state_io<StateReader>},
    {kTagPpu, kPpuStateSize, true, &ppu_state_io<StateWriter>, &ppu_state_io<StateReader>},
    {kTagVram, kVramStateSize, true, &vram_state_io<StateWriter>, &vram_state_io<StateReader>},
    {kTagApu, uint32_t(kApuImageSize), true, &apu_image_io<StateWriter>, &apu_image_io<StateReader>},
    {kTagDsp, kDspChunkSize, true, &dsp_registers_io<StateWriter>, &dsp_registers_io<StateReader>},
    {kTagCpuExtra, kCpuExtraSize, false, &cpu_extra_io<StateWriter>, &cpu_extra_io<StateReader>},
    {kTagApuExtra, uint32_t(kApuTimingSize), false, &apu_timing_io<StateWriter>, &apu_timing_io<StateReader>},
    // Before the sound generator ran at the chip's own rate, "XDSP" held
    // 3,049 bytes.
    {kTagDspExtra, uint32_t(kDspPlaybackSize), false, &dsp_playback_io<StateWriter>, &dsp_playback_io<StateReader>,
     3049},
};

// The shared chunks come first; "SRAM" follows them.
constexpr size_t kSharedLayouts = 7;

// The NES side's chunks, written after the others for NES images only.
constexpr MachineChunkLayout kNesLayouts[] = {
    {make_tag("XNCP"), kNesCpuChunkSize, false, &nes_cpu_chunk_io<StateWriter>, &nes_cpu_chunk_io<StateReader>},
    {make_tag("XNPP"), kNesPpuStateSize, false, &nes_ppu_chunk_io<StateWriter>, &nes_ppu_chunk_io<StateReader>},
    {make_tag("XNAP"), kNesApuStateSize, false, &nes_apu_chunk_io<StateWriter>, &nes_apu_chunk_io<StateReader>},
    {make_tag("XNMP"), kNesMapperChunkSize, false, &nes_mapper_chunk_io<StateWriter>,
     &nes_mapper_chunk_io<StateReader>},
};

const MachineChunkLayout* find_layout(const ChunkTag& tag) {
    for (const MachineChunkLayout& c : kLayouts) {
        if (c.tag == tag) return &c;
    }
    for (const MachineChunkLayout& c : kNesLayouts) {
        if (c.tag == tag) return &c;
    }
    return nullptr;
}

ChunkTag chip_chunk_tag(const ChipStateChunk& c) { return {c.tag[0], c.tag[1], c.tag[2], c.tag[3]}; }

// A chunk of any chip's state: the length is checked whatever the cartridge.
const ChipStateChunk* find_chip_chunk(const ChunkTag& tag) {
    for (const Chip& chip : all_chips()) {
        for (const ChipStateChunk& c : chip.state_chunks) {
            if (chip_chunk_tag(c) == tag) return &c;
        }
    }
    return nullptr;
}

const Chunk* find_chunk(const std::vector<Chunk>& chunks, const ChunkTag& tag) {
    for (const Chunk& c : chunks) {
        if (c.tag == tag) return &c;
    }
    return nullptr;
}

// The tags this program reads; a file holding one of them twice is damaged.
bool tag_is_known(const ChunkTag& tag) {
    return find_layout(tag) || find_chip_chunk(tag) || tag == kTagSram || tag == kTagCartridge || tag == kTagThumbnail;
}

// The header title as text: up to its first zero byte, without the spaces
// that pad it.
std::string title_text(const uint8_t* title) {
    std::string text(title, std::find(title, title + kHeaderTitleLength, 0));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

template <class Io>
void cartridge_record_io(Io& io, uint32_t& crc32, std::array<uint8_t, kHeaderTitleLength>& title) {
    io.u32(crc32);
    io.bytes(title);
}

void write_layout(const MachineChunkLayout& c, const Machine& m, std::vector<uint8_t>& file) {
    StateWriter w{append_chunk(file, c.tag, c.length)};
    c.save(w, m);
}

}  // namespace

std::span<const MachineChunkLayout> machine_chunk_layouts() { return kLayouts; }

bool state_includes_sram(const Machine& m, const StateOptions& options) {
    // A chip's working RAM goes with every state, battery or not.
    if (chip_for(m.cart.coprocessor).battery.ram_in_every_state && m.cart.sram_size) return true;
    return m.cart.has_battery && options.sram_transfer;
}

CartridgeRecord cartridge_record_of(const Machine& m) {
    CartridgeRecord record;
    record.crc32 = m.cart.crc32;
    record.title = title_text(m.cart.header.data() + kHeaderTitle);
    return record;
}

void append_machine_chunks(const Machine& m, const StateOptions& options, std::vector<uint8_t>& file) {
    for (size_t i = 0; i < kSharedLayouts; i++) write_layout(kLayouts[i], m, file);
    if (state_includes_sram(m, options)) {
        const uint32_t size = battery_ram_extent(m.cart);
        std::copy(m.cart.sram.begin(), m.cart.sram.begin() + size, append_chunk(file, kTagSram, size));
    }
    for (size_t i = kSharedLayouts; i < std::size(kLayouts); i++) write_layout(kLayouts[i], m, file);
    if (m.cart.nes) {
        for (const MachineChunkLayout& c : kNesLayouts) write_layout(c, m, file);
    }
    for (const ChipStateChunk& c : chip_for(m.cart.coprocessor).state_chunks) {
        StateWriter w{append_chunk(file, chip_chunk_tag(c), c.length)};
        c.save(w, m);
    }

    uint32_t crc32 = m.cart.crc32;
    std::array<uint8_t, kHeaderTitleLength> title{};
    std::copy_n(m.cart.header.begin() + kHeaderTitle, kHeaderTitleLength, title.begin());
    StateWriter w{append_chunk(file, kTagCartridge, kCartridgeRecordSize)};
    cartridge_record_io(w, crc32, title);
}

bool find_cartridge_record(const std::vector<Chunk>& chunks, CartridgeRecord& out) {
    const Chunk* chunk = find_chunk(chunks, kTagCartridge);
    if (!chunk || chunk->length != kCartridgeRecordSize) return false;
    std::array<uint8_t, kHeaderTitleLength> title{};
    StateReader r{chunk->data};
    cartridge_record_io(r, out.crc32, title);
    out.title = title_text(title.data());
    return true;
}

bool machine_chunks_valid(const std::vector<Chunk>& chunks, std::string* problem) {
    auto refuse = [problem](const std::string& why) {
        if (problem) *problem = why;
        return false;
    };
    for (size_t i = 0; i < chunks.size(); i++) {
        const Chunk& chunk = chunks[i];
        const std::string name = "\"" + tag_text(chunk.tag) + "\"";
        if (tag_is_known(chunk.tag)) {
            for (size_t j = 0; j < i; j++) {
                if (chunks[j].tag == chunk.tag) return refuse("the chunk " + name + " appears more than once");
            }
        }
        const std::string holds = "the chunk " + name + " holds " + std::to_string(chunk.length) + " bytes instead of ";
        if (chunk.tag == kTagSram) {
            if (chunk.length > kSramBufferSize) return refuse(holds + "at most " + std::to_string(kSramBufferSize));
        } else if (chunk.tag == kTagCartridge) {
            if (chunk.length != kCartridgeRecordSize) return refuse(holds + std::to_string(kCartridgeRecordSize));
        } else if (const MachineChunkLayout* layout = find_layout(chunk.tag)) {
            const bool former = layout->former_length != 0 && chunk.length == layout->former_length;
            if (chunk.length != layout->length && !former) return refuse(holds + std::to_string(layout->length));
        } else if (const ChipStateChunk* c = find_chip_chunk(chunk.tag)) {
            if (chunk.length != c->length) return refuse(holds + std::to_string(c->length));
        }
    }
    bool any_machine_chunk = false;
    for (const Chunk& chunk : chunks) any_machine_chunk = any_machine_chunk || find_layout(chunk.tag);
    if (!any_machine_chunk) return refuse("it holds no machine state, only its header");
    for (const MachineChunkLayout& layout : kLayouts) {
        if (layout.required && !find_chunk(chunks, layout.tag)) {
            return refuse("the chunk \"" + tag_text(layout.tag) + "\" is missing");
        }
    }
    return true;
}

bool restore_machine_chunks(Machine& m, const std::vector<Chunk>& chunks, const StateOptions& options) {
    // States are taken between frames: the driver resumes at a frame start,
    // wherever a debugger had stopped it.
    driver_rewind_to_frame_start(m);
    for (const MachineChunkLayout& layout : kLayouts) {
        const Chunk* chunk = find_chunk(chunks, layout.tag);
        if (chunk && chunk->length == layout.length) {
            StateReader r{chunk->data};
            layout.load(r, m);
        }
    }
    for (const ChipStateChunk& c : chip_for(m.cart.coprocessor).state_chunks) {
        if (const Chunk* chunk = find_chunk(chunks, chip_chunk_tag(c))) {
            StateReader r{chunk->data};
            c.load(r, m);
        }
    }
    if (m.cart.nes) {
        for (const MachineChunkLayout& layout : kNesLayouts) {
            const Chunk* chunk = find_chunk(chunks, layout.tag);
            if (chunk && chunk->length == layout.length) {
                StateReader r{chunk->data};
                layout.load(r, m);
            }
        }
        nes_side_after_state_load(m);
    }
    const Chunk* sram = find_chunk(chunks, kTagSram);
    if (!sram || !state_includes_sram(m, options)) return false;
    // The buffer past the chunk keeps what it holds.
    const size_t n = std::min<size_t>(sram->length, m.cart.sram.size());
    std::copy(sram->data, sram->data + n, m.cart.sram.begin());
    return true;
}

}  // namespace vt
