#include "core/crc32.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vt {
namespace {

TEST(Crc32, MatchesTheStandardCheckValues) {
    const char* text = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(text), std::strlen(text)), 0xCBF43926u);
    EXPECT_EQ(crc32(nullptr, 0), 0u);
    const uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(crc32(iend, 4), 0xAE426082u);  // the CRC every PNG ends with
}

TEST(Crc32, CanBeComputedInPieces) {
    const uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    uint32_t whole = crc32(data, sizeof data);
    uint32_t pieces = crc32_update(crc32_update(0, data, 3), data + 3, 7);
    EXPECT_EQ(whole, pieces);
}

}  // namespace
}  // namespace vt
