#include "frontend/state_file_writer.h"

#include <fstream>
#include <vector>


namespace vt::test {

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(v >> (8 * i)));
}

void put_text(std::vector<uint8_t>& out, const std::string& text, size_t field) {
    for (size_t i = 0; i < field; i++) out.push_back(i < text.size() ? uint8_t(text[i]) : 0);
}

void put_chunk(std::vector<uint8_t>& out, const char* tag, const std::vector<uint8_t>& data) {
    out.insert(out.end(), tag, tag + 4);
    put32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

}  // namespace

void write_state_file(const std::string& path, const std::string& description, const std::string& author,
                      const std::string& product, uint32_t dos_stamp, bool thumbnail) {
    std::vector<uint8_t> meta;
    meta.push_back(2);  // minor version
    meta.push_back(1);  // major version
    put_text(meta, product, 64);
    put_text(meta, description, 64);
    put_text(meta, author, 32);
    put32(meta, dos_stamp);

    std::vector<uint8_t> file;
    put_chunk(file, "BPS2", meta);
    if (thumbnail) {
        std::vector<uint8_t> bmp;
        put32(bmp, 128);
        put32(bmp, 120);
        for (int y = 0; y < 120; y++)
            for (int x = 0; x < 128; x++) {
                bmp.push_back(uint8_t(x));
                bmp.push_back(uint8_t(y));
                bmp.push_back(uint8_t(x ^ y));
            }
        put_chunk(file, "SBMP", bmp);
    }
    put_chunk(file, "SRST", {});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

}  // namespace vt::test
