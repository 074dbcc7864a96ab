#include "frontend/input_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include "cart/image_files.h"
#include "core/input_ports.h"

namespace vt {

namespace {

struct NamedButton {
    const char* name;
    uint32_t bit;
};

constexpr NamedButton kButtons[] = {
    {"B", kPadB},         {"Y", kPadY},       {"Select", kPadSelect}, {"Start", kPadStart},
    {"Up", kPadUp},       {"Down", kPadDown}, {"Left", kPadLeft},     {"Right", kPadRight},
    {"A", kPadA},         {"X", kPadX},       {"L", kPadL},           {"R", kPadR},
};

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> split_words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) i++;
        size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) i++;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A word of the script as it goes into a message: printable characters only,
// cut short when long, so a binary file gives a readable line.
std::string quoted(std::string_view word) {
    constexpr size_t kShown = 24;
    std::string out = "\"";
    for (size_t i = 0; i < word.size() && i < kShown; i++) {
        const unsigned char ch = static_cast<unsigned char>(word[i]);
        out += std::isprint(ch) ? char(ch) : '?';
    }
    if (word.size() > kShown) out += "...";
    return out + "\"";
}

bool parse_number(std::string_view word, uint32_t& value) {
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

}  // namespace

uint32_t joypad_button_by_name(std::string_view name) {
    for (const NamedButton& b : kButtons) {
        if (same_name(name, b.name)) return b.bit;
    }
    return 0;
}

bool parse_input_script(std::string_view text, InputScript& script, std::string& error) {
    script = InputScript{};
    int line_number = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        line_number++;
        line = line.substr(0, line.find('#'));

        std::vector<std::string_view> words = split_words(line);
        if (words.empty()) continue;
        auto bad = [&](const std::string& what) {
            error = "line " + std::to_string(line_number) + ": " + what;
            return false;
        };
        if (words.size() < 2) return bad("expected FRAME PORT BUTTONS");
        InputEvent event;
        uint32_t port = 0;
        if (!parse_number(words[0], event.frame)) return bad("bad frame number " + quoted(words[0]));
        if (!parse_number(words[1], port) || port < 1 || port > 2) {
            return bad("port must be 1 or 2, not " + quoted(words[1]));
        }
        event.port = int(port) - 1;
        for (size_t i = 2; i < words.size(); i++) {
            uint32_t bit = joypad_button_by_name(words[i]);
            if (!bit) return bad("unknown button " + quoted(words[i]));
            event.buttons |= bit;
        }
        script.events.push_back(event);
    }
    std::stable_sort(script.events.begin(), script.events.end(),
                     [](const InputEvent& a, const InputEvent& b) { return a.frame < b.frame; });
    return true;
}

bool load_input_script(const std::string& path, InputScript& script, std::string& error) {
    script = InputScript{};
    std::vector<uint8_t> bytes;
    const FileReadStatus status = read_disk_file(path, kMaxInputScriptSize, bytes);
    if (status != FileReadStatus::Ok) {
        error = file_read_failure_reason(path, status, kMaxInputScriptSize);
        return false;
    }
    return parse_input_script(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), script,
                              error);
}

bool input_script_uses_port(const InputScript& script, int port) {
    return std::any_of(script.events.begin(), script.events.end(), [&](const InputEvent& e) { return e.port == port; });
}

void input_script_apply(InputScript& script, uint32_t frame, InputPorts& ports) {
    while (script.next < script.events.size() && script.events[script.next].frame <= frame) {
        const InputEvent& e = script.events[script.next++];
        ports.record[e.port] = joypad_record(e.buttons);
    }
}

}  // namespace vt
