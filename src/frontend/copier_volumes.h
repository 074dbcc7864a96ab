// Copier disk files: the planned blocks written as Super Wildcard (".SWC",
// ".1", ".2", ...) or Game Doctor ("SF24123A", "SF24123B", ...) volumes,
// each no larger than the chosen split size or the room on the disk, then
// the battery RAM file. When the next volume does not fit, the writer asks
// for another disk and waits. Every file is written whole or not at all: a
// volume that fails or is cancelled half way is removed, never left looking
// complete.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frontend/copier_job.h"

namespace vt {

// "Send to Disk" split sizes in blocks; item 0 is Auto Detect (the room on
// the disk).
inline constexpr int kSplitSizeItems = 7;
inline constexpr uint32_t kSplitSizeBlocks[kSplitSizeItems] = {0, 88, 96, 176, 192, 352, 384};
const char* split_size_caption(int item);
inline constexpr int kSplitSize1440K = 3;

struct DiskSpace {
    bool known = false;
    uint64_t free_bytes = 0;
    uint64_t total_bytes = 0;
    std::string error;  // why it is not known
};
using DiskSpaceQuery = std::function<DiskSpace(const std::string& folder)>;
// The file system's figures for the folder (statvfs).
DiskSpace folder_disk_space(const std::string& folder);

struct DiskVolumeTarget {
    std::string folder;
    std::string base;           // file name without extension, at most 8 characters
    uint32_t split_blocks = 0;  // 0: the room on the disk
};

struct DiskWriterHooks {
    DiskSpaceQuery space;  // empty: folder_disk_space
    std::function<void(uint32_t blocks_written)> progress;
    std::function<void(const std::string& path)> file_written;
    // The next file does not fit: blocks until another disk is in, may
    // change the split size; false cancels the transfer.
    std::function<bool(uint32_t& split_blocks)> next_volume;
    const std::atomic<bool>* cancel = nullptr;  // polled after every block
};

struct DiskWriteResult {
    CopierEventCode code = CopierEventCode::Finished;  // Finished, Cancelled or FileCreationFailed
    std::string error;                                 // the file and the reason
    std::vector<std::string> files;                    // paths written, in order
};

DiskWriteResult write_copier_volumes(const CopierJob& job, const DiskVolumeTarget& target,
                                     const DiskWriterHooks& hooks);

// File name of volume `number` (0: the only volume).
std::string copier_volume_name(CopierDevice device, const std::string& base, int number);
// ".BBD" (Super Wildcard) or ".B01" (Game Doctor) beside the volumes.
std::string copier_battery_name(CopierDevice device, const std::string& base);

// The "Send to Disk" name field: the characters it refuses.
bool disk_name_char_allowed(char c);
// The typed name as the writer takes it: folder (empty: none typed) and a
// base cut to 8 characters.
struct DiskName {
    std::string folder;
    std::string base;
};
DiskName split_disk_name(const std::string& typed);
// The name offered for a Super Wildcard transfer: the image's file name
// without extension and refused characters, cut to 8 characters.
std::string wildcard_disk_name(const std::string& image_path);

}  // namespace vt
