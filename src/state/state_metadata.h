// The "BPS2" metadata of a state file, the DOS date-time stamp it carries
// and the "SBMP" thumbnail.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "state/state_file.h"

namespace vt {

inline constexpr uint32_t kMetadataSize = 166;
inline constexpr const char* kStateProduct = "Veltrane";

// Field places and sizes within the metadata.
inline constexpr int kMetaProduct = 2;
inline constexpr int kMetaProductSize = 64;
inline constexpr int kMetaDescription = 66;
inline constexpr int kMetaDescriptionSize = 64;  // zero-terminated: 63 characters at most
inline constexpr int kMetaAuthor = 130;
inline constexpr int kMetaAuthorSize = 32;       // zero-terminated: 31 characters at most
inline constexpr int kMetaDateTime = 162;

// Thumbnail chunk: width and height (32 bits each), then 120 rows of 128
// pixels of 3 bytes in the picture's byte order.
inline constexpr uint32_t kThumbnailBytes = uint32_t(kThumbnailWidth) * kThumbnailHeight * 3;
inline constexpr uint32_t kThumbnailChunkSize = 8 + kThumbnailBytes;

void encode_metadata(const StateMetadata& meta, uint8_t out[kMetadataSize]);
// Decodes as much as `length` bytes hold; fields beyond stay empty.
StateMetadata decode_metadata(const uint8_t* data, uint32_t length);

// The DOS stamp: time in the low word (hours << 11 | minutes << 5 |
// seconds / 2), date in the high word ((year - 1980) << 9 | month << 5 |
// day). Years outside 1980-2107 are clamped to that range.
uint32_t dos_date_time(const std::tm& local);
uint32_t dos_date_time_now();
// Back to calendar fields (tm_year counts from 1900, tm_mon from 0).
std::tm dos_date_time_fields(uint32_t stamp);

// Fills the thumbnail chunk's data from the 512 x 478 picture: each byte is
// the average of the 16 matching bytes of a 4 x 4 block; rows past the
// picture's last row repeat it.
void make_thumbnail(const uint8_t* picture, uint8_t out[kThumbnailChunkSize]);

}  // namespace vt
