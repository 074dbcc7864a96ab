#include "frontend/overdump_choice.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "cart/image_files.h"

namespace vt {

std::string trimmed_image_path(const std::string& image_path) {
    return join_path(path_folder(image_path), path_stem(image_path) + " (trimmed)" + path_extension(image_path));
}

bool overdump_declined(const std::vector<uint32_t>& declined, uint32_t crc) {
    return std::find(declined.begin(), declined.end(), crc) != declined.end();
}

void remember_declined_overdump(std::vector<uint32_t>& declined, uint32_t crc) {
    declined.erase(std::remove(declined.begin(), declined.end(), crc), declined.end());
    declined.push_back(crc);
    if (declined.size() > kMaxDeclinedOverdumps)
        declined.erase(declined.begin(), declined.begin() + long(declined.size() - kMaxDeclinedOverdumps));
}

std::string format_crc_list(const std::vector<uint32_t>& crcs) {
    std::string text;
    for (uint32_t crc : crcs) {
        char word[10];
        std::snprintf(word, sizeof word, "%08X", crc);
        if (!text.empty()) text += ' ';
        text += word;
    }
    return text;
}

std::vector<uint32_t> parse_crc_list(const std::string& text) {
    std::vector<uint32_t> crcs;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (word.size() != 8 || word.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) continue;
        remember_declined_overdump(crcs, uint32_t(std::stoul(word, nullptr, 16)));
    }
    return crcs;
}

}  // namespace vt
