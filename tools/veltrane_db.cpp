// veltrane-db: builds a game database "Veltrane.db" from a text list.
//
// One image per line, four fields separated by tabs:
//   SIZE <TAB> CRC32 <TAB> TITLE <TAB> INFO
// SIZE and INFO are decimal or hexadecimal with "0x"; CRC32 is hexadecimal
// (an "0x" in front is allowed). INFO is the info word: bits 0-4 country,
// 5-7 version, 16-19 dump status (1 = verified good), 24-31 PCB id. Blank
// lines and lines starting with '#' are skipped.
//
// The file: N, then N entries of 16 bytes (size, CRC32, title offset from
// the end of the entries, info word), then one 256-byte title block per
// entry (a length byte, the characters, zeros). Integers are 32-bit
// little-endian.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry {
    uint32_t size = 0;
    uint32_t crc32 = 0;
    std::string title;
    uint32_t info = 0;
};

bool parse_number(const std::string& text, int default_base, uint32_t& out) {
    std::string digits = text;
    int base = default_base;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    if (digits.empty()) return false;
    size_t used = 0;
    unsigned long long value = 0;
    try {
        value = std::stoull(digits, &used, base);
    } catch (...) {
        return false;
    }
    if (used != digits.size() || value > 0xFFFFFFFFull) return false;
    out = uint32_t(value);
    return true;
}

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: veltrane-db LIST OUTPUT\n");
        return 1;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "veltrane-db: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<Entry> entries;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = split_tabs(line);
        Entry e;
        if (f.size() != 4 || !parse_number(f[0], 10, e.size) || !parse_number(f[1], 16, e.crc32) ||
            !parse_number(f[3], 10, e.info)) {
            std::fprintf(stderr, "veltrane-db: %s:%d: expected SIZE<TAB>CRC32<TAB>TITLE<TAB>INFO\n", argv[1], number);
            return 1;
        }
        e.title = f[2];
        if (e.title.size() > 127) {
            std::fprintf(stderr, "veltrane-db: %s:%d: title longer than 127 characters\n", argv[1], number);
            return 1;
        }
        entries.push_back(e);
    }

    std::vector<uint8_t> out;
    put32(out, uint32_t(entries.size()));
    for (size_t i = 0; i < entries.size(); i++) {
        put32(out, entries[i].size);
        put32(out, entries[i].crc32);
        put32(out, uint32_t(i * 256));
        put32(out, entries[i].info);
    }
    for (const Entry& e : entries) {
        std::vector<uint8_t> block(256, 0);
        block[0] = uint8_t(e.title.size());
        for (size_t i = 0; i < e.title.size(); i++) block[1 + i] = uint8_t(e.title[i]);
        out.insert(out.end(), block.begin(), block.end());
    }

    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    if (!file) {
        std::fprintf(stderr, "veltrane-db: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
