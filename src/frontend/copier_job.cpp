#include "frontend/copier_job.h"

#include <algorithm>
#include <cstring>

#include "core/machine.h"

namespace vt {

CopierJob prepare_copier_job(const Machine& m, const CopierPlan& plan, CopierDevice device, bool send_backup_ram) {
    const CopierCartridge cart = copier_cartridge(m.cart);
    CopierJob job;
    job.device = device;
    job.block_count = uint32_t(plan.blocks.size());
    job.file_ends = plan.file_ends;
    job.header = build_copier_header(cart, device, plan.forced_split);
    job.rom.assign(size_t(job.block_count) * kCopierBlockSize, 0xFF);
    for (uint32_t n = 0; n < job.block_count; n++) {
        const CopierBlock& b = plan.blocks[n];
        // A ROM read returns pointer[bank][address]; the upper table serves
        // maps whose bank halves come from different places.
        const uint8_t* base = b.address & 0x8000 ? m.mem.rom_upper[b.bank] : m.mem.rom_lower[b.bank];
        if (base) std::memcpy(job.rom.data() + size_t(n) * kCopierBlockSize, base + b.address, kCopierBlockSize);
    }
    job.send_battery = send_backup_ram && m.cart.has_battery;
    const size_t battery = std::min<size_t>(kCopierBatteryBytes, m.cart.sram.size());
    std::copy_n(m.cart.sram.begin(), battery, job.battery.begin());
    return job;
}

}  // namespace vt
