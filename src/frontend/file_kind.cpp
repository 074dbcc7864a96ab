#include "frontend/file_kind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cart/image_files.h"
#include "state/state_file.h"

namespace vt {

namespace {

bool named_rts(const std::string& path) { return upper_case(path_extension(path)) == ".RTS"; }

// Opens for reading without blocking on a FIFO or a device that never
// answers; refuses everything but plain files.
int open_plain_file(const std::string& path, std::string* reason) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (reason) *reason = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (reason) *reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

FileKind file_kind_of(const std::string& path, const uint8_t* start, size_t size) {
    switch (detect_state_format(start, size)) {
        case StateFormat::Chunked: return FileKind::ChunkedState;
        case StateFormat::RealTime: return FileKind::RealTimeSave;
        case StateFormat::Unknown: break;
    }
    return named_rts(path) ? FileKind::RealTimeSave : FileKind::Image;
}

FileKind detect_file_kind(const std::string& path, std::string* reason) {
    const int fd = open_plain_file(path, reason);
    if (fd < 0) return FileKind::Unreadable;
    uint8_t start[16];
    ssize_t got = 0;
    do {
        got = ::read(fd, start, sizeof start);
    } while (got < 0 && errno == EINTR);
    const int read_errno = errno;
    ::close(fd);
    if (got < 0) {
        if (reason) *reason = std::strerror(read_errno);
        return FileKind::Unreadable;
    }
    return file_kind_of(path, start, size_t(got));
}

FileKind state_format_for_saving(const std::string& path) {
    switch (detect_file_kind(path)) {
        case FileKind::RealTimeSave: return FileKind::RealTimeSave;
        case FileKind::ChunkedState: return FileKind::ChunkedState;
        default: break;
    }
    return named_rts(path) ? FileKind::RealTimeSave : FileKind::ChunkedState;
}

std::string file_problem(const std::string& path, const std::string& reason) {
    return reason.empty() ? path : path + ": " + reason;
}

}  // namespace vt
