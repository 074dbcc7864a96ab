#include "frontend/copier_volumes.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cart/image_files.h"
#include "state/atomic_file.h"

namespace vt {

namespace {

constexpr uint32_t kBaseNameLength = 8;
constexpr uint64_t kBatteryFileUnit = 512;

bool cancelled(const DiskWriterHooks& hooks) { return hooks.cancel && hooks.cancel->load(); }

// An old file of the name gives its room to the new one (never a folder).
void remove_old_file(const std::string& path) { ::unlink(path.c_str()); }

// Whole blocks that fit beside a header of `header_bytes`.
uint32_t blocks_that_fit(uint64_t bytes, uint32_t header_bytes) {
    if (bytes <= header_bytes) return 0;
    return uint32_t(std::min<uint64_t>((bytes - header_bytes) / kCopierBlockSize, UINT32_MAX));
}

class VolumeWriter {
public:
    VolumeWriter(const CopierJob& job, const DiskVolumeTarget& target, const DiskWriterHooks& hooks)
        : job_(job), target_(target), hooks_(hooks), header_(job.header), split_(target.split_blocks) {
        query_ = hooks.space ? hooks.space : DiskSpaceQuery(folder_disk_space);
    }

    DiskWriteResult run() {
        // A Game Doctor image of more than one file is lettered from the start.
        if (game_doctor() && job_.block_count > kGameDoctorFileBlocks) number_ = 1;
        while (written_ < job_.block_count && result_.code == CopierEventCode::Finished) {
            if (cancelled(hooks_)) return finish(CopierEventCode::Cancelled);
            if (!write_next_volume()) break;
        }
        if (result_.code == CopierEventCode::Finished && job_.send_battery && !cancelled(hooks_)) write_battery_file();
        if (result_.code == CopierEventCode::Finished && cancelled(hooks_)) result_.code = CopierEventCode::Cancelled;
        return result_;
    }

private:
    bool game_doctor() const { return job_.device == CopierDevice::GameDoctor; }
    uint32_t header_bytes() const { return !game_doctor() || written_ == 0 ? kCopierHeaderBytes : 0; }
    std::string path_of(const std::string& name) const { return join_path(target_.folder, name); }
    std::string volume_path() const { return path_of(copier_volume_name(job_.device, target_.base, number_)); }

    DiskWriteResult finish(CopierEventCode code, const std::string& error = {}) {
        result_.code = code;
        result_.error = error;
        return result_;
    }

    // The folder's figures; false (file creation failed) when it has none.
    bool space(DiskSpace& s) {
        s = query_(target_.folder);
        if (!s.known) finish(CopierEventCode::FileCreationFailed, target_.folder + ": " + s.error);
        return s.known;
    }

    // Asks for another disk; false when the user cancelled instead.
    bool ask_next_volume() {
        if (!hooks_.next_volume || !hooks_.next_volume(split_)) {
            finish(CopierEventCode::Cancelled);
            return false;
        }
        return true;
    }

    // Writes one volume, or asks for a disk with room; false to stop.
    bool write_next_volume() {
        const uint32_t remaining = job_.block_count - written_;
        DiskSpace s;
        if (!space(s)) return false;
        // A disk too small for the rest: the volumes get numbers.
        if (number_ == 0 && s.total_bytes / kCopierBlockSize < remaining) {
            number_ = 1;
            if (!game_doctor()) header_[2] &= uint8_t(~kSwcMoreVolumes);
        }
        remove_old_file(volume_path());
        if (!space(s)) return false;
        const uint32_t room = blocks_that_fit(s.free_bytes, header_bytes());
        uint32_t size = room;
        if (game_doctor() && file_index_ < job_.file_ends.size()) size = job_.file_ends[file_index_] - written_;
        else if (game_doctor()) size = remaining;
        else if (split_ != 0) size = split_;
        if (room == 0 || room < size) return ask_next_volume();

        if (size < remaining) {
            if (number_ == 0) {
                number_ = 1;
                remove_old_file(volume_path());
            }
            if (!game_doctor()) header_[2] |= kSwcMoreVolumes;
        } else {
            size = remaining;
            if (!game_doctor()) header_[2] &= uint8_t(~kSwcMoreVolumes);
        }
        if (!game_doctor()) {
            header_[0] = uint8_t(size);
            header_[1] = uint8_t(size >> 8);
        }
        if (!write_volume(volume_path(), size)) return false;
        written_ += size;
        if (game_doctor()) file_index_++;
        if (number_ > 0) number_++;
        return true;
    }

