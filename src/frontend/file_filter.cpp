#include "frontend/file_filter.h"

#include "cart/image_files.h"

namespace vt {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

}  // namespace

std::vector<FileFilter> parse_file_filter(const std::string& filter) {
    std::vector<FileFilter> filters;
    std::vector<std::string> fields = split(filter, '|');
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        FileFilter f;
        f.description = fields[i];
        for (const std::string& p : split(fields[i + 1], ';'))
            if (!p.empty()) f.patterns.push_back(p);
        filters.push_back(f);
    }
    return filters;
}

bool has_extension(const std::string& path, const std::string& upper_extension) {
    return upper_case(path_extension(path)) == upper_extension;
}

}  // namespace vt
