#include "cart/image_files.h"

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace vt {

namespace fs = std::filesystem;

FileReadStatus read_disk_file(const std::string& path, uint64_t limit, std::vector<uint8_t>& out) {
    out.clear();
    std::error_code ec;
    fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return FileReadStatus::Missing;
    if (!fs::is_regular_file(st)) return FileReadStatus::NotAFile;
    uint64_t size = fs::file_size(path, ec);
    if (ec) return FileReadStatus::Error;
    if (size > limit) return FileReadStatus::TooLarge;

    std::ifstream in(path, std::ios::binary);
    if (!in) return FileReadStatus::Error;
    out.resize(size_t(size));
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(size));
    // A file that shrank while we read it keeps what arrived.
    out.resize(size_t(in.gcount()));
    return FileReadStatus::Ok;
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