    bool write_volume(const std::string& path, uint32_t size) {
        AtomicFile file;
        if (!file.open(path)) return fail_file(path, file.error());
        if (header_bytes() != 0 && !file.write(header_.data(), header_.size())) return fail_file(path, file.error());
        for (uint32_t n = written_; n < written_ + size; n++) {
            if (!file.write(job_.block(n), kCopierBlockSize)) return fail_file(path, file.error());
            if (hooks_.progress) hooks_.progress(n + 1);
            // A cancelled volume is thrown away: only whole volumes stay.
            if (cancelled(hooks_)) {
                file.discard();
                finish(CopierEventCode::Cancelled);
                return false;
            }
        }
        if (!file.commit()) return fail_file(path, file.error());
        written_file(path);
        return true;
    }

    void write_battery_file() {
        const bool with_header = !game_doctor();
        const std::string path = path_of(copier_battery_name(job_.device, target_.base));
        for (;;) {
            remove_old_file(path);
            DiskSpace s;
            if (!space(s)) return;
            const uint64_t units = kCopierBatteryBytes / kBatteryFileUnit + (with_header ? 1 : 0);
            if (s.free_bytes >= units * kBatteryFileUnit) break;
            if (!ask_next_volume()) return;
        }
        std::vector<uint8_t> bytes;
        if (with_header) {
            bytes.assign(kCopierHeaderBytes, 0);
            bytes[8] = 0xAA;
            bytes[9] = 0xBB;
            bytes[10] = 0x05;  // file type: battery RAM
        }
        bytes.insert(bytes.end(), job_.battery.begin(), job_.battery.begin() + kCopierBatteryBytes);
        std::string error;
        if (!write_file_atomically(path, bytes, &error)) {
            fail_file(path, error);
            return;
        }
        written_file(path);
    }

    bool fail_file(const std::string& path, const std::string& error) {
        finish(CopierEventCode::FileCreationFailed, path + ": " + error);
        return false;
    }

    void written_file(const std::string& path) {
        result_.files.push_back(path);
        if (hooks_.file_written) hooks_.file_written(path);
    }

    const CopierJob& job_;
    const DiskVolumeTarget& target_;
    const DiskWriterHooks& hooks_;
    DiskSpaceQuery query_;
    CopierHeaderBlock header_;
    uint32_t split_;
    uint32_t written_ = 0;
    size_t file_index_ = 0;
    int number_ = 0;
    DiskWriteResult result_;
};

}  // namespace

const char* split_size_caption(int item) {
    static const char* const captions[kSplitSizeItems] = {
        "Auto Detect",
        "3.5\" Floppy - 720K (2D)",
        "3.5\" Floppy - 800K (2D)",
        "3.5\" Floppy - 1440K (HD)",
        "3.5\" Floppy - 1600K (HD)",
        "3.5\" Floppy - 2880K (ED)",
        "3.5\" Floppy - 3200K (ED)",
    };
    return item >= 0 && item < kSplitSizeItems ? captions[item] : "";
}

DiskSpace folder_disk_space(const std::string& folder) {
    DiskSpace s;
    struct statvfs v {};
    if (statvfs(folder.empty() ? "." : folder.c_str(), &v) != 0) {
        s.error = std::strerror(errno);
        return s;
    }
    s.known = true;
    s.free_bytes = uint64_t(v.f_bavail) * v.f_frsize;
    s.total_bytes = uint64_t(v.f_blocks) * v.f_frsize;
    return s;
}

DiskWriteResult write_copier_volumes(const CopierJob& job, const DiskVolumeTarget& target,
                                     const DiskWriterHooks& hooks) {
    VolumeWriter writer(job, target, hooks);
    return writer.run();
}

std::string copier_volume_name(CopierDevice device, const std::string& base, int number) {
    if (device == CopierDevice::SuperWildcard) return base + (number == 0 ? ".SWC" : "." + std::to_string(number));
    if (number == 0) return base;
    std::string name = base.substr(0, kBaseNameLength);
    name.resize(kBaseNameLength, 'X');
    name[kBaseNameLength - 1] = char('A' + number - 1);
    return name;
}

std::string copier_battery_name(CopierDevice device, const std::string& base) {
    return base + (device == CopierDevice::SuperWildcard ? ".BBD" : ".B01");
}

bool disk_name_char_allowed(char c) { return c != '\0' && std::strchr(" \"*.<>?|", c) == nullptr; }

DiskName split_disk_name(const std::string& typed) {
    DiskName n;
    const size_t slash = typed.find_last_of('/');
    if (slash != std::string::npos) {
        n.folder = typed.substr(0, slash + 1);
        n.base = typed.substr(slash + 1);
    } else {
        n.base = typed;
    }
    if (n.base.size() > kBaseNameLength) n.base.resize(kBaseNameLength);
    return n;
}

std::string wildcard_disk_name(const std::string& image_path) {
    std::string name;
    for (char c : path_stem(image_path)) {
        if (c != '/' && disk_name_char_allowed(c)) name += c;
    }
    if (name.size() > kBaseNameLength) name.resize(kBaseNameLength);
    return name;
}

}  // namespace vt
