// A copier transfer ready to go: the planned blocks copied out of the
// cartridge, the header and the battery RAM. The worker thread owns its
// copy, so nothing it reads can change under it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/copier_plan.h"

namespace vt {

struct Machine;

inline constexpr uint32_t kCopierBatteryBytes = 32 * 1024;

struct CopierJob {
    CopierDevice device = CopierDevice::SuperWildcard;
    uint32_t block_count = 0;
    std::vector<uint8_t> rom;  // block_count blocks of 8 KiB, in the planned order
    std::vector<uint32_t> file_ends;
    CopierHeaderBlock header{};
    // Battery RAM goes along: the "Send BackupRAM" choice and a battery on
    // the cartridge.
    bool send_battery = false;
    std::vector<uint8_t> battery = std::vector<uint8_t>(kCopierBatteryBytes, 0);

    const uint8_t* block(uint32_t n) const { return rom.data() + size_t(n) * kCopierBlockSize; }
};

// Copies the planned blocks as the main CPU sees them through the memory
// map, and builds the header.
CopierJob prepare_copier_job(const Machine& m, const CopierPlan& plan, CopierDevice device, bool send_backup_ram);

// What the transfer tells the window, in the order it happens. The numbers
// are the codes the worker posts.
enum class CopierEventCode : uint8_t {
    Finished = 1,
    Progress = 2,            // blocks = blocks sent so far
    NextVolume = 3,          // the worker waits for resume() or cancel()
    Cancelled = 4,
    FileCreationFailed = 5,  // text = the file and the reason
    PortFailed = 6,          // text = what went wrong with the parallel port
};

struct CopierEvent {
    CopierEventCode code = CopierEventCode::Finished;
    uint32_t blocks = 0;
    std::string text;
};

}  // namespace vt
