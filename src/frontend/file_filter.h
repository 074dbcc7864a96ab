// File dialog filters as the program writes them: "description|patterns"
// pairs joined by '|', patterns separated by ';'.
#pragma once

#include <string>
#include <vector>

namespace vt {

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
};

std::vector<FileFilter> parse_file_filter(const std::string& filter);

// Whether a path ends in the extension, compared without case (".RTS").
bool has_extension(const std::string& path, const std::string& upper_extension);

}  // namespace vt
