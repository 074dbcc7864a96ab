// Reading the files a Gamepak load needs (the image and its split parts, the
// game database, "BS-X.SFC", "autoexec.bin") and the path helpers around
// them. The loader reads through a FileReader so that tests and the fuzzer
// can serve files from memory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vt {

enum class FileReadStatus { Ok, Missing, NotAFile, TooLarge, Error };

// Reads a whole file of at most `limit` bytes into `out`. A larger file is
// not read and gives TooLarge.
using FileReader = std::function<FileReadStatus(const std::string& path, uint64_t limit, std::vector<uint8_t>& out)>;

// Reads a regular file; a folder, device or pipe gives NotAFile without
// being read.
FileReadStatus read_disk_file(const std::string& path, uint64_t limit, std::vector<uint8_t>& out);

// Reads at most the first `count` bytes of a regular file, whatever its size.
FileReadStatus read_disk_file_start(const std::string& path, size_t count, std::vector<uint8_t>& out);

// Why a read of `path` with that status and limit failed, in words for the
// user: "no such file", "it is a folder", "not a regular file", "larger than
// 16 MiB", "cannot read: permission denied". Empty for Ok.
std::string file_read_failure_reason(const std::string& path, FileReadStatus status, uint64_t limit);

// Seconds since 1970 of a file's last change, 0 when unknown.
uint32_t file_date(const std::string& path);

// Path pieces, on '/' separators: "dir/GAME.SFC" has folder "dir", file name
// "GAME.SFC", stem "GAME" and extension ".SFC".
std::string path_folder(const std::string& path);
std::string path_file_name(const std::string& path);
std::string path_stem(const std::string& path);
std::string path_extension(const std::string& path);
// `folder` + '/' + `name`; just `name` when the folder is empty.
std::string join_path(const std::string& folder, const std::string& name);
std::string upper_case(std::string text);

}  // namespace vt
