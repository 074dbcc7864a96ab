// CRC-32 with the reflected polynomial 0xEDB88320, as zlib and PNG use it:
// initial value 0xFFFFFFFF, final complement. Shared by the cartridge loader
// and the PNG writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vt {

// Continues a running CRC: start with crc32_update(0, ...) and feed the
// result back in to checksum data that arrives in pieces.
uint32_t crc32_update(uint32_t crc, const uint8_t* data, size_t size);

inline uint32_t crc32(const uint8_t* data, size_t size) { return crc32_update(0, data, size); }

}  // namespace vt
