// Test helper: chunked state files written byte by byte as the file format
// lays them out, without the library's writer.
#pragma once

#include <cstdint>
#include <string>

namespace vt::test {

// A file that starts with the 166-byte "BPS2" metadata, then optionally a
// 128 x 120 "SBMP" thumbnail whose pixel (x, y) is (x, y, x ^ y) in stored
// byte order, then the "SRST" end marker.
void write_state_file(const std::string& path, const std::string& description, const std::string& author,
                      const std::string& product, uint32_t dos_stamp, bool thumbnail);

}  // namespace vt::test
