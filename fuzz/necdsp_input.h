// How the NEC DSP fuzzer turns its input bytes into a firmware image and
// work for the chip, shared with the test that replays inputs.
//
// Input layout:
//   byte 0      the model: even the uPD77C25, odd the uPD96050
//   bytes 1-2   F, the firmware bytes that follow (little-endian; at most
//               the model's firmware size, the rest of the image is zero)
//   F bytes     the start of the firmware image
//   the rest    host accesses of 2 bytes each: kind (byte 0 modulo 8) and
//               value. 0 reads DR, 1 writes DR, 2 reads SR, 3 reads the
//               RAM byte at value, 4 writes the value to RAM byte
//               value x 3, 5 steps the core value times, 6 resets it, 7
//               loads the "XNEC" chunk from the bytes that follow (zero-
//               padded; it takes the rest of the input).
// A completed transfer runs the core until it asks again, at most
// kNecDspFuzzLimit instructions.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "coproc/necdsp/necdsp.h"
#include "core/machine.h"
#include "core/state_io.h"

namespace vt::fuzz {

inline constexpr uint32_t kNecDspFuzzLimit = 2000;

inline void run_necdsp_input(Machine& m, const uint8_t* data, size_t size) {
    if (size < 3) return;
    NecDsp& d = m.necdsp;
    const NecDspModel model = (data[0] & 1) ? NecDspModel::Upd96050 : NecDspModel::Upd7725;
    const size_t image_size = necdsp_firmware_size(model);
    const size_t firmware_bytes = std::min({size_t(data[1] | data[2] << 8), image_size, size - 3});
    std::vector<uint8_t> image(image_size, 0);
    std::copy_n(data + 3, firmware_bytes, image.begin());
    if (!necdsp_load_firmware(d, model, image)) return;
    necdsp_power_on(d);
    necdsp_run_until_request(d, kNecDspFuzzLimit);

    size_t at = 3 + firmware_bytes;
    while (at + 2 <= size) {
        const uint8_t kind = data[at] & 7, value = data[at + 1];
        at += 2;
        uint8_t byte = 0;
        switch (kind) {
            case 0:
                if (necdsp_host_read_dr(d, byte)) necdsp_run_until_request(d, kNecDspFuzzLimit);
                break;
            case 1:
                if (necdsp_host_write_dr(d, value)) necdsp_run_until_request(d, kNecDspFuzzLimit);
                break;
            case 2: (void)necdsp_host_read_sr(d); break;
            case 3: (void)necdsp_host_read_ram(d, value); break;
            case 4: necdsp_host_write_ram(d, uint32_t(value) * 3, value); break;
            case 5:
                for (int i = 0; i < value; i++) necdsp_step(d);
                break;
            case 6:
                necdsp_reset(d);
                necdsp_run_until_request(d, kNecDspFuzzLimit);
                break;
            default: {
                std::vector<uint8_t> chunk(kNecDspStateSize, 0);
                std::copy_n(data + at, std::min(size - at, chunk.size()), chunk.begin());
                StateReader reader{chunk.data()};
                necdsp_state_io(reader, m);
                at = size;
                for (int i = 0; i < 64; i++) necdsp_step(d);
                break;
            }
        }
    }
    (void)necdsp_disassemble(d, d.pc);
}

}  // namespace vt::fuzz
