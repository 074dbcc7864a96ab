// --copier-disk: the disk volumes the desktop program writes for the loaded
// image, with its default choices (battery RAM along), into one folder.
#include "cli/copier_disk.h"

#include <cstdio>
#include <random>

#include "cli/runner_io.h"
#include "core/machine.h"
#include "frontend/copier_job.h"
#include "frontend/copier_plan.h"
#include "frontend/copier_volumes.h"

namespace vt::cli {

int write_copier_disk(const Machine& m, const CopierDiskOptions& o) {
    const CopierDevice device = o.game_doctor ? CopierDevice::GameDoctor : CopierDevice::SuperWildcard;
    const CopierPlan plan = plan_copier_transfer(copier_cartridge(m.cart), device);
    if (!plan.supported) {
        std::fprintf(stderr, "veltrane-cli: %s\n", plan.status.c_str());
        return kCopierUnsupported;
    }
    const CopierJob job = prepare_copier_job(m, plan, device, true);

    DiskVolumeTarget target;
    target.folder = o.folder;
    if (o.game_doctor) {
        // The same seed gives the same three digits on every run.
        std::minstd_rand digits(uint32_t(o.seed));
        target.base = game_doctor_base_name(job.block_count, uint32_t(digits() % 1000));
    } else {
        target.base = wildcard_disk_name(m.cart.image_path);
        if (target.base.empty()) target.base = "GAME";
        target.split_blocks = o.volume_blocks;
    }

    DiskWriterHooks hooks;
    hooks.file_written = [](const std::string& path) {
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    };
    bool no_room = false;
    hooks.next_volume = [&](uint32_t&) {
        no_room = true;  // nobody to change disks
        return false;
    };
    const DiskWriteResult r = write_copier_volumes(job, target, hooks);
    if (r.code == CopierEventCode::Finished) return 0;
    if (no_room) complain(o.folder + ": not enough free space for the next copier volume");
    else complain("cannot write copier file " + r.error);
    return 1;
}

}  // namespace vt::cli
