#include "state/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vt {

namespace fs = std::filesystem;

namespace {

// A chain of links longer than this is a loop.
constexpr int kMaxLinks = 40;

// The file a write to `path` should replace: `path` itself, or the end of
// the chain of symbolic links starting there (which need not exist yet).
std::string resolve_links(const std::string& path) {
    fs::path p = path;
    for (int i = 0; i < kMaxLinks; i++) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p.string();
}

// The permission bits a newly created file gets: 0666 less the umask,
// read without changing it (umask() would, for a moment, for every thread).
mode_t new_file_mode() {
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            mask = mode_t(std::strtoul(line.c_str() + 6, nullptr, 8));
            break;
        }
    }
    return 0666 & ~mask;
}

bool write_all(int fd, const uint8_t* p, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail(const std::string& what) {
    error_ = what.empty() ? std::string(std::strerror(errno)) : what;
    failed_ = true;
    return false;
}

bool AtomicFile::open(const std::string& path) {
    discard();
    error_.clear();
    failed_ = false;
    target_ = resolve_links(path);

    std::error_code ec;
    if (fs::is_directory(target_, ec)) {
        errno = EISDIR;
        return fail("");
    }
    fs::path folder = fs::path(target_).parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ("." + fs::path(target_).filename().string() + ".XXXXXX")).string();
    // mkostemp creates with O_EXCL: a name that exists in any form, a
    // symlink included, is never opened.
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return fail("");
    fd_ = fd;
    temporary_ = pattern;

    struct stat existing {};
    mode_t mode = ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : new_file_mode();
    ::fchmod(fd_, mode);
    return true;
}

bool AtomicFile::write(const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    if (!write_all(fd_, static_cast<const uint8_t*>(data), size)) return fail("");
    return true;
}

bool AtomicFile::write_at(uint64_t offset, const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::pwrite(fd_, p, size, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return fail("");
        }
        p += n;
        offset += uint64_t(n);
        size -= size_t(n);
    }
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) {
        if (error_.empty()) error_ = "the file was not opened";
        return false;
    }
    if (failed_) {
        discard();
        return false;
    }
    int fd = fd_;
    fd_ = -1;
    bool ok = ::fsync(fd) == 0 || fail("");
    if (::close(fd) != 0 && ok) ok = fail("");
    if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) ok = fail("");
    if (!ok) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    // The rename is only durable once the folder itself is on disk.
    fs::path folder = fs::path(target_).parent_path();
    if (folder.empty()) folder = ".";
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool write_file_atomically(const std::string& path, const uint8_t* data, size_t size, std::string* error) {
    AtomicFile file;
    bool ok = file.open(path) && file.write(data, size) && file.commit();
    if (!ok && error) *error = file.error();
    return ok;
}

}  // namespace vt
