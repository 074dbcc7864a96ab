#include "cart/image_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

namespace vt {

namespace fs = std::filesystem;

namespace {

// Closes the descriptor when the read is over, however it ends.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

std::string error_text(int error) {
    std::string text = std::strerror(error);
    if (!text.empty()) text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string size_text(uint64_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace

namespace {

// Reads up to `count` bytes from the start of a regular file of at most
// `limit` bytes.
FileReadStatus read_regular_file(const std::string& path, uint64_t limit, uint64_t count, std::vector<uint8_t>& out) {
    out.clear();
    // Look before opening: opening a device or a pipe can block or act.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? FileReadStatus::Missing : FileReadStatus::Error;
    }
    if (!S_ISREG(st.st_mode)) return FileReadStatus::NotAFile;
    if (uint64_t(st.st_size) > limit) return FileReadStatus::TooLarge;

    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0) return errno == ENOENT ? FileReadStatus::Missing : FileReadStatus::Error;
    // The name may have been replaced since the look: check what was opened.
    if (::fstat(file.fd, &st) != 0) return FileReadStatus::Error;
    if (!S_ISREG(st.st_mode)) return FileReadStatus::NotAFile;
    if (uint64_t(st.st_size) > limit) return FileReadStatus::TooLarge;

    // A file that shrinks while it is read keeps what arrived; one that
    // grows is read to the size it had.
    out.resize(size_t(std::min<uint64_t>(uint64_t(st.st_size), count)));
    size_t got = 0;
    while (got < out.size()) {
        ssize_t n = ::read(file.fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            out.clear();
            return FileReadStatus::Error;
        }
        if (n == 0) break;
        got += size_t(n);
    }
    out.resize(got);
    return FileReadStatus::Ok;
}

}  // namespace

FileReadStatus read_disk_file(const std::string& path, uint64_t limit, std::vector<uint8_t>& out) {
    return read_regular_file(path, limit, limit, out);
}

FileReadStatus read_disk_file_start(const std::string& path, size_t count, std::vector<uint8_t>& out) {
    return read_regular_file(path, UINT64_MAX, count, out);
}

std::string file_read_failure_reason(const std::string& path, FileReadStatus status, uint64_t limit) {
    switch (status) {
        case FileReadStatus::Ok: return "";
        case FileReadStatus::Missing: return "no such file";
        case FileReadStatus::NotAFile: {
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return "it is a folder, not a file";
            return "not a regular file";
        }
        case FileReadStatus::TooLarge: return "larger than " + size_text(limit);
        case FileReadStatus::Error: break;
    }
    // Ask again to learn why.
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0) return "cannot read: " + error_text(errno);
    return "cannot read";
}

uint32_t file_date(const std::string& path) {
    std::error_code ec;
    auto written = fs::last_write_time(path, ec);
    if (ec) return 0;
    auto system = std::chrono::file_clock::to_sys(written);
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
    return seconds > 0 ? uint32_t(seconds) : 0;
}

std::string path_folder(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string path_file_name(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string path_stem(const std::string& path) {
    std::string name = path_file_name(path);
    size_t dot = name.find_last_of('.');
    return (dot == std::string::npos || dot == 0) ? name : name.substr(0, dot);
}

std::string path_extension(const std::string& path) {
    std::string name = path_file_name(path);
    size_t dot = name.find_last_of('.');
    return (dot == std::string::npos || dot == 0) ? "" : name.substr(dot);
}

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string upper_case(std::string text) {
    for (char& ch : text) ch = char(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

}  // namespace vt
